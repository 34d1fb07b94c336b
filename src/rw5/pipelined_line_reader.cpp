// A line reader on a thread of its own, handing over batches of lines.
#include "rw5/pipelined_line_reader.h"

#include <cstring>
#include <exception>
#include <vector>

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

  bool Next(std::string_view& line, int& line_counter, int& error_code) {
#if defined(TROVISK_READER_THREADS)
    if (threaded_) return NextFromBatch(line, line_counter, error_code);
#endif
    const bool given = reader_.Next(line, line_counter, error_code);
    is_note_ = reader_.is_note();
    return given;
  }

  bool is_note() const { return is_note_; }

  std::string_view Ahead() const {
#if defined(TROVISK_READER_THREADS)
    if (threaded_) {
      if (current_ == nullptr || next_line_ >= current_->lines.size()) return {};
      const std::size_t from = current_->lines[next_line_].offset;
      return std::string_view(current_->text.data() + from, current_->text.size() - from);
    }
#endif
    return reader_.Ahead();
  }

 private:
  RecordLineReader reader_;
  const std::size_t batch_bytes_;
  bool is_note_ = false;

#if defined(TROVISK_READER_THREADS)
  struct Line {
    std::size_t offset = 0;
    std::size_t length = 0;
    int line_counter = 0;
    bool is_note = false;
  };
  // Lines in a row, each followed by a line feed, and what ended the input
  // when this is the last batch.
  struct Batch {
    std::vector<char> text;
    std::vector<Line> lines;
    bool last = false;
    int end_counter = 0;
    int error_code = 0;
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
      int error_code = 0;
      // The longest line always fits: a batch closes while it has room for one.
      while (batch.text.size() + kMaxRecordLineLength + 1 <= batch_bytes_) {
        if (!reader_.Next(line, line_counter, error_code)) {
          batch.last = true;
          batch.end_counter = line_counter;
          batch.error_code = error_code;
          return;
        }
        Line entry{batch.text.size(), line.size(), line_counter, reader_.is_note()};
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

  bool NextFromBatch(std::string_view& line, int& line_counter, int& error_code) {
    error_code = 0;
    while (current_ == nullptr || next_line_ >= current_->lines.size()) {
      if (current_ != nullptr && current_->last) {
        line_counter = current_->end_counter;
        error_code = current_->error_code;
        if (current_->error) std::rethrow_exception(current_->error);
        return false;
      }
      TakeNextBatch();
    }
    const Line& entry = current_->lines[next_line_++];
    line = std::string_view(current_->text.data() + entry.offset, entry.length);
    line_counter = entry.line_counter;
    is_note_ = entry.is_note;
    return true;
  }

  // Gives the batch in hand back to the reading thread and waits for the next.
  void TakeNextBatch() {
    std::unique_lock lock(mutex_);
    if (current_ != nullptr) ++released_;
    const std::size_t number = taken_++;
    lock.unlock();
    changed_.notify_all();
    lock.lock();
    changed_.wait(lock, [&] { return produced_ > number; });
    current_ = &batches_[number % kBatches];
    next_line_ = 0;
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
  // The caller's side: the batch in hand and its next line.
  const Batch* current_ = nullptr;
  std::size_t next_line_ = 0;
#endif
};

PipelinedLineReader::PipelinedLineReader(std::istream& input, bool keep_data_notes,
                                         std::size_t batch_bytes)
    : pipeline_(std::make_unique<Pipeline>(input, keep_data_notes, batch_bytes)) {}

PipelinedLineReader::~PipelinedLineReader() = default;

bool PipelinedLineReader::Next(std::string_view& line, int& line_counter, int& error_code) {
  return pipeline_->Next(line, line_counter, error_code);
}

bool PipelinedLineReader::is_note() const { return pipeline_->is_note(); }

std::string_view PipelinedLineReader::Ahead() const { return pipeline_->Ahead(); }

}  // namespace trovisk
