// The manual page as `man trovisk` shows it: every option of --help, with the
// same values and defaults, readable without groff warnings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace trovisk {
namespace {

using testing::TempDir;

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs a shell command with no terminal; its standard output, or "" when it fails.
std::string Output(const TempDir& dir, const std::string& command) {
  std::string out = dir.File("out");
  if (std::system((command + " </dev/null >'" + out + "' 2>&1").c_str()) != 0) return "";
  return ReadAll(out);
}

class ManPage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(TROVISK_CLI_PATH).empty()) GTEST_SKIP() << "no command-line program built";
    page_ = dir_.File("trovisk.1");
    ASSERT_EQ(std::system(("'" TROVISK_CLI_PATH "' --man >'" + page_ + "'").c_str()), 0);
  }
  // The page as man shows it, in plain ASCII and wide enough not to break lines.
  std::string Rendered() const {
    return Output(dir_, "LC_ALL=C MANWIDTH=200 man --warnings -l '" + page_ + "' 2>&1");
  }
  bool HaveMan() const { return std::system("command -v man >/dev/null 2>&1") == 0; }

  TempDir dir_;
  std::string page_;
};

TEST_F(ManPage, ListsEveryOptionOfTheHelp) {
  if (!HaveMan()) GTEST_SKIP() << "man is not installed";
  std::string help = Output(dir_, "'" TROVISK_CLI_PATH "' --help");
  std::string page = Rendered();
  ASSERT_FALSE(help.empty());
  std::set<std::string> flags;
  std::regex flag(R"((^|[\s,])(--?[a-z][a-z0-9-]*))");
  for (auto it = std::sregex_iterator(help.begin(), help.end(), flag); it != std::sregex_iterator();
       ++it) {
    flags.insert((*it)[2]);
  }
  EXPECT_GT(flags.size(), 30u);
  for (const std::string& name : flags) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(std::regex_search(page, std::regex("(^|[\\s,])" + name + "([\\s,]|$)")));
  }
}

TEST_F(ManPage, ShowsValuesAndDefaultsAsTheHelpDoes) {
  if (!HaveMan()) GTEST_SKIP() << "man is not installed";
  std::string page = Rendered();
  const char* lines[] = {
      "-o, --output FILE",
      "--local-nee, --no-local-nee",
      "--seed-lat DD.MMSS",
      "--tolerance-mode TEXT:{2d,3d}",
      "--yes Excludes: --no",
      "--check-angle SECONDS:POSITIVE=30",
      "--check-distance M:POSITIVE=0.03",
      "-q, --quiet",
  };
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    EXPECT_NE(page.find(std::string("       ") + line + "\n"), std::string::npos);
  }
}

TEST_F(ManPage, HasTheSectionsOfACommandsPageAndTheVersion) {
  if (!HaveMan()) GTEST_SKIP() << "man is not installed";
  std::string page = Rendered();
  EXPECT_EQ(page.find("warning:"), std::string::npos) << page.substr(0, 400);
  for (const char* heading :
       {"NAME", "SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "FILES", "EXAMPLE"}) {
    SCOPED_TRACE(heading);
    EXPECT_NE(page.find(std::string("\n") + heading + "\n"), std::string::npos);
  }
  EXPECT_EQ(page.rfind("TROVISK(1)", 0), 0u);
  EXPECT_NE(page.find("trovisk " TROVISK_VERSION " "), std::string::npos);
  EXPECT_NE(page.find("trovisk - convert an RW5 raw survey data file"), std::string::npos);
}

TEST_F(ManPage, TheOptionThatWritesItIsNotInTheHelp) {
  std::string help = Output(dir_, "'" TROVISK_CLI_PATH "' --help");
  ASSERT_FALSE(help.empty());
  EXPECT_EQ(help.find("--man"), std::string::npos);
}

}  // namespace
}  // namespace trovisk
