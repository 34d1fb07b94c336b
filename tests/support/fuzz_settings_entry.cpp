// Fuzz entry: the settings record reader on arbitrary bytes.
#include <cstring>

#include "app/settings_record.h"
#include "support/fuzz_entries.h"

namespace trovisk::fuzzing {

std::string FuzzSettings(const std::uint8_t* data, std::size_t size) {
  ConverterOptions options;
  DecodeSettings(data, size, options);
  // A record written from what was read is read back to the same record:
  // names cut to their field, file names that do not fit dropped, numbers
  // and flags bit for bit.
  bool dropped = false;
  SettingsRecord first = EncodeSettings(options, &dropped);
  ConverterOptions again;
  DecodeSettings(first.data(), first.size(), again);
  SettingsRecord second = EncodeSettings(again, &dropped);
  if (std::memcmp(first.data(), second.data(), first.size()) != 0) {
    return "the settings record changes when written and read again";
  }
  if (options.seed_name.size() > 16 || options.datum_name.size() > 16) {
    return "a name read longer than its field";
  }
  if (options.input_file.size() > 260 || options.output_file.size() > 260) {
    return "a file name read longer than its field";
  }
  if (options.tolerance_mode != 0 && options.tolerance_mode != 1) {
    return "a tolerance mode other than 2D or 3D";
  }
  return {};
}

}  // namespace trovisk::fuzzing
