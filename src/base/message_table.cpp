// The message texts and their formatting.
#include "base/message_table.h"

#include <algorithm>

namespace trovisk {

const std::vector<MessageEntry>& AllMessages() {
  static const std::vector<MessageEntry> kMessages = {
      {kMsgAboutMenu, "About Trovisk..."},
      {kMsgWriteError, "File write error %s"},
      {kMsgOutOfMemory, "Unable to allocate the required memory"},
      {kMsgReadError, "File read error on line %d - %s"},
      {kMsgStationNotFound, "Cannot find station '%s' in file %s"},
      {kMsgNoInputName, "Please enter the 'TDS' *.rw5 or *.raw file name to convert"},
      {kMsgNoOutputName, "Please enter a 'Korvanta' File name"},
      {kMsgCannotOpen, "Cannot open file %s"},
      {kMsgOutputIsInput,
       "Cannot write to file %s\n\nIt is the input file. Please enter another 'Korvanta' File "
       "name."},
      {kMsgFileNameTooLong,
       "The file name is too long to be kept in the settings (at most 259 characters): %s"},
      {kMsgCodeNotSupported,
       "Code Not Supported At This Time ( line '%d', code '%s' )\n\nWant to continue and skip "
       "these records?"},
      {kMsgUseFileGeodetic,
       "Station '%s' has geodetic coordinates defined in the input file.\n\nUse those "
       "coordinates instead of entered geodetic coords?"},
      {kMsgUseFileNee,
       "Station '%s' has NEE coordinates defined in the input file.\n\nUse those coordinates "
       "instead of entered NEE coords?"},
      {kMsgSuccessWithApprox,
       "Success - the results are in %s.\n\nThe field observations have been extracted.\n\nThe "
       "approximate coordinates could not be computed for %d stations. Non-computed stations "
       "will have coordinates of zero in the results file. You should provide approximate "
       "coordinates for these stations.\n\nThe results file can now be loaded into Korvanta for "
       "further processing."},
      {kMsgCancelled, "Operation cancelled"},
      {kMsgSuccess,
       "Success - the results are in %s.\n\nThe field observations have been "
       "extracted.\n\nApproximate coordinates were not computed or written to the output "
       "file.\n\nThe results file can now be loaded into Korvanta for further processing."},
      {kMsgEnterNumber, "Please enter a number."},
      {kMsgEnterNumberBetween, "Please enter a number between %1 and %2."},
      {kMsgEnterFewerCharacters, "Please enter no more than %1 characters."},
      {kMsgUnknownGrid,
       "'%1' is no projected grid this program knows. Please enter an EPSG code such as "
       "EPSG:2953, or leave the field empty to find the grid from the file."},
  };
  return kMessages;
}

std::string_view MessageText(int id) {
  const auto& messages = AllMessages();
  auto found = std::find_if(messages.begin(), messages.end(),
                            [id](const MessageEntry& entry) { return entry.id == id; });
  return found == messages.end() ? std::string_view() : std::string_view(found->text);
}

namespace {

std::string ArgText(const MessageArg& arg) {
  return arg.is_number() ? std::to_string(arg.number()) : arg.text();
}

}  // namespace

std::string FormatText(std::string_view format, const std::vector<MessageArg>& args) {
  std::string out;
  out.reserve(format.size() + 64);
  std::size_t next = 0;  // next argument for %d and %s
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out += c;
      continue;
    }
    char kind = format[i + 1];
    if (kind == '%') {
      out += '%';
    } else if (kind == 'd' || kind == 's') {
      if (next < args.size()) out += ArgText(args[next]);
      ++next;
    } else if (kind >= '1' && kind <= '9') {
      std::size_t position = static_cast<std::size_t>(kind - '1');
      if (position < args.size()) out += ArgText(args[position]);
    } else {
      out += c;
      continue;
    }
    ++i;
  }
  return out;
}

std::string FormatMessageText(int id, std::initializer_list<MessageArg> args) {
  return FormatText(MessageText(id), std::vector<MessageArg>(args));
}

}  // namespace trovisk
