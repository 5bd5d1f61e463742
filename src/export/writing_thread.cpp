#include "export/writing_thread.h"

#include <utility>

namespace tomo {

WritingThread::WritingThread(BatchSink write)
    : write_(std::move(write)), thread_([this] { Run(); }) {}

WritingThread::~WritingThread() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void WritingThread::Take(std::int64_t record, const RecordValues& values) {
  filling_.Add(record, values);
  if (filling_.Full(filling_.text.size())) HandOver();
}

void WritingThread::Take(RecordBatch& batch) {
  if (!filling_.Empty()) HandOver();
  std::swap(filling_, batch);
  HandOver();
}

void WritingThread::HandOver() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return waiting_ < kHanded || failure_; });
  if (failure_) std::rethrow_exception(failure_);
  std::swap(filling_, handed_[(first_ + waiting_) % kHanded]);
  ++waiting_;
  lock.unlock();
  changed_.notify_all();
  filling_.Clear();
}

void WritingThread::Finish() {
  if (!filling_.records.empty()) HandOver();
  std::unique_lock lock(mutex_);
  finished_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return waiting_ == 0 || failure_; });
  if (failure_) std::rethrow_exception(failure_);
}

void WritingThread::Run() {
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return waiting_ > 0 || finished_ || stop_; });
      if (stop_ || waiting_ == 0) return;
    }
    try {
      write_(handed_[first_]);
    } catch (...) {
      const std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      first_ = (first_ + 1) % kHanded;
      --waiting_;
    }
    changed_.notify_all();
    if (failure_) return;
  }
}

}  // namespace tomo
