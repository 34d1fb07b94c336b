// The settings record: every field at its byte offset, short and long files,
// unterminated strings, and the file beside the program.
#include "app/settings_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/option_fields.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

using testing::TempDir;

// Options with no field at its default.
ConverterOptions JobOptions() {
  ConverterOptions options;
  options.compute_approx_geodetic = true;
  options.datum_major_axis = 6378206.4;
  options.datum_name = "NAD27 CLARKE 66";  // 15 characters
  options.datum_inverse_flattening = 294.9786982;
  options.seed_name = "CP-101";
  options.seed_latitude = 45.3015;
  options.seed_longitude = -120.053;
  options.seed_height = 251.5;
  options.tolerance = 0.025;
  options.tolerance_mode = 0;  // 2D
  options.output_file = "C:\\jobs\\out.txt";
  options.input_file = "C:\\jobs\\day1.rw5";
  options.compute_approx_nee = true;
  options.seed_north = 5000.25;
  options.seed_east = 6000.5;
  options.seed_elevation = 123.75;
  options.gps_antenna_to_antenna = false;
  options.local_nee_system = true;
  return options;
}

void Put(std::vector<unsigned char>& bytes, std::size_t at, std::vector<unsigned char> value) {
  std::copy(value.begin(), value.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

void Put(std::vector<unsigned char>& bytes, std::size_t at, const char* text) {
  std::memcpy(bytes.data() + at, text, std::strlen(text));
}

// JobOptions laid out by hand; the doubles are their IEEE little-endian bytes
// as another tool writes them.
std::vector<unsigned char> JobRecord() {
  std::vector<unsigned char> bytes(1120, 0);
  bytes[0] = 1;
  Put(bytes, 8, {0x9a, 0x99, 0x99, 0x99, 0xb7, 0x54, 0x58, 0x41});  // 6378206.4
  Put(bytes, 16, "NAD27 CLARKE 66");
  Put(bytes, 32, {0x77, 0x9a, 0x71, 0xbf, 0xa8, 0x6f, 0x72, 0x40});  // 294.9786982
  Put(bytes, 40, "CP-101");
  Put(bytes, 56, {0x3b, 0xdf, 0x4f, 0x8d, 0x97, 0xa6, 0x46, 0x40});  // 45.3015
  Put(bytes, 64, {0x08, 0xac, 0x1c, 0x5a, 0x64, 0x03, 0x5e, 0xc0});  // -120.053
  Put(bytes, 72, {0x00, 0x00, 0x00, 0x00, 0x00, 0x70, 0x6f, 0x40});  // 251.5
  Put(bytes, 80, {0x9a, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x3f});  // 0.025
  bytes[88] = 1;
  Put(bytes, 89, "C:\\jobs\\out.txt");
  Put(bytes, 349, "C:\\jobs\\day1.rw5");
  bytes[609] = 1;
  Put(bytes, 616, {0x00, 0x00, 0x00, 0x00, 0x40, 0x88, 0xb3, 0x40});  // 5000.25
  Put(bytes, 624, {0x00, 0x00, 0x00, 0x00, 0x80, 0x70, 0xb7, 0x40});  // 6000.5
  Put(bytes, 632, {0x00, 0x00, 0x00, 0x00, 0x00, 0xf0, 0x5e, 0x40});  // 123.75
  bytes[640] = 0;
  bytes[641] = 1;
  return bytes;
}

// Every field compared through its bytes, which the offset test below checks
// against a record built by hand.
void ExpectSameOptions(const ConverterOptions& actual, const ConverterOptions& expected) {
  EXPECT_TRUE(EncodeSettings(actual) == EncodeSettings(expected));
  EXPECT_EQ(actual.datum_name, expected.datum_name);
}

TEST(SettingsRecord, FieldsSitAtTheirByteOffsets) {
  std::vector<unsigned char> expected = JobRecord();
  SettingsRecord record = EncodeSettings(JobOptions());
  for (std::size_t i = 0; i < record.size(); ++i) {
    SCOPED_TRACE("byte " + std::to_string(i));
    ASSERT_EQ(record[i], expected[i]);
  }
  ConverterOptions decoded;
  DecodeSettings(expected.data(), expected.size(), decoded);
  ExpectSameOptions(decoded, JobOptions());

  // The 3D mode and the defaults' flags: byte 88 clear, antenna-to-antenna set.
  record = EncodeSettings(ConverterOptions{});
  EXPECT_EQ(record[88], 0);
  EXPECT_EQ(record[640], 1);
  EXPECT_EQ(record[0] | record[609] | record[641], 0);
}

TEST(SettingsRecord, SaveAndReloadKeepEveryField) {
  TempDir dir;
  const std::string path = dir.File(kSettingsFileName);
  for (const ConverterOptions& options : {ConverterOptions{}, JobOptions()}) {
    SCOPED_TRACE(options.datum_name);
    bool dropped = true;
    ASSERT_TRUE(WriteSettingsFile(path, options, &dropped));
    EXPECT_FALSE(dropped);
    EXPECT_EQ(std::filesystem::file_size(path), 1120u);
    ConverterOptions reloaded;
    reloaded.seed_name = "stale";
    ASSERT_TRUE(ReadSettingsFile(path, reloaded));
    ExpectSameOptions(reloaded, options);
  }
  // Only the record is left in the folder: no temporary beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(SettingsRecord, NamesAreCutAndFileNamesKeptWholeOrNotAtAll) {
  ConverterOptions options = JobOptions();
  options.datum_name = "ABCDEFGHIJKLMNOP";  // 16: refused by the dialog, cut here
  options.seed_name = std::string(40, 'S');
  options.output_file = std::string(259, 'o');  // fits with its NUL
  options.input_file = std::string(260, 'i');   // does not fit
  bool dropped = false;
  SettingsRecord record = EncodeSettings(options, &dropped);
  EXPECT_TRUE(dropped);
  EXPECT_EQ(record[31], 0) << "the datum name keeps its NUL";
  EXPECT_EQ(record[55], 0) << "the seed name keeps its NUL";
  EXPECT_EQ(record[348], 0) << "the output name keeps its NUL";
  ConverterOptions decoded;
  DecodeSettings(record.data(), record.size(), decoded);
  EXPECT_EQ(decoded.datum_name, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(decoded.seed_name, std::string(15, 'S'));
  EXPECT_EQ(decoded.output_file, options.output_file);
  EXPECT_EQ(decoded.input_file, "");
  EXPECT_EQ(decoded.seed_north, options.seed_north) << "the long name spilled into later fields";

  options.input_file = std::string(259, 'i');
  EncodeSettings(options, &dropped);
  EXPECT_FALSE(dropped);
}

TEST(SettingsRecord, AShortRecordIsReadAsFarAsItGoes) {
  const std::vector<unsigned char> full = JobRecord();
  struct Case {
    std::size_t size;
    const char* datum_name;
    double major_axis;
    bool approx_geodetic, local_nee;
    int tolerance_mode;
  };
  const Case kCases[] = {
      {0, "", 0.0, false, false, 1},
      {1, "", 0.0, true, false, 1},
      {20, "NAD2", 6378206.4, true, false, 1},
      {641, "NAD27 CLARKE 66", 6378206.4, true, false, 0},
      {1119, "NAD27 CLARKE 66", 6378206.4, true, true, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE("size " + std::to_string(c.size));
    // Exactly `size` bytes on the heap, so a read past them is caught.
    std::vector<unsigned char> bytes(full.begin(), full.begin() + static_cast<long>(c.size));
    ConverterOptions options;
    DecodeSettings(bytes.data(), bytes.size(), options);
    EXPECT_EQ(options.datum_name, c.datum_name);
    EXPECT_EQ(options.datum_major_axis, c.major_axis);
    EXPECT_EQ(options.compute_approx_geodetic, c.approx_geodetic);
    EXPECT_EQ(options.local_nee_system, c.local_nee);
    EXPECT_EQ(options.tolerance_mode, c.tolerance_mode);
  }

  TempDir dir;
  ConverterOptions options;
  ASSERT_TRUE(ReadSettingsFile(dir.Write("empty.cfg", ""), options));
  EXPECT_EQ(options.seed_latitude, 0.0);
  std::string longer(full.begin(), full.end());
  longer += '\x7f';  // a byte beyond the record is not read
  ASSERT_TRUE(ReadSettingsFile(dir.Write("long.cfg", longer), options));
  ExpectSameOptions(options, JobOptions());
}

TEST(SettingsRecord, StringsWithoutTheirNulStopAtTheFieldEnd) {
  std::vector<unsigned char> bytes = JobRecord();
  std::memset(bytes.data() + 16, 'D', 16);
  std::memset(bytes.data() + 40, 'S', 16);
  std::memset(bytes.data() + 89, 'O', 260);
  std::memset(bytes.data() + 349, 'I', 260);
  ConverterOptions options;
  DecodeSettings(bytes.data(), bytes.size(), options);
  EXPECT_EQ(options.datum_name, std::string(16, 'D'));
  EXPECT_EQ(options.seed_name, std::string(16, 'S'));
  EXPECT_EQ(options.output_file, std::string(260, 'O'));
  EXPECT_EQ(options.input_file, std::string(260, 'I'));
  // A name read that way is not let through unnoticed.
  ASSERT_TRUE(ValidateOptions(options).has_value());
}

TEST(SettingsRecord, MissingOrUnwritableFilesLeaveEverythingAlone) {
  TempDir dir;
  ConverterOptions options = JobOptions();
  EXPECT_FALSE(ReadSettingsFile(dir.File("absent.cfg"), options));
  EXPECT_FALSE(ReadSettingsFile(dir.path().string(), options));  // a folder
  ExpectSameOptions(options, JobOptions());

  EXPECT_FALSE(WriteSettingsFile(dir.File("no/such/folder/Trovisk.cfg"), options));
  std::filesystem::create_directory(dir.path() / "taken");
  EXPECT_FALSE(WriteSettingsFile(dir.File("taken"), options));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "a temporary file was left behind";
}

TEST(SettingsRecord, TheFileSitsBesideTheProgram) {
  struct Case {
    const char* program;
    const char* expected;
  };
  const Case kCases[] = {
      {"C:\\Tools\\Trovisk\\trovisk.exe", "C:\\Tools\\Trovisk\\Trovisk.cfg"},
      {"/usr/local/bin/trovisk", "/usr/local/bin/Trovisk.cfg"},
      {"C:trovisk.exe", "C:\\Trovisk.cfg"},
      {"build/sub\\trovisk", "build/sub\\Trovisk.cfg"},
      {"/opt/trovisk/", "/opt/trovisk/Trovisk.cfg"},
      {"trovisk", "Trovisk.cfg"},
      {"", "Trovisk.cfg"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.program);
    EXPECT_EQ(SettingsPathBeside(c.program), c.expected);
  }
}

}  // namespace
}  // namespace trovisk
