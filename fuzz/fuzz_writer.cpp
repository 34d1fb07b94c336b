// libFuzzer target: FuzzWriter (see tests/support/fuzz_entries.h).
#include <cstdio>
#include <cstdlib>

#include "support/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string failure = trovisk::fuzzing::FuzzWriter(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "fuzz_writer: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
