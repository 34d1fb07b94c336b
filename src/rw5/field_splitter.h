// Splits a record line into its fields and reads prefixed field values.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "rw5/null_value.h"

namespace trovisk {

// Fills `fields` with `count` views into `line`: field k runs from the
// separator after field k-1 (the first from `first_comma`) to the next comma,
// and the last field takes the rest of the line, commas included. Fields past
// the end of the line are empty. Nothing is trimmed.
void SplitFields(std::string_view line, std::size_t first_comma, std::size_t count,
                 std::vector<std::string_view>& fields);

// The record code: the text before the first comma (the whole line without one).
inline std::string_view RecordCode(std::string_view line, std::size_t& first_comma) {
  first_comma = line.find(',');
  if (first_comma == std::string_view::npos) first_comma = line.size();
  return line.substr(0, first_comma);
}

// True when the field begins with the two-letter (or shorter) prefix.
inline bool HasPrefix(std::string_view field, std::string_view prefix) {
  return field.substr(0, prefix.size()) == prefix;
}

// Two letters as one number, so that codes and prefixes can be switched on.
constexpr int TwoLetterKey(char first, char second) {
  return static_cast<unsigned char>(first) << 8 | static_cast<unsigned char>(second);
}
// The key of the first two characters of a field or code; -1 when shorter.
inline int TwoLetterKey(std::string_view text) {
  return text.size() >= 2 ? TwoLetterKey(text[0], text[1]) : -1;
}

// The field after its prefix of `prefix_length` characters (empty when none).
inline std::string_view AfterPrefix(std::string_view field, std::size_t prefix_length = 2) {
  return field.size() > prefix_length ? field.substr(prefix_length) : std::string_view();
}

// The blanks of atof: space, tab, line feed, vertical tab, form feed, return.
inline bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// True when the text holds nothing but blanks.
inline bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (!IsSpace(c)) return false;
  }
  return true;
}

// The leading number of `text` as the C library's atof reads it: blanks
// skipped, an optional sign, then as much as forms a number; 0 for text that
// is no number. A value that would be infinite or not a number gives
// kNullValue and sets `non_finite`.
double ReadReal(std::string_view text, bool& non_finite);
// A field value: kNullValue when `text` is blank (or empty), else ReadReal.
inline double ReadValue(std::string_view text, bool& non_finite) {
  if (IsBlank(text)) {
    non_finite = false;
    return kNullValue;
  }
  return ReadReal(text, non_finite);
}
// The leading integer of `text` as atoi reads it; 0 for no number or one out
// of range.
int ReadInteger(std::string_view text);

}  // namespace trovisk
