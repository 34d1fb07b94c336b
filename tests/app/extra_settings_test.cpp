// The key=value settings file beside the record: its one switch read from
// the forms people and editors write, and rewritten without losing the lines
// of other keys.
#include "app/extra_settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace trovisk {
namespace {

TEST(ExtraSettings, TheCheckFilesSwitchIsReadFromTheText) {
  struct Case {
    const char* text;
    bool write_check_files;
  };
  const Case cases[] = {
      {"", false},
      {"check_report_and_plot=1\r\n", true},
      {"check_report_and_plot=0\r\n", false},
      {"check_report_and_plot=1", true},
      {"  check_report_and_plot = yes \n", true},
      {"check_report_and_plot=TRUE\n", true},
      {"check_report_and_plot=no\n", false},
      {"; check_report_and_plot=1\n", false},
      {"[dialog]\ncheck_report_and_plot=on\n", true},
      {"later_key=1\n", false},
      {"check_report_and_plot=1\ncheck_report_and_plot=0\n", false},  // the last one counts
      {"check_report_and_plot\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseExtraSettings(c.text).write_check_files, c.write_check_files);
  }
}

TEST(ExtraSettings, RewritingKeepsEveryOtherLine) {
  struct Case {
    const char* before;
    bool write_check_files;
    const char* after;
  };
  const Case cases[] = {
      {"", true, "check_report_and_plot=1\r\n"},
      {"", false, "check_report_and_plot=0\r\n"},
      {"check_report_and_plot=0\r\n", true, "check_report_and_plot=1\r\n"},
      {"later_key=7\r\ncheck_report_and_plot=1\r\n; a note\r\n", false,
       "later_key=7\r\ncheck_report_and_plot=0\r\n; a note\r\n"},
      {"later_key=7\n", true, "later_key=7\ncheck_report_and_plot=1\n"},
      {"later_key=7", true, "later_key=7\ncheck_report_and_plot=1\n"},
      {"a=1\r\nb=2", true, "a=1\r\nb=2\r\ncheck_report_and_plot=1\r\n"},
      {"check_report_and_plot=1\nx=2\ncheck_report_and_plot=1\n", false,
       "check_report_and_plot=0\nx=2\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    ExtraSettings settings;
    settings.write_check_files = c.write_check_files;
    std::string after = UpdateExtraSettings(c.before, settings);
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(ParseExtraSettings(after).write_check_files, c.write_check_files);
  }
}

TEST(ExtraSettings, TheGridIsKeptByItsCode) {
  struct Case {
    const char* before;
    int grid_code;
    const char* after;
  };
  const Case cases[] = {
      {"", 2953, "check_report_and_plot=0\r\ngrid=EPSG:2953\r\n"},
      {"grid=26910\n", 2953, "grid=EPSG:2953\ncheck_report_and_plot=0\n"},
      {"grid=EPSG:2953\n", 0, "grid=\ncheck_report_and_plot=0\n"},  // cleared, not dropped
      {"grid=nonsense\n", 0, "grid=\ncheck_report_and_plot=0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    ExtraSettings settings;
    settings.grid_code = c.grid_code;
    const std::string after = UpdateExtraSettings(c.before, settings);
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(ParseExtraSettings(after).grid_code, c.grid_code);
  }
  EXPECT_EQ(ParseExtraSettings("grid=nonsense\n").grid_code, 0);
}

TEST(ExtraSettings, TheFileBesideTheProgram) {
  struct Case {
    const char* program;
    const char* settings;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Trovisk\\trovisk-gui.exe", "C:\\Program Files\\Trovisk\\Trovisk.ini"},
      {"/opt/trovisk/trovisk", "/opt/trovisk/Trovisk.ini"},
      {"trovisk-gui.exe", "Trovisk.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    EXPECT_EQ(ExtraSettingsPathBeside(c.program), c.settings);
  }

  testing::TempDir dir;
  const std::string path = dir.File("Trovisk.ini");
  ExtraSettings read;
  EXPECT_FALSE(ReadExtraSettingsFile(path, read)) << "no file yet";
  dir.Write("Trovisk.ini", "later_key=7\r\n");
  ExtraSettings checked;
  checked.write_check_files = true;
  ASSERT_TRUE(WriteExtraSettingsFile(path, checked));
  ASSERT_TRUE(ReadExtraSettingsFile(path, read));
  EXPECT_TRUE(read.write_check_files);
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "later_key=7\r\ncheck_report_and_plot=1\r\n");
  EXPECT_FALSE(WriteExtraSettingsFile(dir.File("no-such-folder/Trovisk.ini"), checked));
}

}  // namespace
}  // namespace trovisk
