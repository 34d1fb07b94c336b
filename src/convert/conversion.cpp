// The conversion run: options in, the Korvanta file and one final message out.
#include "convert/conversion.h"

#include <fstream>
#include <iomanip>
#include <new>
#include <sstream>

#include "approx/approximate_coordinates.h"
#include "approx/station_report.h"
#include "base/option_fields.h"
#include "base/output_file.h"
#include "base/show_message.h"
#include "base/status.h"
#include "base/utf8_path.h"
#include "checks/check_report.h"
#include "checks/field_checks.h"
#include "checks/known_points.h"
#include "checks/network_plot.h"
#include "checks/orientation.h"
#include "convert/grid_choice.h"
#include "convert/merge_clusters.h"
#include "convert/station_merge.h"
#include "convert/written_report.h"
#include "geodesy/angles.h"
#include "output/header_writer.h"
#include "output/observation_writer.h"
#include "output/station_writer.h"
#include "rw5/record_parser.h"
#include "rw5/seed_lookup.h"

namespace trovisk {

namespace {

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  std::size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

// Everything a run holds open, so that every way out closes the files.
struct Run {
  const ConverterOptions& options;
  UserInterface& ui;
  SurveyData& data;
  const ConversionExtras& extras;
  std::string input_name;
  std::string output_name;
  std::ifstream input;
  OutputFile output;
  WorkingDatum datum;
  Status status = Status::kOk;
  int line_counter = 0;
  int uncomputed = 0;
  bool do_geodetic = false;
  bool do_nee = false;
  StationReport report;
  KnownCoordinates known;              // the file's station coordinates
  std::vector<CheckFinding> findings;  // the field checks, ranked
  DeclinedMerges declined_merges;      // pairs the user called different, not asked again
  GridChoice grid;                     // the projected grid, when known
};

ConversionOutcome Finish(Run& run, int message_id, std::initializer_list<MessageArg> args) {
  ConversionOutcome outcome;
  outcome.status = run.status;
  outcome.message_id = message_id;
  outcome.uncomputed_count = run.uncomputed;
  ShowMessage(run.ui, message_id, Buttons::kOk, args);
  return outcome;
}

// The end-of-run report after a stop: the files are closed, a partial
// output is removed, and the status becomes its one message.
ConversionOutcome ReportStop(Run& run) {
  if (run.input.is_open()) run.input.close();
  run.output.Abandon();
  switch (run.status) {
    case Status::kOutOfMemory:
      return Finish(run, kMsgOutOfMemory, {});
    case Status::kWriteError:
      return Finish(run, kMsgWriteError, {run.output_name});
    case Status::kReadError:
      return Finish(run, kMsgReadError, {run.line_counter, run.input_name});
    default:
      return Finish(run, kMsgCancelled, {});
  }
}

ReaderOptions MakeReaderOptions(const Run& run) {
  ReaderOptions reader;
  reader.input_name = run.input_name;
  reader.gps_antenna_to_antenna = run.options.gps_antenna_to_antenna;
  reader.a = run.datum.a;
  reader.e2 = run.datum.e2;
  reader.fallback_latitude = DmsToRadians(run.options.seed_latitude);
  reader.fallback_longitude = DmsToRadians(run.options.seed_longitude);
  reader.tolerance = run.options.tolerance;
  return reader;
}

// Starts the input over from its first line for the next pass.
bool Rewind(Run& run) {
  run.input.clear();
  run.input.seekg(0);
  run.line_counter = 0;
  return static_cast<bool>(run.input);
}

bool MergeCancelled(Run& run) {
  return MergeNearbyStations(run.data.stations, run.options.tolerance, run.options.tolerance_mode,
                             run.datum.a, run.datum.e2, run.ui, &run.declined_merges);
}

// The projected grid of the job, which the approximate coordinates and the
// field checks' distances follow; a local system has none.
void ChooseGridIfUsed(Run& run) {
  if (run.options.local_nee_system) {
    if (run.extras.grid_code != 0) {
      run.ui.Warn(run.input_name + ": the grid EPSG:" + std::to_string(run.extras.grid_code) +
                  " is not used: the coordinates are local north/east/elevation");
    }
    return;
  }
  run.grid = ChooseGrid(run.data.stations, run.extras.grid_code, run.data.distance_units,
                        run.input_name, run.ui);
  const double factor = GroundToGridFactor(run.grid, run.data.stations);
  run.known.SetGroundToGrid(factor);
  if (run.grid.system == nullptr) return;
  std::ostringstream text;
  text << run.input_name << ": the field checks take ground distances onto the grid by "
       << std::fixed << std::setprecision(7) << factor
       << " (the grid's scale and the elevation factor over the job)";
  run.ui.Inform(text.str());
}

void ComputeApproximate(Run& run, const SeedCoordinates& seed) {
  ApproximateInputs inputs;
  inputs.do_geodetic = run.do_geodetic;
  inputs.do_nee = run.do_nee;
  inputs.seed_name = Trim(run.options.seed_name);
  inputs.seed_latitude_dms = run.options.seed_latitude;
  inputs.seed_longitude_dms = run.options.seed_longitude;
  inputs.seed_height = run.options.seed_height;
  inputs.seed_north = run.options.seed_north;
  inputs.seed_east = run.options.seed_east;
  inputs.seed_elevation = run.options.seed_elevation;
  inputs.unit_factor = DistanceUnitFactor(run.data.distance_units);
  inputs.a = run.datum.a;
  inputs.e2 = run.datum.e2;
  inputs.local_nee_system = run.options.local_nee_system;
  if (run.grid.system != nullptr) {
    inputs.grid = &run.grid.projection;
    inputs.separations = &run.grid.separations;
  }
  inputs.distance_unit_code = run.data.distance_units;
  inputs.file_has_nee = seed.has_nee;
  inputs.file_north = seed.north;
  inputs.file_east = seed.east;
  inputs.file_elevation = seed.elevation;
  inputs.file_has_geodetic = seed.has_geodetic;
  inputs.file_latitude = seed.latitude;
  inputs.file_longitude = seed.longitude;
  inputs.file_height = seed.height;
  BusyScope busy(run.ui);
  // The station report says which stations were determined more than once,
  // which the field checks report.
  run.uncomputed = ComputeApproximateCoordinates(run.data, inputs, run.ui, &run.report);
}

// The field checks after the approximate coordinates, each flagged finding
// a warning with its line.
void RunChecks(Run& run) {
  const bool approximated = run.do_geodetic || run.do_nee;
  std::vector<CheckFinding> more =
      RunFieldChecks(run.data, run.known, approximated ? &run.report : nullptr,
                     run.extras.tolerances, !run.extras.report_file.empty());
  run.findings.insert(run.findings.end(), std::make_move_iterator(more.begin()),
                      std::make_move_iterator(more.end()));
  RankFindings(run.findings);
  for (const CheckFinding& finding : run.findings) {
    if (!finding.flagged) continue;
    std::string warning = run.input_name;
    if (finding.line > 0) warning.append(":").append(std::to_string(finding.line));
    run.ui.Warn(warning.append(": ").append(finding.text));
  }
}

// The groups of stations still close enough to be one point after the
// merges: the local ones, then the geodetic.
std::vector<MergeCluster> RemainingClusters(const Run& run) {
  std::vector<MergeCluster> clusters =
      FindMergeClusters(run.data.stations, run.options.tolerance, run.options.tolerance_mode,
                        run.datum.a, run.datum.e2, MergeCheck::kLocal);
  for (MergeCluster& cluster :
       FindMergeClusters(run.data.stations, run.options.tolerance, run.options.tolerance_mode,
                         run.datum.a, run.datum.e2, MergeCheck::kGeodetic)) {
    clusters.push_back(std::move(cluster));
  }
  return clusters;
}

// The check report a front end asked for; a report that cannot be written
// is a warning, not a failed conversion.
void WriteReportIfAsked(Run& run, const WrittenObservations& written) {
  if (run.extras.report_file.empty()) return;
  // Binary, like the Korvanta file: the same bytes on Windows as on Linux.
  std::ofstream report(Utf8Path(run.extras.report_file),
                       std::ios::out | std::ios::binary | std::ios::trunc);
  CheckReportInput input;
  input.input_name = run.input_name;
  input.data = &run.data;
  input.report = run.do_geodetic || run.do_nee ? &run.report : nullptr;
  input.written = &written;
  input.findings = &run.findings;
  const std::vector<MergeCluster> clusters = RemainingClusters(run);
  input.clusters = &clusters;
  input.tolerances = run.extras.tolerances;
  if (report) WriteCheckReport(report, input);
  if (!report) run.ui.Warn("cannot write the check report " + run.extras.report_file);
}

// What the plot shows. Without approximate coordinates there is no report,
// and every station with coordinates is drawn as known. The findings and the
// merge groups are left empty here until the run hands them on.
PlotInput PlotInputFor(const Run& run) {
  PlotInput input;
  input.stations = &run.data.stations;
  input.observations = &run.data.observations;
  input.report = run.do_geodetic || run.do_nee ? &run.report : nullptr;
  input.distance_unit_code = run.data.distance_units;
  input.findings = run.findings;
  input.clusters = RemainingClusters(run);
  return input;
}

// The network plot a front end asked for, written whole or not at all; a plot
// that cannot be written is a warning, not a failed conversion.
void WritePlotIfAsked(Run& run) {
  if (run.extras.plot_file.empty()) return;
  OutputFile plot;
  bool written = plot.Open(run.extras.plot_file);
  if (written) {
    WriteNetworkPlot(plot.stream(), PlotInputFor(run));
    written = plot.Commit();
  }
  if (!written) run.ui.Warn("cannot write the network plot " + run.extras.plot_file);
}

ConversionOutcome Convert(Run& run) {
  // Reset the run state; every list starts with its reserved record.
  run.data.Reset();

  run.input_name = Trim(run.options.input_file);
  run.output_name = Trim(run.options.output_file);
  // The run cannot start unless both files are named and can be opened.
  run.status = Status::kCannotStart;
  if (run.input_name.empty()) return Finish(run, kMsgNoInputName, {});
  if (run.output_name.empty()) return Finish(run, kMsgNoOutputName, {});
  // Writing over the raw file would destroy the day's field work.
  if (IsSameFile(run.input_name, run.output_name)) {
    return Finish(run, kMsgOutputIsInput, {run.output_name});
  }
  run.input.open(Utf8Path(run.input_name), std::ios::in | std::ios::binary);
  if (!run.input.is_open()) return Finish(run, kMsgCannotOpen, {run.input_name});
  if (!run.output.Open(run.output_name)) {
    run.input.close();
    return Finish(run, kMsgCannotOpen, {run.output_name});
  }
  run.status = Status::kOk;
  std::ostream& out = run.output.stream();

  run.datum = ChooseWorkingDatum(run.options);
  WriteDatumBlock(out, run.datum, run.status);
  if (run.status == Status::kOk) WriteUnitsBlock(out, kUnitMetres, 0, run.status);
  if (run.status == Status::kOk) WriteDefaultsBlock(out, run.status);
  if (run.status != Status::kOk) return ReportStop(run);

  ReaderOptions reader = MakeReaderOptions(run);
  {
    BusyScope busy(run.ui);
    ReadStationCoordinates(run.input, reader, run.data, run.ui, run.line_counter, run.status);
  }
  if (run.status != Status::kOk) return ReportStop(run);
  if (MergeCancelled(run)) {
    run.status = Status::kCancelled;
    return ReportStop(run);
  }

  if (!Rewind(run)) {
    run.status = Status::kReadError;
    return ReportStop(run);
  }
  {
    BusyScope busy(run.ui);
    ParseRecords(run.input, reader, run.data, run.ui, run.line_counter, run.status);
  }
  if (run.status != Status::kOk) return ReportStop(run);
  run.known = KnownStations(run.data.stations);
  run.findings = SettleOrientations(run.data, run.extras.tolerances);

  std::string seed_name = Trim(run.options.seed_name);
  SeedCoordinates seed;
  if ((run.options.compute_approx_geodetic || run.options.compute_approx_nee) &&
      !seed_name.empty() &&
      LookUpSeedStation(run.data.stations, seed_name, run.input_name, run.ui, seed)) {
    run.do_geodetic = run.options.compute_approx_geodetic;
    run.do_nee = run.options.compute_approx_nee;
  }
  ChooseGridIfUsed(run);
  if (run.do_geodetic || run.do_nee) {
    ComputeApproximate(run, seed);
    if (MergeCancelled(run)) {
      run.status = Status::kCancelled;
      return ReportStop(run);
    }
  }
  RunChecks(run);
  WritePlotIfAsked(run);

  WriteStationTypeBlock(out, run.options.local_nee_system, run.status);
  if (run.status != Status::kOk) return ReportStop(run);
  bool local_nee = run.options.local_nee_system;
  if (run.do_geodetic || run.do_nee) {
    WriteStations(out, run.data.stations, run.do_geodetic, run.do_nee, local_nee, run.status);
    if (run.status != Status::kOk) return ReportStop(run);
  }
  // With only local coordinates asked, the pass above already wrote them:
  // a second local pass would write every station twice.
  bool local_written = run.do_nee;
  if (!local_written) {
    WriteStations(out, run.data.stations, false, true, local_nee, run.status);
    if (run.status != Status::kOk) return ReportStop(run);
  }
  WrittenObservations written;
  WriteObservationSection(out, run.data.stations, run.data.observations, run.data.angle_units,
                          run.data.distance_units, run.status, &written);
  if (run.status != Status::kOk) return ReportStop(run);
  if (!run.do_geodetic && !run.do_nee) {
    WriteStations(out, run.data.stations, false, false, local_nee, run.status);
    if (run.status != Status::kOk) return ReportStop(run);
  }

  run.input.close();
  if (!run.output.Commit()) {
    run.status = Status::kWriteError;
    return ReportStop(run);
  }
  ReportWritten(run.ui, run.input_name, written);
  WriteReportIfAsked(run, written);
  if (run.do_geodetic || run.do_nee) {
    return Finish(run, kMsgSuccessWithApprox, {run.output_name, run.uncomputed});
  }
  return Finish(run, kMsgSuccess, {run.output_name});
}

}  // namespace

ConversionOutcome RunConversion(const ConverterOptions& options, UserInterface& ui,
                                SurveyData& data, const ConversionExtras& extras) {
  ConversionOutcome outcome;
  // A front end validates as the user types; a run never starts on options
  // that would not pass, and ends without a message when they do not.
  if (ValidateOptions(options)) {
    outcome.status = Status::kInvalidOptions;
    return outcome;
  }
  Run run{options, ui, data,  extras, {}, {}, {}, {}, {}, Status::kOk,
          0,       0,  false, false,  {}, {}, {}, {}, {}};
  try {
    return Convert(run);
  } catch (const std::bad_alloc&) {
    // Out of memory is the one failure that arrives as an exception; it
    // becomes its status here, at the top of the run.
    run.status = Status::kOutOfMemory;
    data.Reset();
    return ReportStop(run);
  }
}

}  // namespace trovisk
