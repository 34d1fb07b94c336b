// Chunks formatted on two threads reach the output in their order, a failed
// write stops the section, and an exception on either thread reaches the caller.
#include "output/ordered_chunks.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

namespace trovisk {
namespace {

// Formats record i as "i," into the worker's own text; emits append it.
struct Section {
  std::string pending[2];
  std::string written;
  int emits = 0;

  bool Run(std::size_t begin, std::size_t end, std::size_t chunk, int fail_at_emit = -1) {
    return FormatInOrder(
        begin, end, chunk,
        [&](int worker, std::size_t first, std::size_t last) {
          std::string& text = pending[worker];
          text.clear();
          for (std::size_t i = first; i < last; ++i) text += std::to_string(i) + ",";
        },
        [&](int worker) {
          if (emits++ == fail_at_emit) return false;
          written += pending[worker];
          return true;
        });
  }
};

std::string Expected(std::size_t begin, std::size_t end) {
  std::string text;
  for (std::size_t i = begin; i < end; ++i) text += std::to_string(i) + ",";
  return text;
}

TEST(OrderedChunks, EveryRecordWrittenOnceInOrder) {
  const struct {
    std::size_t begin, end, chunk;
  } cases[] = {{0, 0, 4}, {5, 5, 4},   {1, 2, 4},    {1, 4, 4}, {1, 5, 4},
               {1, 6, 4}, {0, 100, 1}, {3, 1000, 7}, {1, 9, 0}, {0, 20000, 64}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.begin) + ".." + std::to_string(c.end) + " by " +
                 std::to_string(c.chunk));
    Section section;
    EXPECT_TRUE(section.Run(c.begin, c.end, c.chunk));
    EXPECT_EQ(section.written, Expected(c.begin, c.end));
  }
}

TEST(OrderedChunks, AFailedWriteStopsTheSection) {
  for (int fail_at : {0, 1, 2, 5}) {
    SCOPED_TRACE(fail_at);
    Section section;
    EXPECT_FALSE(section.Run(0, 100, 10, fail_at));
    // The chunks before the failed one went out whole, none after it.
    EXPECT_EQ(section.written, Expected(0, static_cast<std::size_t>(fail_at) * 10));
  }
}

TEST(OrderedChunks, OutOfMemoryOnEitherThreadReachesTheCaller) {
  for (std::size_t throwing_chunk : {0u, 1u, 6u}) {
    SCOPED_TRACE(throwing_chunk);
    std::string written;
    auto run = [&] {
      return FormatInOrder(
          0, 80, 10,
          [&](int, std::size_t first, std::size_t) {
            if (first / 10 == throwing_chunk) throw std::bad_alloc();
          },
          [&](int) {
            written += "x";
            return true;
          });
    };
    EXPECT_THROW(run(), std::bad_alloc);
    EXPECT_LE(written.size(), throwing_chunk);
  }
}

}  // namespace
}  // namespace trovisk
