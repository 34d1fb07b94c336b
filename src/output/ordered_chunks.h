// Long sections formatted on two processor cores, written in their order.
#pragma once

#include <cstddef>
#include <functional>

namespace trovisk {

// Formats records [begin, end) in chunks of `chunk_size`, on two threads
// where the platform has them: thread w (0 or 1) formats chunks w, w + 2,
// ... with `format(w, first, last)` into a buffer of its own, and each chunk
// is then handed on with `emit(w)` strictly in chunk order, so the output is
// byte for byte what one thread would write. While one thread writes its
// chunk out, the other formats the next.
//
// A section of fewer than two chunks, or a platform without threads, is
// formatted on the calling thread alone, as worker 0. Returns false as soon
// as an `emit` returns false; the chunks after it are not emitted. An
// exception thrown by `format` or `emit` (out of memory) reaches the caller
// once both threads have stopped.
bool FormatInOrder(
    std::size_t begin, std::size_t end, std::size_t chunk_size,
    const std::function<void(int worker, std::size_t first, std::size_t last)>& format,
    const std::function<bool(int worker)>& emit);

}  // namespace trovisk
