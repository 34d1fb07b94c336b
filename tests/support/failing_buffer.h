// A stream buffer that hands out its bytes, then fails as a broken device would.
#pragma once

#include <stdexcept>
#include <streambuf>
#include <string>
#include <utility>

namespace trovisk::testing {

class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::string data) : data_(std::move(data)) {
    setg(data_.data(), data_.data(), data_.data() + data_.size());
  }

 protected:
  int_type underflow() override { throw std::runtime_error("device gone"); }

 private:
  std::string data_;
};

}  // namespace trovisk::testing
