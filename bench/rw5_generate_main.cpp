// Command line of the RW5 generator: rw5-generate COUNT FILE [SEED] [UNITS] [grads].
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "rw5_generator.h"

namespace {

bool ParseInteger(const char* text, long long low, long long high, long long& value) {
  char* end = nullptr;
  value = std::strtoll(text, &end, 10);
  return end != text && *end == '\0' && value >= low && value <= high;
}

int Usage() {
  std::fprintf(stderr,
               "usage: rw5-generate COUNT FILE [SEED] [UNITS] [grads]\n"
               "  COUNT  lines to write (1 .. 1000000000)\n"
               "  FILE   the RW5 file to write ('-' for standard output)\n"
               "  SEED   random seed (default 1); the same seed gives the same file\n"
               "  UNITS  distance unit code: 0 international feet, 1 metres (default), 2 US feet\n"
               "  grads  angles in grads instead of packed degrees\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 6) return Usage();
  trovisk::bench::GeneratorOptions options;
  long long value = 0;
  if (!ParseInteger(argv[1], 1, 1000000000LL, value)) return Usage();
  options.record_count = value;
  if (argc > 3) {
    if (!ParseInteger(argv[3], 0, 0x7fffffffffffffffLL, value)) return Usage();
    options.seed = static_cast<std::uint64_t>(value);
  }
  if (argc > 4) {
    if (!ParseInteger(argv[4], 0, 2, value)) return Usage();
    options.distance_units = static_cast<int>(value);
  }
  if (argc > 5) {
    if (std::string(argv[5]) != "grads") return Usage();
    options.angle_units = 1;
  }
  std::string path = argv[2];
  trovisk::bench::GeneratedSurvey survey;
  if (path == "-") {
    std::ios::sync_with_stdio(false);
    survey = trovisk::bench::GenerateRw5(options, std::cout);
    std::cout.flush();
    if (!std::cout) return 1;
  } else {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
      std::fprintf(stderr, "rw5-generate: cannot create %s\n", path.c_str());
      return 1;
    }
    survey = trovisk::bench::GenerateRw5(options, out);
    out.close();
    if (!out) {
      std::fprintf(stderr, "rw5-generate: write error on %s\n", path.c_str());
      return 1;
    }
  }
  std::fprintf(stderr,
               "rw5-generate: %lld records, %lld bytes: %lld setups, %lld sideshots, %lld traverse "
               "legs, %lld direction pointings, %lld GPS vectors; seed station %s\n",
               static_cast<long long>(survey.records), static_cast<long long>(survey.bytes),
               static_cast<long long>(survey.setups), static_cast<long long>(survey.sideshots),
               static_cast<long long>(survey.traverse_legs),
               static_cast<long long>(survey.direction_pointings),
               static_cast<long long>(survey.gps_vectors), survey.seed_name.c_str());
  return 0;
}
