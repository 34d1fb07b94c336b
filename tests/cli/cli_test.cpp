// The command-line program run as a user runs it: options refused before the
// run, the settings record between runs, and the exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/settings_record.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

using testing::TempDir;

struct Result {
  int exit_status = -1;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs the program with no terminal: standard input is empty.
Result RunCli(const TempDir& dir, const std::vector<std::string>& args) {
  std::string command = Quoted(TROVISK_CLI_PATH);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  command += " </dev/null >" + Quoted(dir.File("stdout")) + " 2>" + Quoted(dir.File("stderr"));
  int status = std::system(command.c_str());
  Result result;
  if (status != -1 && WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  result.out = ReadAll(dir.File("stdout"));
  result.err = ReadAll(dir.File("stderr"));
  return result;
}

const std::string kExample = TROVISK_SOURCE_DIR "/examples/traverse.rw5";

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(TROVISK_CLI_PATH).empty()) GTEST_SKIP() << "no command-line program built";
  }
  // Options every run takes: an input, an output in the folder, and a
  // settings record of its own so no record beside the program is read.
  std::vector<std::string> Args(std::vector<std::string> more) const {
    std::vector<std::string> args = {kExample, "-o", output_, "--settings", settings_};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  }
  TempDir dir_;
  std::string output_ = dir_.File("out.txt");
  std::string settings_ = dir_.File("Trovisk.cfg");
};

TEST_F(Cli, HelpAndVersion) {
  Result help = RunCli(dir_, {"--help"});
  EXPECT_EQ(help.exit_status, 0);
  for (const char* option : {"--seed-lat", "--tolerance-mode", "--merge", "--save-settings"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  Result version = RunCli(dir_, {"--version"});
  EXPECT_EQ(version.exit_status, 0);
  EXPECT_EQ(version.out, "trovisk " TROVISK_VERSION "\n");
}

TEST_F(Cli, RefusedOptionsStopBeforeTheRun) {
  struct Case {
    std::vector<std::string> args;
    const char* said;
  };
  const Case kCases[] = {
      {{"--seed-lat", "89.3"}, "Please enter a number between -89 and 89."},
      {{"--seed-east", "12abc"}, "Please enter a number."},
      {{"--datum-name", "ABCDEFGHIJKLMNOP"}, "Please enter no more than 15 characters."},
      {{"--tolerance-mode", "4d"}, "--tolerance-mode"},
      {{"--merge", "maybe"}, "--merge"},
      {{"--yes", "--no"}, "--yes"},
      {{"--frobnicate"}, "--frobnicate"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.args.front());
    std::vector<std::string> more = c.args;
    more.push_back("--save-settings");
    Result result = RunCli(dir_, Args(more));
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(output_)) << "the run started";
    EXPECT_FALSE(std::filesystem::exists(settings_)) << "refused options were saved";
  }
}

TEST_F(Cli, AMissingInputFileFails) {
  const std::string missing = dir_.File("no-such-job.rw5");
  Result result = RunCli(dir_, {missing, "-o", output_, "--settings", settings_});
  if (result.exit_status == 0 && !std::filesystem::exists(output_)) {
    GTEST_SKIP() << "the conversion run is not in place in this build";
  }
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_NE(result.err.find("Cannot open file " + missing), std::string::npos) << result.err;
}

TEST_F(Cli, SettingsComeBetweenDefaultsAndTheCommandLine) {
  // Saved only after the checks pass, with the file names of the run.
  Result saved =
      RunCli(dir_, Args({"--datum-name", "NAD83", "--tolerance-mode", "2D", "--mark-to-mark",
                         "--yes", "--merge", "different", "--save-settings"}));
  ASSERT_EQ(saved.exit_status, 0) << saved.err;
  ASSERT_EQ(std::filesystem::file_size(settings_), kSettingsRecordSize);
  ConverterOptions stored;
  ASSERT_TRUE(ReadSettingsFile(settings_, stored));
  EXPECT_EQ(stored.input_file, kExample);
  EXPECT_EQ(stored.output_file, output_);
  EXPECT_EQ(stored.datum_name, "NAD83");
  EXPECT_EQ(stored.tolerance_mode, 0);
  EXPECT_FALSE(stored.gps_antenna_to_antenna);

  // The record alone names the files of the next run.
  Result again = RunCli(dir_, {"--settings", settings_, "--yes", "--merge", "different"});
  EXPECT_EQ(again.exit_status, 0) << again.err;
  EXPECT_NE(again.err.find("Success - the results are in " + output_), std::string::npos)
      << again.err;

  // A refused value in the record is named as coming from it; the command
  // line overrides it.
  stored.seed_latitude = 89.5;
  ASSERT_TRUE(WriteSettingsFile(settings_, stored));
  Result refused = RunCli(dir_, {"--settings", settings_});
  EXPECT_EQ(refused.exit_status, 2);
  EXPECT_NE(refused.err.find("--seed-lat (from the settings file " + settings_ +
                             "): Please enter a number between -89 and 89."),
            std::string::npos)
      << refused.err;
  Result overridden = RunCli(
      dir_, {"--settings", settings_, "--seed-lat", "45.1", "--yes", "--merge", "different"});
  EXPECT_EQ(overridden.exit_status, 0) << overridden.err;
}

}  // namespace
}  // namespace trovisk
