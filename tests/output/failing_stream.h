// An output stream whose device takes a given number of bytes and then
// refuses every further write, as a full disk does.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace trovisk::testing {

class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::size_t capacity) : capacity_(capacity) {}
  const std::string& written() const { return written_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (written_.size() >= capacity_) return traits_type::eof();
    written_.push_back(traits_type::to_char_type(c));
    return c;
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    std::size_t room = capacity_ - written_.size();
    std::size_t taken = static_cast<std::size_t>(count) < room ? static_cast<std::size_t>(count)
                                                               : room;
    written_.append(text, taken);
    return static_cast<std::streamsize>(taken);
  }

 private:
  std::size_t capacity_;
  std::string written_;
};

class FailingStream : public std::ostream {
 public:
  explicit FailingStream(std::size_t capacity) : std::ostream(nullptr), buffer_(capacity) {
    rdbuf(&buffer_);
  }
  const std::string& written() const { return buffer_.written(); }

 private:
  FailingBuffer buffer_;
};

}  // namespace trovisk::testing
