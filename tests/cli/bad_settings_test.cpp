// Damaged settings records given to the command line: never a crash; a
// record cut short or overlong reads as far as it goes, and a value that
// fails the checks is refused naming the settings file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/settings_record.h"
#include "support/temp_dir.h"

namespace trovisk {
namespace {

using testing::TempDir;

struct CliRun {
  bool exited = false;  // false when the program died of a signal
  int exit_status = -1;
  std::string err;
};

CliRun RunWithSettings(const TempDir& dir, const std::string& record) {
  std::string settings = dir.Write("Trovisk.cfg", record);
  std::string command = std::string("'") + TROVISK_CLI_PATH + "' '" + TROVISK_SOURCE_DIR +
                        "/examples/traverse.rw5' -o '" + dir.File("out.txt") + "' --settings '" +
                        settings + "' --yes --merge different </dev/null >/dev/null 2>'" +
                        dir.File("stderr") + "'";
  int status = std::system(command.c_str());
  CliRun run;
  run.exited = status != -1 && WIFEXITED(status);
  if (run.exited) run.exit_status = WEXITSTATUS(status);
  std::ifstream err(dir.File("stderr"));
  std::ostringstream text;
  text << err.rdbuf();
  run.err = text.str();
  return run;
}

std::string DefaultRecord() {
  SettingsRecord record = EncodeSettings(ConverterOptions{});
  return std::string(record.begin(), record.end());
}

TEST(BadSettings, RecordsOfEverySizeAndUnterminatedStrings) {
  if (std::string(TROVISK_CLI_PATH).empty()) GTEST_SKIP() << "no command-line program built";
  const std::string good = DefaultRecord();
  std::string unterminated = good;
  unterminated.replace(16, 16, std::string(16, 'W'));     // datum name without its NUL
  unterminated.replace(40, 16, std::string(16, 'S'));     // seed station name likewise
  unterminated.replace(89, 260, std::string(260, 'O'));   // output file name
  unterminated.replace(349, 260, std::string(260, 'I'));  // input file name
  struct Case {
    const char* name;
    std::string record;
    int exit_status;      // 0 converted, 2 options refused
    const char* refusal;  // text expected on a refusal
  };
  const Case cases[] = {
      // Read as far as it goes: every number zero, so the datum's axis is refused.
      {"empty", "", 2, "between 6000000 and 7000000"},
      {"one byte", std::string(1, '\1'), 2, "between 6000000 and 7000000"},
      {"one byte short", good.substr(0, 1119), 0, nullptr},  // only zero padding lost
      {"one byte long", good + "X", 0, nullptr},
      {"no NUL in any string", unterminated, 2, "no more than 15 characters"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    CliRun run = RunWithSettings(dir, c.record);
    ASSERT_TRUE(run.exited) << "the program did not exit normally";
    EXPECT_EQ(run.exit_status, c.exit_status) << run.err;
    if (c.refusal != nullptr) {
      EXPECT_NE(run.err.find(c.refusal), std::string::npos) << run.err;
      EXPECT_NE(run.err.find("settings file"), std::string::npos) << run.err;
    }
  }
}

}  // namespace
}  // namespace trovisk
