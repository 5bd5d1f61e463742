// An export's writing on a thread of its own. Reading the record file and following its
// runs take most of one processor core; rendering the values, converting them to UTF-8 and
// formatting them (or handing them to SQLite), and writing them out, then run on the other,
// beside that work instead of after it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "storage/record_batch.h"
#include "storage/record_stream.h"

namespace tomo {

class WritingThread {
 public:
  // `write` runs on the thread, once for each batch of the records taken, in order.
  explicit WritingThread(BatchSink write);
  // Stops the thread: what it has not written yet is dropped.
  ~WritingThread();
  WritingThread(const WritingThread&) = delete;
  WritingThread& operator=(const WritingThread&) = delete;

  // Takes a record to write, copying its values. Throws what `write` threw, once it has.
  void Take(std::int64_t record, const RecordValues& values);
  // Takes the batch's records to write, swapping the batch for an empty one.
  void Take(RecordBatch& batch);
  // Returns once every record taken is written; throws what `write` threw.
  void Finish();

 private:
  void HandOver();
  void Run();

  // Batches handed over and not yet written: a few, so that a batch slower to write than
  // to read does not hold the reading up at once.
  static constexpr std::size_t kHanded = 3;

  const BatchSink write_;
  RecordBatch filling_;  // the taker's
  // The thread's: handed_[first_] and the `waiting_ - 1` after it, in a ring, wait to be
  // written; the others are empty, or written, for the taker to swap with.
  RecordBatch handed_[kHanded];
  std::size_t first_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t waiting_ = 0;
  bool finished_ = false;  // nothing more comes
  bool stop_ = false;      // write nothing more
  std::exception_ptr failure_;
  std::thread thread_;  // last: started once the rest is ready
};

}  // namespace tomo
