#include "model/workpool.h"

#include <atomic>
#include <algorithm>
#include <exception>
#include <system_error>

namespace {

// Set on the pool's own threads, so that work started from inside an item
// runs where it is instead of waiting for threads that wait for it.
thread_local const TWorkPool* OwnPool = nullptr;

}  // namespace

struct TWorkPool::TJob {
  std::size_t Count = 0;
  const std::function<void(std::size_t)>* Body = nullptr;
  std::atomic<std::size_t> Next{0};
  std::atomic<bool> Failed{false};
  std::exception_ptr Error;
  std::mutex ErrorLock;
};

TWorkPool::TWorkPool(unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  for (unsigned i = 1; i < threads; ++i) {
    try {
      Workers.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      break;  // fewer threads to be had: the work still gets done
    }
  }
}

TWorkPool::~TWorkPool() {
  {
    std::lock_guard<std::mutex> guard(Lock);
    Stopping = true;
  }
  Wake.notify_all();
  for (auto& worker : Workers) worker.join();
}

void TWorkPool::RunItems(TJob& job) {
  for (;;) {
    const std::size_t i = job.Next.fetch_add(1);
    if (i >= job.Count || job.Failed) return;
    try {
      (*job.Body)(i);
    } catch (...) {
      std::lock_guard<std::mutex> guard(job.ErrorLock);
      if (!job.Error) job.Error = std::current_exception();
      job.Failed = true;
    }
  }
}

void TWorkPool::Work() {
  OwnPool = this;
  unsigned long long seen = 0;
  for (;;) {
    TJob* job = nullptr;
    {
      std::unique_lock<std::mutex> guard(Lock);
      Wake.wait(guard, [&] { return Stopping || (Current && Generation != seen); });
      if (Stopping) return;
      seen = Generation;
      job = Current;
      ++Busy;
    }
    RunItems(*job);
    {
      std::lock_guard<std::mutex> guard(Lock);
      --Busy;
    }
    Done.notify_all();
  }
}

void TWorkPool::ForEach(std::size_t count, const std::function<void(std::size_t)>& body) {
  if (count == 0) return;
  std::unique_lock<std::mutex> using_(Using, std::defer_lock);
  if (Workers.empty() || count == 1 || OwnPool == this || !using_.try_lock()) {
    for (std::size_t i = 0; i < count; ++i) body(i);
    return;
  }
  TJob job;
  job.Count = count;
  job.Body = &body;
  {
    std::lock_guard<std::mutex> guard(Lock);
    Current = &job;
    ++Generation;
  }
  Wake.notify_all();
  RunItems(job);
  {
    // Every worker that took the job has left it before it goes out of scope.
    std::unique_lock<std::mutex> guard(Lock);
    Current = nullptr;
    Done.wait(guard, [&] { return Busy == 0; });
  }
  if (job.Error) std::rethrow_exception(job.Error);
}

void ForEachOn(TWorkPool* pool, std::size_t count, const std::function<void(std::size_t)>& body) {
  if (pool) {
    pool->ForEach(count, body);
  } else {
    for (std::size_t i = 0; i < count; ++i) body(i);
  }
}
