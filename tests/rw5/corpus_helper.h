// Reads the real collector files of the shared corpus for the reader's tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "rw5/parse_helper.h"

namespace trovisk::testing {

// The corpus folder: the environment may point elsewhere than the build's default.
inline std::filesystem::path CorpusDir() {
  if (const char* dir = std::getenv("TROVISK_CORPUS_DIR")) return dir;
  return TROVISK_CORPUS_DIR;
}

// Both passes over one corpus file, answering Yes to every question.
inline void ParseCorpusFile(const std::string& name, Parsed& p, ReaderOptions options = {}) {
  std::ifstream input(CorpusDir() / name, std::ios::binary);
  ASSERT_TRUE(input) << name;
  options.input_name = name;
  ReadStationCoordinates(input, options, p.data, p.ui, p.line_counter, p.status);
  ParseRecords(input, options, p.data, p.ui, p.line_counter, p.status);
  ASSERT_EQ(p.status, Status::kOk);
}

}  // namespace trovisk::testing
