// trovisk [OPTIONS] INPUT -o OUTPUT: the command-line front end.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/settings_record.h"
#include "base/control_ids.h"
#include "base/edit_number.h"
#include "base/epsg_code.h"
#include "base/message_table.h"
#include "base/option_fields.h"
#include "base/utf8_path.h"
#include "checks/check_tolerances.h"
#include "cli/console_ui.h"
#include "cli/exit_status.h"
#include "cli/man_page.h"
#include "cli/program_path.h"
#include "cli/utf8_console.h"
#include "convert/conversion.h"
#include "geodesy/grid_system.h"

namespace trovisk {
namespace {

// An option that fills one of the dialog's edit fields. Numbers are taken as
// text and read as the dialog's edit reads them.
struct FieldOption {
  const char* flag;
  const char* type;
  const char* help;
  int control_id;
  std::string ConverterOptions::*name;  // a text field, or
  double ConverterOptions::*number;     // a number field
  std::string text;
  CLI::Option* option = nullptr;
};

FieldOption TextField(const char* flag, const char* type, const char* help, int control_id,
                      std::string ConverterOptions::*name) {
  return FieldOption{flag, type, help, control_id, name, nullptr, {}, nullptr};
}

FieldOption NumberField(const char* flag, const char* type, const char* help, int control_id,
                        double ConverterOptions::*number) {
  return FieldOption{flag, type, help, control_id, nullptr, number, {}, nullptr};
}

// A flag given with its "--no-" form sets the value false; absent leaves it.
void ApplyFlag(const CLI::Option* option, bool value, bool& field) {
  if (option->count() > 0) field = value;
}

// What the command line says, as parsed: the values and the options that
// tell whether each was given.
struct CommandLine {
  std::string input, output, tolerance_mode, merge = "ask", settings_path, report, plot, crs;
  bool local_nee = false, approx_geodetic = false, approx_nee = false, yes = false, no = false,
       save_settings = false, quiet = false, antenna = false, mark = false;
  CheckTolerances tolerances;
  std::vector<FieldOption> fields;
  CLI::Option* input_option = nullptr;
  CLI::Option* output_option = nullptr;
  CLI::Option* local_option = nullptr;
  CLI::Option* geodetic_option = nullptr;
  CLI::Option* nee_option = nullptr;
  CLI::Option* mode_option = nullptr;
  CLI::Option* settings_option = nullptr;
};

// The dialog's edit fields as options, in the dialog's order.
std::vector<FieldOption> EditFieldOptions() {
  using O = ConverterOptions;
  return {
      TextField("--seed", "NAME", "the seed station whose coordinates are entered", kIdcSeedName,
                &O::seed_name),
      NumberField("--seed-lat", "DD.MMSS", "seed latitude, north positive", kIdcLatitude,
                  &O::seed_latitude),
      NumberField("--seed-lon", "DD.MMSS", "seed longitude, east positive", kIdcLongitude,
                  &O::seed_longitude),
      NumberField("--seed-height", "M", "seed height, in the job's distance unit", kIdcHeight,
                  &O::seed_height),
      NumberField("--seed-north", "N", "seed north, in the job's distance unit", kIdcNorth,
                  &O::seed_north),
      NumberField("--seed-east", "E", "seed east, in the job's distance unit", kIdcEast,
                  &O::seed_east),
      NumberField("--seed-elev", "Z", "seed elevation, in the job's distance unit", kIdcElevation,
                  &O::seed_elevation),
      TextField("--datum-name", "TEXT", "the datum's name", kIdcDatumName, &O::datum_name),
      NumberField("--datum-a", "M", "the datum's semi-major axis, metres", kIdcMajorAxis,
                  &O::datum_major_axis),
      NumberField("--datum-inv-f", "F", "the datum's inverse flattening", kIdcInverseFlattening,
                  &O::datum_inverse_flattening),
      NumberField("--tolerance", "M", "stations closer than this are offered for merging",
                  kIdcTolerance, &O::tolerance),
  };
}

void DeclareOptions(CLI::App& app, CommandLine& line) {
  line.fields = EditFieldOptions();
  line.input_option =
      app.add_option("INPUT", line.input, "the RW5 file to read (.rw5 or .raw)")->type_name("FILE");
  line.output_option =
      app.add_option("-o,--output", line.output, "the Korvanta file to write")->type_name("FILE");
  line.local_option =
      app.add_flag("--local-nee,!--no-local-nee", line.local_nee,
                   "coordinates are local north/east/elevation (otherwise a projected system)");
  line.geodetic_option =
      app.add_flag("--approx-geodetic,!--no-approx-geodetic", line.approx_geodetic,
                   "compute approximate geodetic coordinates for each station");
  line.nee_option =
      app.add_flag("--approx-nee,!--no-approx-nee", line.approx_nee,
                   "compute approximate north/east/elevation for each unknown station");
  for (FieldOption& field : line.fields) {
    field.option = app.add_option(field.flag, field.text, field.help)->type_name(field.type);
  }
  line.mode_option = app.add_option("--tolerance-mode", line.tolerance_mode,
                                    "merge tolerance measured in 2d or 3d")
                         ->check(CLI::IsMember({"2d", "3d"}, CLI::ignore_case));
  CLI::Option* antenna_option = app.add_flag(
      "--antenna-to-antenna", line.antenna,
      "GPS vectors in the file run antenna to antenna: reduce them to mark to mark (default)");
  CLI::Option* mark_option =
      app.add_flag("--mark-to-mark", line.mark, "GPS vectors in the file run mark to mark");
  antenna_option->excludes(mark_option);
  CLI::Option* yes_option = app.add_flag("--yes", line.yes, "answer every Yes/No question Yes");
  CLI::Option* no_option = app.add_flag("--no", line.no, "answer every Yes/No question No");
  yes_option->excludes(no_option);
  app.add_option("--merge", line.merge, "how merge offers are answered")
      ->check(CLI::IsMember({"ask", "same", "different", "cancel"}, CLI::ignore_case));
  line.settings_option =
      app.add_option("--settings", line.settings_path,
                     "the settings record (default: Trovisk.cfg beside the program)")
          ->type_name("FILE");
  app.add_flag("--save-settings", line.save_settings,
               "keep the options in the settings record once they pass the checks");
  app.add_option("--report", line.report,
                 "write the check report to this file: what was written, every field check, the "
                 "flagged items and the station table")
      ->type_name("FILE");
  app.add_option("--check-angle", line.tolerances.angle_seconds,
                 "field checks: flag angles and zeniths off by more than this (arc-seconds)")
      ->type_name("SECONDS")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
  app.add_option("--check-distance", line.tolerances.distance,
                 "field checks: flag horizontal distances off by more than this (metres) ...")
      ->type_name("M")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
  app.add_option("--check-ppm", line.tolerances.distance_ppm,
                 "... plus this many parts per million of the distance")
      ->type_name("PPM")
      ->check(CLI::NonNegativeNumber)
      ->capture_default_str();
  app.add_option("--check-height", line.tolerances.height,
                 "field checks: flag height differences off by more than this (metres)")
      ->type_name("M")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
  app.add_option("--plot", line.plot, "draw the network as an SVG picture in this file")
      ->type_name("FILE.svg");
  app.add_option("--crs", line.crs,
                 "the projected grid the job's north and east are on, by its EPSG code "
                 "(default: identified from the file's GPS points with grid coordinates)")
      ->type_name("EPSG:CODE")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            const std::optional<int> code = ParseEpsgCode(text);
            if (code && *code != 0 && FindGridSystem(*code) != nullptr) return {};
            return "'" + text + "' is no projected grid this program knows (EPSG:CODE)";
          },
          "", ""));
  app.add_flag(
      "-q,--quiet", line.quiet,
      "no success message and no counts of what was written (warnings and errors still shown)");
}

// The options of the settings record, or the construction defaults when there
// is none or it cannot be read (then with a warning).
ConverterOptions ReadSettingsOrDefaults(const std::string& settings_path) {
  ConverterOptions options;
  std::error_code error;
  bool settings_exist = std::filesystem::exists(Utf8Path(settings_path), error);
  if (settings_exist && !ReadSettingsFile(settings_path, options)) {
    std::cerr << "trovisk: warning: cannot read the settings file " << settings_path
              << "; the defaults are used\n";
  }
  return options;
}

// The command line's values over the settings; false (with the message
// shown) when a number field holds no number or the options do not pass the
// dialog's checks.
bool ApplyCommandLine(const CommandLine& line, ConverterOptions& options) {
  if (line.input_option->count() > 0) options.input_file = line.input;
  if (line.output_option->count() > 0) options.output_file = line.output;
  ApplyFlag(line.local_option, line.local_nee, options.local_nee_system);
  ApplyFlag(line.geodetic_option, line.approx_geodetic, options.compute_approx_geodetic);
  ApplyFlag(line.nee_option, line.approx_nee, options.compute_approx_nee);
  if (line.antenna) options.gps_antenna_to_antenna = true;
  if (line.mark) options.gps_antenna_to_antenna = false;
  if (line.mode_option->count() > 0) {
    options.tolerance_mode = (line.tolerance_mode[0] == '2') ? 0 : 1;
  }
  for (const FieldOption& field : line.fields) {
    if (field.option->count() == 0) continue;
    if (field.name != nullptr) {
      options.*field.name = field.text;
      continue;
    }
    std::optional<double> value = ParseEditNumber(field.text);
    if (!value) {
      std::cerr << "trovisk: " << field.flag << ": " << FormatMessageText(kMsgEnterNumber, {})
                << '\n';
      return false;
    }
    options.*field.number = *value;
  }
  if (auto refused = ValidateOptions(options)) {
    std::string origin = "options";
    for (const FieldOption& field : line.fields) {
      if (field.control_id != refused->control_id) continue;
      origin = field.flag;
      if (field.option->count() == 0) {
        origin += " (from the settings file " + line.settings_path + ")";
      }
    }
    std::cerr << "trovisk: " << origin << ": " << refused->text << '\n';
    return false;
  }
  return true;
}

// Keeps the options in the settings record; a file name too long for the
// record is left out of it, with a warning.
void SaveSettings(const std::string& settings_path, const ConverterOptions& options) {
  bool name_dropped = false;
  if (!WriteSettingsFile(settings_path, options, &name_dropped)) {
    std::cerr << "trovisk: warning: cannot write the settings file " << settings_path << '\n';
    return;
  }
  if (!name_dropped) return;
  for (const std::string* name : {&options.output_file, &options.input_file}) {
    if (name->size() <= kMaxStoredFileName) continue;
    std::cerr << "trovisk: warning: " << FormatMessageText(kMsgFileNameTooLong, {*name}) << '\n';
  }
}

ConsoleSettings ConsoleSettingsFor(const CommandLine& line) {
  ConsoleSettings console;
  console.questions = line.yes  ? QuestionPolicy::kYes
                      : line.no ? QuestionPolicy::kNo
                                : QuestionPolicy::kAsk;
  std::string merge_choice = CLI::detail::to_lower(line.merge);
  console.merges = merge_choice == "same"        ? MergePolicy::kSame
                   : merge_choice == "different" ? MergePolicy::kDifferent
                   : merge_choice == "cancel"    ? MergePolicy::kCancel
                                                 : MergePolicy::kAsk;
  console.quiet = line.quiet;
  console.interactive = ConsoleIsInteractive();
  return console;
}

int Run(int argc, char** argv) {
  CLI::App app{"Converts an RW5 raw survey data file into a Korvanta input file.", "trovisk"};
  app.set_version_flag("--version", "trovisk " TROVISK_VERSION);
  // The same options on Windows: a name starting with '/' is a file there too.
  app.allow_windows_style_options(false);
  CommandLine line;
  DeclareOptions(app, line);
  // Hidden: the manual page, written from this same option table.
  app.add_flag_callback("--man",
                        [&app] {
                          WriteManPage(app, TROVISK_VERSION, std::cout);
                          throw CLI::Success();
                        })
      ->group("");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? kExitSuccess : kExitInvalidOptions;
  }

  // Construction defaults, then the settings record, then the command line.
  if (line.settings_option->count() == 0) {
    line.settings_path = SettingsPathBeside(ProgramPath(argv[0]));
  }
  ConverterOptions options = ReadSettingsOrDefaults(line.settings_path);
  if (!ApplyCommandLine(line, options)) return kExitInvalidOptions;
  if (line.save_settings) SaveSettings(line.settings_path, options);

  ConsoleUi ui(ConsoleSettingsFor(line), std::cin, std::cerr);
  SurveyData data;
  ConversionExtras extras;
  extras.report_file = line.report;
  extras.plot_file = line.plot;
  extras.tolerances = line.tolerances;
  extras.grid_code = ParseEpsgCode(line.crs).value_or(0);
  return ExitStatusFor(RunConversion(options, ui, data, extras));
}

}  // namespace
}  // namespace trovisk

int main(int argc, char** argv) {
  try {
    trovisk::Utf8Console console(argc, argv);
    return trovisk::Run(console.argc(), console.argv());
  } catch (const std::bad_alloc&) {
    std::cerr << trovisk::FormatMessageText(trovisk::kMsgOutOfMemory, {}) << '\n';
  } catch (const std::exception& error) {
    std::cerr << "trovisk: " << error.what() << '\n';
  }
  return trovisk::kExitFailed;
}
