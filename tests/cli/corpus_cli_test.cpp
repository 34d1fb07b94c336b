// Every real collector file converts from the command line to a complete
// Korvanta file, non-interactively, without a crash.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

TEST(CorpusFromCommandLine, EveryFileConvertsCompletely) {
  fs::path corpus = TROVISK_CORPUS_DIR;
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus beside the checkout";
  fs::path work = fs::temp_directory_path() / ("trovisk-corpus-" + std::to_string(::getpid()));
  fs::create_directories(work);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (entry.path().extension() != ".rw5") continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++files;
    fs::path out = work / (entry.path().stem().string() + ".txt");
    fs::path err = work / (entry.path().stem().string() + ".err");
    std::string command = std::string(TROVISK_CLI_PATH) + " --yes --merge different --settings " +
                          (work / "none.cfg").string() + " '" + entry.path().string() + "' -o '" +
                          out.string() + "' 2>'" + err.string() + "'";
    int rc = std::system(command.c_str());
    ASSERT_EQ(rc, 0) << ReadAll(err);
    std::string text = ReadAll(out);
    EXPECT_EQ(text.rfind("! The data in this file will be associated with this Datum.", 0), 0u);
    EXPECT_EQ(Count(text, "$STATION_TYPE_FOR_OBS"), 1u);
    // The header's units block and the observation section's own.
    EXPECT_GE(Count(text, "$UNITS"), 2u);
    // printf writes a non-finite number as "inf" or "nan": none may appear as a value.
    EXPECT_FALSE(std::regex_search(text, std::regex("(; |\\n)-?(inf|nan)(;|\\n)")));
    EXPECT_NE(ReadAll(err).find("Success - the results are in"), std::string::npos);
  }
  EXPECT_GT(files, 10);
  fs::remove_all(work);
}

}  // namespace
