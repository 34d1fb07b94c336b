// libFuzzer target: FuzzConversion (see tests/support/fuzz_entries.h).
#include <cstdio>
#include <cstdlib>

#include "support/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string failure = trovisk::fuzzing::FuzzConversion(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "fuzz_conversion: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
