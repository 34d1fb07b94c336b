// Naming the check files after the output file.
#include "app/check_files.h"

namespace trovisk {

ConversionExtras CheckFilesBeside(const std::string& output_name) {
  // Blanks around the name are not part of it, as for the run itself.
  const char* blanks = " \t\r\n";
  std::size_t first = output_name.find_first_not_of(blanks);
  std::string output_file =
      first == std::string::npos
          ? std::string()
          : output_name.substr(first, output_name.find_last_not_of(blanks) - first + 1);
  // The extension is what follows the last dot of the file's own name, not
  // of a folder; a name that starts with its only dot has none.
  std::size_t name_start = output_file.find_last_of("\\/:");
  name_start = name_start == std::string::npos ? 0 : name_start + 1;
  std::size_t dot = output_file.find_last_of('.');
  bool has_extension = dot != std::string::npos && dot > name_start;
  std::string stem = has_extension ? output_file.substr(0, dot) : output_file;
  ConversionExtras extras;
  extras.report_file = stem + "-report.txt";
  extras.plot_file = stem + "-plot.svg";
  return extras;
}

}  // namespace trovisk
