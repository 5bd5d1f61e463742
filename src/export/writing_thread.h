// An export's writing on a thread of its own. Reading the record file takes one processor
// core (the thread that reads ahead) and following its runs most of another; rendering the
// values, converting them to UTF-8 and formatting them (or handing them to SQLite) then run
// beside that work instead of after it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "storage/record_stream.h"

namespace tomo {

class WritingThread {
 public:
  // `write` runs on the thread, once for each record taken, in order, with `fields` values.
  WritingThread(std::size_t fields, RecordSink write);
  // Stops the thread: what it has not written yet is dropped.
  ~WritingThread();
  WritingThread(const WritingThread&) = delete;
  WritingThread& operator=(const WritingThread&) = delete;

  // Takes a record to write, copying its values. Throws what `write` threw, once it has.
  void Take(std::int64_t record, const RecordValues& values);
  // Returns once every record taken is written; throws what `write` threw.
  void Finish();

 private:
  // Records and their values: each value's text ends at its entry of `ends` in `text`, and
  // begins where the present value before it ended; kAbsent for none.
  struct Batch {
    std::vector<std::int64_t> records;
    std::vector<std::int64_t> ends;
    std::string text;
  };
  static constexpr std::int64_t kAbsent = -1;

  void HandOver();
  void Run();
  void Write(const Batch& batch);

  const std::size_t fields_;
  const RecordSink write_;
  Batch filling_;  // the taker's
  Batch handed_;   // the thread's while `full_`
  std::mutex mutex_;
  std::condition_variable changed_;
  bool full_ = false;      // handed_ waits to be written
  bool finished_ = false;  // nothing more comes
  bool stop_ = false;      // write nothing more
  std::exception_ptr failure_;
  std::thread thread_;  // last: started once the rest is ready
};

}  // namespace tomo
