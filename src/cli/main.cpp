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
#include "base/message_table.h"
#include "base/option_fields.h"
#include "base/utf8_path.h"
#include "cli/console_ui.h"
#include "cli/exit_status.h"
#include "convert/conversion.h"

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

// The program's own path, for the settings file beside it.
std::string ProgramPath(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && !self.empty()) return self.string();
  return argv0 != nullptr ? argv0 : "";
}

// A flag given with its "--no-" form sets the value false; absent leaves it.
void ApplyFlag(const CLI::Option* option, bool value, bool& field) {
  if (option->count() > 0) field = value;
}

int Run(int argc, char** argv) {
  CLI::App app{"Converts an RW5 raw survey data file into a Korvanta input file.", "trovisk"};
  app.set_version_flag("--version", "trovisk " TROVISK_VERSION);

  std::string input, output, tolerance_mode, merge = "ask", settings_path, report;
  bool local_nee = false, approx_geodetic = false, approx_nee = false, yes = false, no = false,
       save_settings = false, quiet = false, antenna = false, mark = false;
  using O = ConverterOptions;
  std::vector<FieldOption> fields = {
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

  CLI::Option* input_option =
      app.add_option("INPUT", input, "the RW5 file to read (.rw5 or .raw)")->type_name("FILE");
  CLI::Option* output_option =
      app.add_option("-o,--output", output, "the Korvanta file to write")->type_name("FILE");
  CLI::Option* local_option =
      app.add_flag("--local-nee,!--no-local-nee", local_nee,
                   "coordinates are local north/east/elevation (otherwise a projected system)");
  CLI::Option* geodetic_option =
      app.add_flag("--approx-geodetic,!--no-approx-geodetic", approx_geodetic,
                   "compute approximate geodetic coordinates for each station");
  CLI::Option* nee_option =
      app.add_flag("--approx-nee,!--no-approx-nee", approx_nee,
                   "compute approximate north/east/elevation for each unknown station");
  for (FieldOption& field : fields) {
    field.option = app.add_option(field.flag, field.text, field.help)->type_name(field.type);
  }
  CLI::Option* mode_option =
      app.add_option("--tolerance-mode", tolerance_mode, "merge tolerance measured in 2d or 3d")
          ->check(CLI::IsMember({"2d", "3d"}, CLI::ignore_case));
  CLI::Option* antenna_option = app.add_flag(
      "--antenna-to-antenna", antenna,
      "GPS vectors in the file run antenna to antenna: reduce them to mark to mark (default)");
  CLI::Option* mark_option =
      app.add_flag("--mark-to-mark", mark, "GPS vectors in the file run mark to mark");
  antenna_option->excludes(mark_option);
  CLI::Option* yes_option = app.add_flag("--yes", yes, "answer every Yes/No question Yes");
  CLI::Option* no_option = app.add_flag("--no", no, "answer every Yes/No question No");
  yes_option->excludes(no_option);
  app.add_option("--merge", merge, "how merge offers are answered")
      ->check(CLI::IsMember({"ask", "same", "different", "cancel"}, CLI::ignore_case));
  CLI::Option* settings_option =
      app.add_option("--settings", settings_path,
                     "the settings record (default: Trovisk.cfg beside the program)")
          ->type_name("FILE");
  app.add_flag("--save-settings", save_settings,
               "keep the options in the settings record once they pass the checks");
  app.add_option("--report", report, "write a station report to this file")->type_name("FILE");
  app.add_flag("-q,--quiet", quiet, "no success message (warnings and errors still shown)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? kExitSuccess : kExitInvalidOptions;
  }

  // Construction defaults, then the settings record, then the command line.
  ConverterOptions options;
  if (settings_option->count() == 0) settings_path = SettingsPathBeside(ProgramPath(argv[0]));
  std::error_code error;
  bool settings_exist = std::filesystem::exists(Utf8Path(settings_path), error);
  bool settings_read = settings_exist && ReadSettingsFile(settings_path, options);
  if (settings_exist && !settings_read) {
    std::cerr << "trovisk: warning: cannot read the settings file " << settings_path
              << "; the defaults are used\n";
  }

  if (input_option->count() > 0) options.input_file = input;
  if (output_option->count() > 0) options.output_file = output;
  ApplyFlag(local_option, local_nee, options.local_nee_system);
  ApplyFlag(geodetic_option, approx_geodetic, options.compute_approx_geodetic);
  ApplyFlag(nee_option, approx_nee, options.compute_approx_nee);
  if (antenna) options.gps_antenna_to_antenna = true;
  if (mark) options.gps_antenna_to_antenna = false;
  if (mode_option->count() > 0) options.tolerance_mode = (tolerance_mode[0] == '2') ? 0 : 1;
  for (const FieldOption& field : fields) {
    if (field.option->count() == 0) continue;
    if (field.name != nullptr) {
      options.*field.name = field.text;
      continue;
    }
    std::optional<double> value = ParseEditNumber(field.text);
    if (!value) {
      std::cerr << "trovisk: " << field.flag << ": " << FormatMessageText(kMsgEnterNumber, {})
                << '\n';
      return kExitInvalidOptions;
    }
    options.*field.number = *value;
  }
  if (auto refused = ValidateOptions(options)) {
    std::string origin = "options";
    for (const FieldOption& field : fields) {
      if (field.control_id != refused->control_id) continue;
      origin = field.flag;
      if (field.option->count() == 0) origin += " (from the settings file " + settings_path + ")";
    }
    std::cerr << "trovisk: " << origin << ": " << refused->text << '\n';
    return kExitInvalidOptions;
  }

  if (save_settings) {
    bool name_dropped = false;
    if (!WriteSettingsFile(settings_path, options, &name_dropped)) {
      std::cerr << "trovisk: warning: cannot write the settings file " << settings_path << '\n';
    } else if (name_dropped) {
      for (const std::string* name : {&options.output_file, &options.input_file}) {
        if (name->size() <= kMaxStoredFileName) continue;
        std::cerr << "trovisk: warning: " << FormatMessageText(kMsgFileNameTooLong, {*name})
                  << '\n';
      }
    }
  }

  ConsoleSettings console;
  console.questions = yes ? QuestionPolicy::kYes : no ? QuestionPolicy::kNo : QuestionPolicy::kAsk;
  std::string merge_choice = CLI::detail::to_lower(merge);
  console.merges = merge_choice == "same"        ? MergePolicy::kSame
                   : merge_choice == "different" ? MergePolicy::kDifferent
                   : merge_choice == "cancel"    ? MergePolicy::kCancel
                                                 : MergePolicy::kAsk;
  console.quiet = quiet;
  console.interactive = ConsoleIsInteractive();
  ConsoleUi ui(console, std::cin, std::cerr);
  SurveyData data;
  ConversionExtras extras;
  extras.report_file = report;
  return ExitStatusFor(RunConversion(options, ui, data, extras));
}

}  // namespace
}  // namespace trovisk

int main(int argc, char** argv) {
  try {
    return trovisk::Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << trovisk::FormatMessageText(trovisk::kMsgOutOfMemory, {}) << '\n';
  } catch (const std::exception& error) {
    std::cerr << "trovisk: " << error.what() << '\n';
  }
  return trovisk::kExitFailed;
}
