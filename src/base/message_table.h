// Every text the program shows, keyed by its message number. The console and
// the Windows string table both take their texts from here.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace trovisk {

enum MessageId : int {
  kMsgAboutMenu = 101,    // "About Trovisk..."
  kMsgWriteError = 1001,  // output name
  kMsgOutOfMemory = 1002,
  kMsgReadError = 1003,        // line, input name
  kMsgStationNotFound = 2111,  // station, input name
  kMsgNoInputName = 2112,
  kMsgNoOutputName = 2113,
  kMsgCannotOpen = 2114,         // file name
  kMsgOutputIsInput = 2115,      // file name
  kMsgFileNameTooLong = 2116,    // file name
  kMsgCodeNotSupported = 2121,   // line, code
  kMsgUseFileGeodetic = 2122,    // station
  kMsgUseFileNee = 2123,         // station
  kMsgSuccessWithApprox = 2211,  // output name, count
  kMsgCancelled = 2212,
  kMsgSuccess = 2213,  // output name
  kMsgEnterNumber = 3001,
  kMsgEnterNumberBetween = 3002,    // %1 low, %2 high
  kMsgEnterFewerCharacters = 3003,  // %1 count
  kMsgUnknownGrid = 3004,           // %1 the text entered
};

// A value for a placeholder: a number for %d, a text for %s, either for %1.
class MessageArg {
 public:
  MessageArg(int value) : is_number_(true), number_(value) {}        // NOLINT
  MessageArg(long value) : is_number_(true), number_(value) {}       // NOLINT
  MessageArg(long long value) : is_number_(true), number_(value) {}  // NOLINT
  MessageArg(std::string_view text) : text_(text) {}                 // NOLINT
  MessageArg(const std::string& text) : text_(text) {}               // NOLINT
  MessageArg(const char* text) : text_(text) {}                      // NOLINT
  bool is_number() const { return is_number_; }
  long long number() const { return number_; }
  const std::string& text() const { return text_; }

 private:
  bool is_number_ = false;
  long long number_ = 0;
  std::string text_;
};

struct MessageEntry {
  int id;
  const char* text;
};

// The whole table, in number order.
const std::vector<MessageEntry>& AllMessages();
// The text of a message, or an empty view for an unknown number.
std::string_view MessageText(int id);
// The text with its placeholders filled: printf-style %d and %s take the
// arguments in order, %1 and %2 by position; "%%" is a percent sign. A
// placeholder without an argument is left empty, never read past the list.
std::string FormatMessageText(int id, std::initializer_list<MessageArg> args);
std::string FormatText(std::string_view format, const std::vector<MessageArg>& args);

}  // namespace trovisk
