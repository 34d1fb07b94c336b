// Entry points shared by the libFuzzer targets and the test that replays the
// inputs they once failed on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace trovisk::fuzzing {

// Each takes arbitrary bytes and returns an empty string when every check
// held, otherwise what failed. Crashes and sanitizer reports speak for
// themselves.

// The whole run on a raw file made of the bytes: the first pass, the merge
// check, the record parser, approximate coordinates from the first station,
// the merge check again and every output block into memory, answering every
// question Yes and merge offers in turn.
std::string FuzzConversion(const std::uint8_t* data, std::size_t size);

// The settings record read from the bytes, whatever their number; once read,
// writing and reading it again changes nothing.
std::string FuzzSettings(const std::uint8_t* data, std::size_t size);

// Stations and observations built from the bytes (any values, NaN, infinity,
// huge numbers, any sequence numbers and merge links, station indices within
// the list) through the station and observation writers.
std::string FuzzWriter(const std::uint8_t* data, std::size_t size);

}  // namespace trovisk::fuzzing
