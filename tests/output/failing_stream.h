// An output stream whose device takes a given number of bytes and then
// refuses every further write, as a full disk does.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace trovisk::testing {

class FailingStream : private std::streambuf, public std::ostream {
 public:
  explicit FailingStream(std::size_t capacity)
      : std::ostream(static_cast<std::streambuf*>(this)), capacity_(capacity) {}
  const std::string& written() const { return written_; }

 private:
  using Traits = std::streambuf::traits_type;

  std::streambuf::int_type overflow(std::streambuf::int_type c) override {
    if (written_.size() >= capacity_ || Traits::eq_int_type(c, Traits::eof())) return Traits::eof();
    written_.push_back(Traits::to_char_type(c));
    return c;
  }

  std::size_t capacity_;
  std::string written_;
};

}  // namespace trovisk::testing
