// The threads a caller lends to the model's work: made once by whoever runs
// the model (the program, a batch command, a test) and handed down, so that
// no search starts and joins threads of its own. Work is split into items
// whose results do not depend on which thread runs them: the same answer on
// one core and on all.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TWorkPool;

// body(i) for every i in [0, count) on pool, or on the calling thread alone
// when there is none.
void ForEachOn(TWorkPool* pool, std::size_t count, const std::function<void(std::size_t)>& body);

class TWorkPool {
public:
  // threads 0: one per core; 1: the caller's thread alone.
  explicit TWorkPool(unsigned threads = 0);
  ~TWorkPool();
  TWorkPool(const TWorkPool&) = delete;
  TWorkPool& operator=(const TWorkPool&) = delete;

  // The threads that work on an item list, the caller's included.
  unsigned Threads() const { return static_cast<unsigned>(Workers.size()) + 1; }

  // body(i) for every i in [0, count), on the pool's threads and the
  // caller's; returns when all are done. Called again from inside a body,
  // or while another caller's list is running, it runs the items on the
  // calling thread alone. The first exception thrown by a body is thrown
  // again here once every item has ended or been skipped.
  void ForEach(std::size_t count, const std::function<void(std::size_t)>& body);

private:
  struct TJob;
  void Work();
  static void RunItems(TJob& job);

  std::vector<std::thread> Workers;
  std::mutex Lock;
  std::condition_variable Wake, Done;
  TJob* Current = nullptr;
  unsigned long long Generation = 0;
  unsigned Busy = 0;
  bool Stopping = false;
  std::mutex Using;  // one item list at a time
};
