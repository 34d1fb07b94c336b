// Output files that cannot be created or written: the run names the file,
// reports the right message and never damages an earlier result.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/message_table.h"
#include "base/status.h"
#include "convert/conversion.h"
#include "rw5_generator.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedUi;
using testing::TempDir;

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class OutputFailure : public ::testing::Test {
 protected:
  ConversionOutcome Convert(const std::string& output) {
    ConverterOptions options;
    options.input_file = input_;
    options.output_file = output;
    ui_ = ScriptedUi{};
    SurveyData data;
    return RunConversion(options, ui_, data);
  }
  // The text of the last message shown.
  std::string LastMessage() const { return ui_.messages.empty() ? "" : ui_.messages.back().text; }

  TempDir dir_;
  // A file whose output runs to a few megabytes.
  std::string input_ = dir_.Write("in.rw5", [] {
    bench::GeneratorOptions options;
    options.record_count = 20000;
    return bench::GenerateRw5String(options);
  }());
  ScriptedUi ui_;
};

TEST_F(OutputFailure, AnOutputThatCannotBeCreatedIsNamed) {
  dir_.Write("plain", "a file, not a folder");
  const std::string cases[] = {
      dir_.File("plain") + "/out.txt",        // a file where a folder is expected
      dir_.File("no-such-folder/out.txt"),    // a missing folder
      "/proc/trovisk-cannot-be-created.txt",  // a file system that takes no new files
      dir_.path().string(),                   // a folder where the file is expected
  };
  for (const std::string& output : cases) {
    SCOPED_TRACE(output);
    ConversionOutcome outcome = Convert(output);
    EXPECT_NE(outcome.status, Status::kOk);
    EXPECT_EQ(outcome.message_id, kMsgCannotOpen);
    EXPECT_NE(LastMessage().find(output), std::string::npos) << LastMessage();
  }
  EXPECT_EQ(ReadAll(dir_.File("plain")), "a file, not a folder");
}

TEST_F(OutputFailure, AReadOnlyFolderIsNamed) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root writes into read-only folders; the other creation failures are covered";
  }
  fs::create_directory(dir_.path() / "locked");
  chmod((dir_.path() / "locked").c_str(), 0555);
  std::string output = dir_.File("locked/out.txt");
  ConversionOutcome outcome = Convert(output);
  chmod((dir_.path() / "locked").c_str(), 0755);
  EXPECT_EQ(outcome.message_id, kMsgCannotOpen);
  EXPECT_NE(LastMessage().find(output), std::string::npos);
}

// A device that takes no data (every write fails with "no space"): message 1001.
TEST_F(OutputFailure, AFullDeviceIsAWriteError) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  ConversionOutcome outcome = Convert("/dev/full");
  EXPECT_EQ(outcome.status, Status::kWriteError);
  EXPECT_EQ(outcome.message_id, kMsgWriteError);
  EXPECT_NE(LastMessage().find("/dev/full"), std::string::npos);
}

// A small file system that fills up during the run: message 1001, and the
// result of an earlier run at the same name is left as it was.
TEST_F(OutputFailure, AFullDiskKeepsTheEarlierResult) {
  fs::path small = dir_.path() / "small";
  fs::create_directory(small);
  std::string mount =
      "mount -t tmpfs -o size=64k trovisk-test '" + small.string() + "' 2>/dev/null";
  if (std::system(mount.c_str()) != 0) {
    GTEST_SKIP() << "mounting a 64 KB file system needs root (mount -t tmpfs)";
  }
  struct Unmount {
    std::string command;
    ~Unmount() { (void)std::system(command.c_str()); }
  } unmount{"umount '" + small.string() + "'"};

  const std::string output = (small / "out.txt").string();
  { std::ofstream(output) << "EARLIER RESULT\n"; }
  ConversionOutcome outcome = Convert(output);
  EXPECT_EQ(outcome.status, Status::kWriteError);
  EXPECT_EQ(outcome.message_id, kMsgWriteError);
  EXPECT_NE(LastMessage().find(output), std::string::npos);
  EXPECT_EQ(ReadAll(output), "EARLIER RESULT\n");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(small)) {
    ++files;
    EXPECT_EQ(entry.path().filename(), "out.txt") << "left behind: " << entry.path();
  }
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace trovisk
