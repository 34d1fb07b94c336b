// A line reader on a thread of its own, handing over batches of lines.
#include "rw5/pipelined_line_reader.h"

#include <cstring>
#include <exception>
#include <vector>

#include "base/status.h"
#include "rw5/record_line_reader.h"

// A MinGW library built for the win32 thread model has no std::thread: there
// the lines are read on the calling thread.
#if !defined(__GLIBCXX__) || defined(_GLIBCXX_HAS_GTHREADS)
#define TROVISK_READER_THREADS 1
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#endif

namespace trovisk {

class PipelinedLineReader::Pipeline {
 public:
  Pipeline(std::istream& input, bool keep_data_notes, std::size_t batch_bytes)
      : reader_(input), batch_bytes_(batch_bytes < 1024 ? 1024 : batch_bytes) {
    if (keep_data_notes) reader_.KeepDataNotes();
#if defined(TROVISK_READER_THREADS)
    for (Batch& batch : batches_) batch.text.reserve(batch_bytes_);
    try {
      worker_ = std::thread(&Pipeline::Produce, this);
      threaded_ = true;
    } catch (const std::system_error&) {
      // No thread to be had: the lines are read as they are asked for.
    }
#endif
  }

  ~Pipeline() {
#if defined(TROVISK_READER_THREADS)
    if (!threaded_) return;
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
#endif
  }

  bool threaded() const {
#if defined(TROVISK_READER_THREADS)
    return threaded_;
#else
    return false;
#endif
  }

  // Lines read on the calling thread, where there is no reading thread.
  bool NextHere(std::string_view& line, int& line_counter, Status& error_code, bool& is_note) {
    const bool given = reader_.Next(line, line_counter, error_code);
    is_note = reader_.is_note();
    return given;
  }

#if defined(TROVISK_READER_THREADS)
  // Gives the batch in hand back to the reading thread and waits for the
  // next; false at the end of the input, with the final count and error.
  bool TakeBatch(const char*& text, std::size_t& text_size, const LineEntry*& lines,
                 std::size_t& line_count, int& line_counter, Status& error_code) {
    error_code = Status::kOk;
    if (current_ != nullptr && current_->last) {
      line_counter = current_->end_counter;
      error_code = current_->error_code;
      if (current_->error) std::rethrow_exception(current_->error);
      return false;
    }
    std::unique_lock lock(mutex_);
    if (current_ != nullptr) ++released_;
    const std::size_t number = taken_++;
    lock.unlock();
    changed_.notify_all();
    lock.lock();
    changed_.wait(lock, [&] { return produced_ > number; });
    current_ = &batches_[number % kBatches];
    text = current_->text.data();
    text_size = current_->text.size();
    lines = current_->lines.data();
    line_count = current_->lines.size();
    return true;
  }
#endif

 private:
  RecordLineReader reader_;
  const std::size_t batch_bytes_;

#if defined(TROVISK_READER_THREADS)
  // Lines in a row, each followed by a line feed, and what ended the input
  // when this is the last batch.
  struct Batch {
    std::vector<char> text;
    std::vector<LineEntry> lines;
    bool last = false;
    int end_counter = 0;
    Status error_code = Status::kOk;
    std::exception_ptr error;
  };
  static constexpr std::size_t kBatches = 3;

  // The reading thread: fills batch after batch, each once the caller is done
  // with the batch that held it before.
  void Produce() {
    int line_counter = 0;
    for (std::size_t number = 0;; ++number) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || number - released_ < kBatches; });
        if (stopping_) return;
      }
      Batch& batch = batches_[number % kBatches];
      Fill(batch, line_counter);
      {
        std::lock_guard lock(mutex_);
        ++produced_;
      }
      changed_.notify_all();
      if (batch.last) return;
    }
  }

  void Fill(Batch& batch, int& line_counter) {
    batch.text.clear();
    batch.lines.clear();
    try {
      std::string_view line;
      Status error_code = Status::kOk;
      // The longest line always fits: a batch closes while it has room for one.
      while (batch.text.size() + kMaxRecordLineLength + 1 <= batch_bytes_) {
        if (!reader_.Next(line, line_counter, error_code)) {
          batch.last = true;
          batch.end_counter = line_counter;
          batch.error_code = error_code;
          return;
        }
        LineEntry entry{batch.text.size(), line.size(), line_counter, reader_.is_note()};
        batch.text.insert(batch.text.end(), line.begin(), line.end());
        batch.text.push_back('\n');
        batch.lines.push_back(entry);
      }
    } catch (...) {
      batch.last = true;
      batch.end_counter = line_counter;
      batch.error = std::current_exception();
    }
  }

  Batch batches_[kBatches];
  std::thread worker_;
  bool threaded_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t produced_ = 0;  // batches the reading thread has filled
  std::size_t released_ = 0;  // batches the caller is done with
  std::size_t taken_ = 0;     // batches the caller has taken
  bool stopping_ = false;
  const Batch* current_ = nullptr;  // the caller's batch
#endif
};

PipelinedLineReader::PipelinedLineReader(std::istream& input, bool keep_data_notes,
                                         std::size_t batch_bytes)
    : pipeline_(std::make_unique<Pipeline>(input, keep_data_notes, batch_bytes)) {}

PipelinedLineReader::~PipelinedLineReader() = default;

bool PipelinedLineReader::NextSlow(std::string_view& line, int& line_counter, Status& error_code) {
  if (!pipeline_->threaded()) return pipeline_->NextHere(line, line_counter, error_code, is_note_);
#if defined(TROVISK_READER_THREADS)
  // A batch may be empty: only the last one is.
  while (next_line_ >= line_count_) {
    if (!pipeline_->TakeBatch(text_, text_size_, lines_, line_count_, line_counter, error_code)) {
      line_count_ = 0;
      next_line_ = 0;
      return false;
    }
    next_line_ = 0;
  }
  return Next(line, line_counter, error_code);
#else
  return false;
#endif
}

}  // namespace trovisk
