#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace korvane {

// Threads that share out the parts of one job at a time: each runs one
// contiguous part of [0, count), the caller's thread the first. The parts
// depend only on the count and the thread count, and each element is
// computed alone, so the results are the same with any number of threads.
class WorkerPool {
  public:
    // threads: all of them, the caller's included; 0 or 1 runs everything
    // on the caller's thread.
    explicit WorkerPool(unsigned threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    unsigned Threads() const { return static_cast<unsigned>(parts_); }
    // Runs body(begin, end) over the parts; the first exception is rethrown.
    void Run(std::size_t count, const std::function<void(std::size_t, std::size_t)>& body);

    // The threads a fit takes unless told: the machine's, at most 8.
    static unsigned DefaultThreads();

  private:
    void Work(std::size_t index);

    std::size_t parts_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable start_, done_;
    const std::function<void(std::size_t, std::size_t)>* body_ = nullptr;
    std::size_t count_ = 0;
    std::size_t generation_ = 0;
    std::size_t busy_ = 0;
    bool stopping_ = false;
    std::exception_ptr failure_;
};

} // namespace korvane
