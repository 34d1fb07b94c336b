// Two threads taking turns at chunks of a section: format apart, emit in order.
#include "output/ordered_chunks.h"

#include <algorithm>
#include <cstddef>  // brings in the library's configuration before the test below

// A MinGW library built for the win32 thread model has no std::thread: there
// every section is formatted on the calling thread.
#if !defined(__GLIBCXX__) || defined(_GLIBCXX_HAS_GTHREADS)
#define TROVISK_OUTPUT_THREADS 1
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#endif

namespace trovisk {
namespace {

bool FormatAlone(std::size_t begin, std::size_t end, std::size_t chunk_size,
                 const std::function<void(int, std::size_t, std::size_t)>& format,
                 const std::function<bool(int)>& emit) {
  for (std::size_t first = begin; first < end; first += std::min(chunk_size, end - first)) {
    format(0, first, first + std::min(chunk_size, end - first));
    if (!emit(0)) return false;
  }
  return true;
}

#if defined(TROVISK_OUTPUT_THREADS)

// Whose turn it is to emit, and whether the run has stopped (an emit that
// failed, or an exception on either thread).
class Turns {
 public:
  // Waits until chunk `index` may be emitted; false once the run has stopped.
  bool WaitFor(std::size_t index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || next_ == index; });
    return !stopped_;
  }
  void Done() {
    {
      std::lock_guard lock(mutex_);
      ++next_;
    }
    changed_.notify_all();
  }
  void Stop(std::exception_ptr error) {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
      if (error && !error_) error_ = error;
    }
    changed_.notify_all();
  }
  // After both threads have stopped: the first exception, if any, travels on.
  bool Finish() {
    if (error_) std::rethrow_exception(error_);
    return !stopped_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t next_ = 0;
  bool stopped_ = false;
  std::exception_ptr error_;
};

void Work(int worker, std::size_t begin, std::size_t end, std::size_t chunk_size,
          std::size_t chunk_count, const std::function<void(int, std::size_t, std::size_t)>& format,
          const std::function<bool(int)>& emit, Turns& turns) {
  try {
    for (auto index = static_cast<std::size_t>(worker); index < chunk_count; index += 2) {
      const std::size_t first = begin + index * chunk_size;
      format(worker, first, std::min(first + chunk_size, end));
      if (!turns.WaitFor(index)) return;
      if (!emit(worker)) {
        turns.Stop(nullptr);
        return;
      }
      turns.Done();
    }
  } catch (...) {
    turns.Stop(std::current_exception());
  }
}

#endif

}  // namespace

bool FormatInOrder(std::size_t begin, std::size_t end, std::size_t chunk_size,
                   const std::function<void(int, std::size_t, std::size_t)>& format,
                   const std::function<bool(int)>& emit) {
  if (end <= begin) return true;
  chunk_size = std::max<std::size_t>(chunk_size, 1);
#if defined(TROVISK_OUTPUT_THREADS)
  const std::size_t chunk_count = (end - begin - 1) / chunk_size + 1;
  if (chunk_count >= 2) {
    Turns turns;
    std::thread helper;
    try {
      helper = std::thread(Work, 1, begin, end, chunk_size, chunk_count, std::cref(format),
                           std::cref(emit), std::ref(turns));
    } catch (const std::system_error&) {
      // No thread to be had: one thread does it all, as it would for a short section.
      return FormatAlone(begin, end, chunk_size, format, emit);
    }
    Work(0, begin, end, chunk_size, chunk_count, format, emit, turns);
    helper.join();
    return turns.Finish();
  }
#endif
  return FormatAlone(begin, end, chunk_size, format, emit);
}

}  // namespace trovisk
