// Timed benchmark of the conversion and its stages on generated RW5 files of
// 10,000, 100,000 and 1,000,000 records, printed as one table with targets.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "approx/approximate_coordinates.h"
#include "base/options.h"
#include "bench_support.h"
#include "convert/conversion.h"
#include "convert/station_merge.h"
#include "geodesy/angles.h"
#include "geodesy/constants.h"
#include "output/header_writer.h"
#include "output/observation_writer.h"
#include "output/station_writer.h"
#include "rw5/record_parser.h"
#include "rw5/seed_lookup.h"
#include "rw5_generator.h"

namespace trovisk::bench {
namespace {

namespace fs = std::filesystem;

// Targets on a two-core machine.
constexpr double kWholeConversionLimit = 1.0;  // seconds for 1,000,000 records
constexpr double kWholeConversionAim = 0.5;
constexpr double kReferenceSpeedup = 40.0;      // times faster than the reference reader
constexpr double kPeakMemoryPerFileByte = 4.0;  // peak resident memory / file size
constexpr double kLinearGrowthLimit = 12.0;     // time(1,000,000) / time(100,000)

constexpr const char* kReferenceReader = "totalopenstation-cli-parser";

struct Settings {
  std::vector<std::int64_t> sizes{10000, 100000, 1000000};
  fs::path folder = fs::temp_directory_path() / "trovisk-bench";
  bool reference = true;  // run the reference reader when it is installed
  bool keep_files = false;
};

// The options a user would pick for a generated file: its own seed station
// at the generator's origin, and both kinds of approximate coordinates when
// `approximate`; without, a conversion with the default options (read, merge
// check, write), as most runs are.
ConverterOptions OptionsFor(const GeneratedSurvey& survey, const fs::path& input,
                            const fs::path& output, bool approximate = true) {
  GeneratorOptions origin;
  ConverterOptions options;
  options.input_file = input.string();
  options.output_file = output.string();
  options.seed_name = survey.seed_name;
  options.seed_latitude = origin.origin_latitude;
  options.seed_longitude = origin.origin_longitude;
  options.seed_height = origin.origin_height;
  options.seed_north = origin.origin_north;
  options.seed_east = origin.origin_east;
  options.seed_elevation = origin.origin_elevation;
  options.compute_approx_geodetic = approximate;
  options.compute_approx_nee = approximate;
  options.local_nee_system = true;
  return options;
}

// Seconds of each stage in one run of the steps the conversion takes.
struct StageTimes {
  double reader = 0.0;  // first pass and record parser
  double merge = 0.0;   // both merge checks
  double approximate = 0.0;
  double writer = 0.0;  // every block of the output, into a discarding stream
  std::int64_t stations = 0;
  std::int64_t observations = 0;
  std::int64_t output_bytes = 0;
  std::int64_t uncomputed = 0;
  Status status = Status::kOk;
};

StageTimes RunStages(const ConverterOptions& options) {
  StageTimes times;
  QuietUi ui;
  SurveyData data;
  WorkingDatum datum = ChooseWorkingDatum(options);
  ReaderOptions reader;
  reader.input_name = options.input_file;
  reader.gps_antenna_to_antenna = options.gps_antenna_to_antenna;
  reader.a = datum.a;
  reader.e2 = datum.e2;
  reader.fallback_latitude = DmsToRadians(options.seed_latitude);
  reader.fallback_longitude = DmsToRadians(options.seed_longitude);
  int line_counter = 0;
  Status& status = times.status;

  Stopwatch first_pass;
  {
    std::ifstream input(options.input_file, std::ios::binary);
    ReadStationCoordinates(input, reader, data, ui, line_counter, status);
  }
  times.reader += first_pass.CpuSeconds();
  if (status != Status::kOk) return times;

  Stopwatch merge_before;
  MergeNearbyStations(data.stations, options.tolerance, options.tolerance_mode, datum.a, datum.e2,
                      ui);
  times.merge += merge_before.CpuSeconds();

  Stopwatch parse;
  {
    std::ifstream input(options.input_file, std::ios::binary);
    line_counter = 0;
    ParseRecords(input, reader, data, ui, line_counter, status);
  }
  times.reader += parse.CpuSeconds();
  if (status != Status::kOk) return times;

  Stopwatch approximate;
  SeedCoordinates seed;
  LookUpSeedStation(data.stations, options.seed_name, options.input_file, ui, seed);
  ApproximateInputs inputs;
  inputs.do_geodetic = options.compute_approx_geodetic;
  inputs.do_nee = options.compute_approx_nee;
  inputs.seed_name = options.seed_name;
  inputs.seed_latitude_dms = options.seed_latitude;
  inputs.seed_longitude_dms = options.seed_longitude;
  inputs.seed_height = options.seed_height;
  inputs.seed_north = options.seed_north;
  inputs.seed_east = options.seed_east;
  inputs.seed_elevation = options.seed_elevation;
  inputs.unit_factor = DistanceUnitFactor(data.distance_units);
  inputs.a = datum.a;
  inputs.e2 = datum.e2;
  inputs.local_nee_system = options.local_nee_system;
  inputs.file_has_nee = seed.has_nee;
  inputs.file_north = seed.north;
  inputs.file_east = seed.east;
  inputs.file_elevation = seed.elevation;
  inputs.file_has_geodetic = seed.has_geodetic;
  inputs.file_latitude = seed.latitude;
  inputs.file_longitude = seed.longitude;
  inputs.file_height = seed.height;
  times.uncomputed = ComputeApproximateCoordinates(data, inputs, ui);
  times.approximate = approximate.CpuSeconds();

  Stopwatch merge_after;
  MergeNearbyStations(data.stations, options.tolerance, options.tolerance_mode, datum.a, datum.e2,
                      ui);
  times.merge += merge_after.CpuSeconds();

  DiscardBuffer discard;
  std::ostream out(&discard);
  Stopwatch write;
  WriteDatumBlock(out, datum, status);
  if (status == Status::kOk) WriteUnitsBlock(out, kUnitMetres, 0, status);
  if (status == Status::kOk) WriteDefaultsBlock(out, status);
  if (status == Status::kOk) WriteStationTypeBlock(out, options.local_nee_system, status);
  if (status == Status::kOk)
    WriteStations(out, data.stations, true, true, options.local_nee_system, status);
  if (status == Status::kOk) {
    WriteObservationSection(out, data.stations, data.observations, data.angle_units,
                            data.distance_units, status);
  }
  times.writer = write.CpuSeconds();
  times.stations = static_cast<std::int64_t>(data.stations.size()) - 1;
  times.observations = static_cast<std::int64_t>(data.observations.size()) - 1;
  times.output_bytes = discard.bytes();
  return times;
}

struct SizeResult {
  std::int64_t records = 0;
  std::int64_t file_bytes = 0;
  StageTimes best;              // the fastest of the repetitions, stage by stage
  double plain = 0.0;           // RunConversion with the default options, fastest, processor time
  double plain_wall = 0.0;      // the same run's wall time
  std::int64_t plain_peak = 0;  // its peak resident memory, bytes
  double whole = 0.0;           // RunConversion with approximate coordinates, fastest
  double whole_wall = 0.0;      // the same run's wall time
  std::int64_t whole_peak = 0;
  ConversionOutcome outcome;  // of the last run with approximate coordinates
  std::int64_t merge_offers = 0;
};

// One whole conversion as a user runs it: in a process of its own, which
// starts with no memory of earlier runs and whose high-water mark is its own.
struct ChildConversion {
  bool ran = false;
  double cpu = 0.0;   // processor time of RunConversion itself, seconds
  double wall = 0.0;  // its wall time
  std::int64_t peak_bytes = 0;
  ConversionOutcome outcome;
  std::int64_t merge_offers = 0;
};

ChildConversion ConvertInChild(const fs::path& input, const fs::path& output,
                               const fs::path& folder, bool approximate) {
  ChildConversion result;
  const fs::path report = folder / "bench-child.txt";
  ChildRun child =
      RunChild({fs::canonical("/proc/self/exe").string(), "--convert-once", input.string(),
                output.string(), "T1", report.string(), approximate ? "approximate" : "plain"});
  std::ifstream in(report);
  int status = 0;
  result.ran = child.exit_status == 0 &&
               static_cast<bool>(in >> result.peak_bytes >> result.cpu >> result.wall >> status >>
                                 result.outcome.message_id >> result.merge_offers);
  in.close();
  fs::remove(report);
  result.outcome.status = result.ran ? static_cast<Status>(status) : Status::kReadError;
  return result;
}

// The fastest of `repeats` conversions in children, and the highest peak.
void TimeConversion(const fs::path& input, const fs::path& output, const fs::path& folder,
                    bool approximate, int repeats, double& cpu, double& wall,
                    std::int64_t& peak_bytes, ConversionOutcome& outcome,
                    std::int64_t& merge_offers) {
  for (int i = 0; i < repeats; ++i) {
    // Every run writes a new file, as the reference reader's run does: putting
    // a file in place of an existing one costs the file system a flush of the
    // new file's data (ext4), which is the file system's price, not the run's.
    std::error_code ignored;
    fs::remove(output, ignored);
    ChildConversion run = ConvertInChild(input, output, folder, approximate);
    if (i == 0 || run.cpu < cpu) cpu = run.cpu;
    if (i == 0 || run.wall < wall) wall = run.wall;
    peak_bytes = i == 0 ? run.peak_bytes : std::max(peak_bytes, run.peak_bytes);
    outcome = run.outcome;
    merge_offers = run.merge_offers;
    if (!run.ran) peak_bytes = -1;
  }
}

SizeResult MeasureSize(const Settings& settings, std::int64_t records) {
  SizeResult result;
  result.records = records;
  GeneratorOptions generator;
  generator.record_count = records;
  fs::path input = settings.folder / ("bench-" + std::to_string(records) + ".rw5");
  fs::path output = settings.folder / ("bench-" + std::to_string(records) + ".txt");
  GeneratedSurvey survey;
  {
    std::ofstream file(input, std::ios::binary | std::ios::trunc);
    survey = GenerateRw5(generator, file);
  }
  result.file_bytes = survey.bytes;
  ConverterOptions options = OptionsFor(survey, input, output);
  int repeats = records >= 1000000 ? 2 : records >= 100000 ? 3 : 5;
  for (int i = 0; i < repeats; ++i) {
    StageTimes t = RunStages(options);
    if (i == 0) {
      result.best = t;
      continue;
    }
    result.best.reader = std::min(result.best.reader, t.reader);
    result.best.merge = std::min(result.best.merge, t.merge);
    result.best.approximate = std::min(result.best.approximate, t.approximate);
    result.best.writer = std::min(result.best.writer, t.writer);
  }
  ConversionOutcome plain_outcome;
  std::int64_t plain_offers = 0;
  TimeConversion(input, output, settings.folder, false, repeats, result.plain, result.plain_wall,
                 result.plain_peak, plain_outcome, plain_offers);
  TimeConversion(input, output, settings.folder, true, repeats, result.whole, result.whole_wall,
                 result.whole_peak, result.outcome, result.merge_offers);
  if (plain_outcome.status != Status::kOk) result.outcome = plain_outcome;
  return result;
}

std::string Duration(double seconds) {
  char text[32];
  if (seconds < 1e-3) {
    std::snprintf(text, sizeof text, "%.0f us", seconds * 1e6);
  } else if (seconds < 1.0) {
    std::snprintf(text, sizeof text, "%.1f ms", seconds * 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.2f s", seconds);
  }
  return text;
}

std::string Megabytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
  return text;
}

const char* Verdict(bool pass) { return pass ? "PASS" : "FAIL"; }

int Main(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--convert-once" && i + 5 < argc) {
      // The child of ConvertInChild: one whole conversion, then its own
      // high-water mark, times and outcome.
      GeneratedSurvey survey;
      survey.seed_name = argv[i + 3];
      QuietUi ui;
      const bool approximate = std::string(argv[i + 5]) == "approximate";
      const ConverterOptions options = OptionsFor(survey, argv[i + 1], argv[i + 2], approximate);
      ConversionOutcome outcome;
      double cpu = 0.0;
      double wall = 0.0;
      {
        Stopwatch watch;
        SurveyData data;
        outcome = RunConversion(options, ui, data);
        cpu = watch.CpuSeconds();
        wall = watch.Seconds();
      }
      std::ofstream(argv[i + 4]) << PeakResidentBytes() << " " << cpu << " " << wall << " "
                                 << static_cast<int>(outcome.status) << " " << outcome.message_id
                                 << " " << ui.merge_offers << "\n";
      return outcome.status == Status::kOk ? 0 : 1;
    }
    if (arg == "--sizes" && i + 1 < argc) {
      settings.sizes.clear();
      std::string list = argv[++i];
      for (std::size_t start = 0; start < list.size();) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        settings.sizes.push_back(std::atoll(list.substr(start, comma - start).c_str()));
        start = comma + 1;
      }
    } else if (arg == "--folder" && i + 1 < argc) {
      settings.folder = argv[++i];
    } else if (arg == "--no-reference") {
      settings.reference = false;
    } else if (arg == "--keep-files") {
      settings.keep_files = true;
    } else {
      std::fprintf(stderr,
                   "usage: trovisk-bench [--sizes N,N,...] [--folder DIR] [--no-reference] "
                   "[--keep-files]\n");
      return 2;
    }
  }
#if defined(__GLIBC__)
  // The stages are timed in this process, run after run: each gets its large
  // arrays fresh from the system, as a one-off conversion does. Left to
  // itself the allocator keeps arrays up to 32 MB between repetitions, so
  // that small files would run on memory already mapped and large ones not,
  // and the growth from one size to the next would measure the allocator.
  // (Whole conversions run in children of their own, untouched by this.)
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
  fs::create_directories(settings.folder);
  std::sort(settings.sizes.begin(), settings.sizes.end());

  std::printf("Trovisk benchmark: %s, %u hardware threads, %s build, load average %.1f\n",
              ProcessorName().c_str(), std::thread::hardware_concurrency(),
              TROVISK_BENCH_BUILD_TYPE, LoadAverage());
  std::printf(
      "Stage times are processor time of the fastest run (the machine is shared).\n"
      "Whole conversions run each in a fresh process, writing a new file; their wall\n"
      "time (what a user waits) is judged against the targets, with processor time\n"
      "beside it.\n");
#ifndef NDEBUG
  std::printf("WARNING: assertions are on; figures of a Debug build mean little\n");
#endif
  std::vector<SizeResult> results;
  for (std::int64_t size : settings.sizes) {
    std::fprintf(stderr, "measuring %lld records...\n", static_cast<long long>(size));
    results.push_back(MeasureSize(settings, size));
  }

  // Table: one column per size, then the growth from the second-largest size
  // to the largest, with the target.
  std::printf("\n%-22s", "records");
  for (const SizeResult& r : results) std::printf("%14lld", static_cast<long long>(r.records));
  std::printf("%12s  %s\n", "growth", "target");
  std::printf("%-22s", "file size");
  for (const SizeResult& r : results)
    std::printf("%14s", Megabytes(static_cast<double>(r.file_bytes)).c_str());
  std::printf("\n%-22s", "stations / obs.");
  for (const SizeResult& r : results) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld/%lld", static_cast<long long>(r.best.stations),
                  static_cast<long long>(r.best.observations));
    std::printf("%14s", text);
  }
  std::printf("\n");
  bool all_pass = true;
  auto row = [&](const char* name, auto stage) {
    std::printf("%-22s", name);
    for (const SizeResult& r : results) std::printf("%14s", Duration(stage(r)).c_str());
    if (results.size() >= 2) {
      const SizeResult& large = results[results.size() - 1];
      const SizeResult& smaller = results[results.size() - 2];
      double ratio = stage(large) / std::max(stage(smaller), 1e-9);
      double size_ratio = static_cast<double>(large.records) / static_cast<double>(smaller.records);
      // The limit scales with the size step: 12 for a step of 10.
      bool pass = ratio < kLinearGrowthLimit * size_ratio / 10.0;
      all_pass = all_pass && pass;
      std::printf("%11.1fx  < %.0fx  %s", ratio, kLinearGrowthLimit * size_ratio / 10.0,
                  Verdict(pass));
    }
    std::printf("\n");
  };
  row("reader (both passes)", [](const SizeResult& r) { return r.best.reader; });
  row("merge check (twice)", [](const SizeResult& r) { return r.best.merge; });
  row("approx. coordinates", [](const SizeResult& r) { return r.best.approximate; });
  row("writer", [](const SizeResult& r) { return r.best.writer; });
  auto throughput = [&](auto cpu, auto wall) {
    std::printf("%-22s", "  wall time");
    for (const SizeResult& r : results) std::printf("%14s", Duration(wall(r)).c_str());
    std::printf("\n%-22s", "  records/s");
    for (const SizeResult& r : results) {
      std::printf("%13.2fM", static_cast<double>(r.records) / cpu(r) / 1e6);
    }
    std::printf("\n%-22s", "  MB/s");
    for (const SizeResult& r : results) {
      std::printf("%14.0f", static_cast<double>(r.file_bytes) / cpu(r) / 1e6);
    }
    std::printf("\n");
  };
  row("conversion", [](const SizeResult& r) { return r.plain; });
  throughput([](const SizeResult& r) { return r.plain; },
             [](const SizeResult& r) { return r.plain_wall; });
  row("conv. + approx. coord.", [](const SizeResult& r) { return r.whole; });
  throughput([](const SizeResult& r) { return r.whole; },
             [](const SizeResult& r) { return r.whole_wall; });
  std::printf("%-22s", "  outcome (message)");
  for (const SizeResult& r : results) std::printf("%14d", r.outcome.message_id);
  std::printf("\n%-22s", "  merge offers");
  for (const SizeResult& r : results) std::printf("%14lld", static_cast<long long>(r.merge_offers));
  std::printf("\n\n");

  const SizeResult& largest = results.back();
  bool conversion_ok = largest.outcome.status == Status::kOk;
  if (!conversion_ok) {
    std::printf("whole conversion did not succeed: status %d, message %d\n",
                static_cast<int>(largest.outcome.status), largest.outcome.message_id);
    all_pass = false;
  }
  fs::path input = settings.folder / ("bench-" + std::to_string(largest.records) + ".rw5");
  // A user waits for the wall time: the speed targets are judged on it, the
  // processor time shown beside it.
  const struct {
    const char* name;
    double wall;
    double cpu;
    std::int64_t peak_bytes;
  } conversions[] = {
      {"conversion", largest.plain_wall, largest.plain, largest.plain_peak},
      {"conversion + approx. coordinates", largest.whole_wall, largest.whole, largest.whole_peak}};
  for (const auto& c : conversions) {
    bool fast = c.wall < kWholeConversionLimit;
    all_pass = all_pass && fast;
    char text[64];
    std::snprintf(text, sizeof text, "%s (processor %s)", Duration(c.wall).c_str(),
                  Duration(c.cpu).c_str());
    std::printf("%-44s %20s   < %.1f s (aim %.1f s)  %s\n", c.name, text, kWholeConversionLimit,
                kWholeConversionAim, Verdict(fast));
  }
  for (const auto& c : conversions) {
    double ratio = static_cast<double>(c.peak_bytes) / static_cast<double>(largest.file_bytes);
    bool lean = c.peak_bytes > 0 && ratio < kPeakMemoryPerFileByte;
    all_pass = all_pass && lean;
    char memory[64];
    std::snprintf(memory, sizeof memory, "%s (%.2fx file)",
                  Megabytes(static_cast<double>(c.peak_bytes)).c_str(), ratio);
    std::string label = std::string("peak memory, ") + c.name;  // at most 44 characters
    std::printf("%-44s %20s   < %.0fx file  %s\n", label.c_str(), memory, kPeakMemoryPerFileByte,
                Verdict(lean));
  }

  if (settings.reference && OnPath(kReferenceReader)) {
    fs::path reference_output = settings.folder / "bench-reference.csv";
    ChildRun reference = RunChild({kReferenceReader, "-f", "carlson_rw5", "-t", "csv", "-i",
                                   input.string(), "-o", reference_output.string(), "--overwrite"});
    // Against the conversion with the default options: the reference reader
    // reads and exports, with no approximate coordinates either. It runs on
    // one thread, so its wall and processor times agree.
    double speedup = reference.seconds / largest.plain_wall;
    bool faster = reference.exit_status == 0 && speedup >= kReferenceSpeedup;
    all_pass = all_pass && faster;
    char text[64];
    std::snprintf(text, sizeof text, "%s -> %.0fx", Duration(reference.seconds).c_str(), speedup);
    std::printf("%-44s %20s   >= %.0fx  %s%s\n", "reference RW5 reader (csv export), same file",
                text, kReferenceSpeedup, Verdict(faster),
                reference.exit_status == 0 ? "" : " (reference reader failed)");
    std::snprintf(text, sizeof text, "%s -> %.0fx", Duration(reference.cpu_seconds).c_str(),
                  reference.cpu_seconds / largest.plain);
    std::printf("%-44s %20s\n", "  ... in processor time", text);
    std::printf("%-44s %20.0fx\n", "  ... against the run with approx. coordinates",
                reference.seconds / largest.whole_wall);
    fs::remove(reference_output);
  } else {
    std::printf("%-44s %20s\n", "reference RW5 reader", "not run");
  }
  if (!settings.keep_files) {
    for (const SizeResult& r : results) {
      fs::remove(settings.folder / ("bench-" + std::to_string(r.records) + ".rw5"));
      fs::remove(settings.folder / ("bench-" + std::to_string(r.records) + ".txt"));
    }
  }
  std::printf("\noverall: %s\n", all_pass ? "every target met" : "some targets missed");
  return all_pass ? 0 : 1;
}

}  // namespace
}  // namespace trovisk::bench

int main(int argc, char** argv) { return trovisk::bench::Main(argc, argv); }
