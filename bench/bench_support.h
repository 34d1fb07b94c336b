// Small helpers of the benchmark driver: a user interface that never waits
// for anyone, a stream that discards, a stopwatch and child processes.
#pragma once

#include <time.h>

#include <chrono>
#include <cstdint>
#include <streambuf>
#include <string>
#include <vector>

#include "base/user_interface.h"

namespace trovisk::bench {

// Answers every question Yes and every merge offer "different", and counts them.
class QuietUi : public UserInterface {
 public:
  Answer ShowMessage(int message_id, const std::string&, Buttons buttons) override {
    ++messages;
    last_message = message_id;
    return buttons == Buttons::kYesNo ? Answer::kYes : Answer::kOk;
  }
  MergeAnswer AskMerge(const MergeOffer&) override {
    ++merge_offers;
    return MergeAnswer{};
  }
  void SetBusy(bool) override {}
  void Warn(const std::string&) override { ++warnings; }

  std::int64_t messages = 0;
  std::int64_t merge_offers = 0;
  std::int64_t warnings = 0;
  int last_message = 0;
};

// Takes whatever is written and keeps only the count.
class DiscardBuffer : public std::streambuf {
 public:
  std::int64_t bytes() const { return bytes_; }

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) ++bytes_;
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char*, std::streamsize count) override {
    bytes_ += count;
    return count;
  }

 private:
  std::int64_t bytes_ = 0;
};

// Wall time and the processor time of this process. The machine is shared,
// so the targets are judged on processor time, which other work does not
// inflate; the conversion runs on one thread, so on an idle machine the two agree.
class Stopwatch {
 public:
  Stopwatch() : start_(std::chrono::steady_clock::now()), cpu_start_(ProcessCpuSeconds()) {}
  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  double CpuSeconds() const { return ProcessCpuSeconds() - cpu_start_; }

  static double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
  }

 private:
  std::chrono::steady_clock::time_point start_;
  double cpu_start_;
};

// A finished child process: its exit status, times and peak resident memory.
struct ChildRun {
  bool started = false;
  int exit_status = -1;  // -1 when it did not exit normally
  double seconds = 0.0;
  double cpu_seconds = 0.0;         // user and system
  std::int64_t peak_rss_bytes = 0;  // from the kernel; counts the parent's memory shared until exec
};

// Runs `argv` (searched on PATH) with standard output and error discarded and waits.
ChildRun RunChild(const std::vector<std::string>& argv);

// True when `program` is found on PATH.
bool OnPath(const std::string& program);

// The processor model of this machine, from /proc/cpuinfo.
std::string ProcessorName();
// The one-minute load average, from /proc/loadavg.
double LoadAverage();
// This process's peak resident memory (VmHWM of /proc/self/status), bytes.
std::int64_t PeakResidentBytes();

}  // namespace trovisk::bench
