#include "export/writing_thread.h"

#include <utility>

namespace tomo {

WritingThread::WritingThread(RecordSink write)
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
  filling_.records.push_back(record);
  for (const auto& value : values) {
    if (value) {
      filling_.text += *value;
      filling_.ends.push_back(static_cast<std::int64_t>(filling_.text.size()));
    } else {
      filling_.ends.push_back(RecordBatch::kAbsent);
    }
  }
  if (filling_.Full(filling_.text.size())) HandOver();
}

void WritingThread::Take(RecordBatch& batch) {
  if (!filling_.Empty()) HandOver();
  std::swap(filling_, batch);
  HandOver();
}

void WritingThread::HandOver() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !full_ || failure_; });
  if (failure_) std::rethrow_exception(failure_);
  std::swap(filling_, handed_);
  full_ = true;
  lock.unlock();
  changed_.notify_all();
  filling_.Clear();
}

void WritingThread::Finish() {
  if (!filling_.records.empty()) HandOver();
  std::unique_lock lock(mutex_);
  finished_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return !full_ || failure_; });
  if (failure_) std::rethrow_exception(failure_);
}

void WritingThread::Run() {
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return full_ || finished_ || stop_; });
      if (stop_ || !full_) return;
    }
    try {
      handed_.ForEach(write_);
    } catch (...) {
      const std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      full_ = false;
    }
    changed_.notify_all();
    if (failure_) return;
  }
}

}  // namespace tomo
