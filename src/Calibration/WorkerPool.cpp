#include "WorkerPool.h"

#include "FloatControl.h"

#include <algorithm>

namespace korvane {

namespace {

std::pair<std::size_t, std::size_t> Part(std::size_t count, std::size_t parts, std::size_t index) {
    return {count * index / parts, count * (index + 1) / parts};
}

} // namespace

WorkerPool::WorkerPool(unsigned threads) : parts_(std::max(threads, 1u)) {
    workers_.reserve(parts_ - 1);
    for (std::size_t i = 1; i < parts_; ++i)
        workers_.emplace_back([this, i] { Work(i); });
}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    start_.notify_all();
    for (auto& worker : workers_)
        worker.join();
}

unsigned WorkerPool::DefaultThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

void WorkerPool::Run(std::size_t count, const std::function<void(std::size_t, std::size_t)>& body) {
    const std::size_t parts = Threads();
    if (parts == 1 || count < 2 * parts) {
        body(0, count);
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        body_ = &body;
        count_ = count;
        busy_ = parts - 1;
        failure_ = nullptr;
        ++generation_;
    }
    start_.notify_all();
    std::exception_ptr mine;
    try {
        const auto [begin, end] = Part(count, parts, 0);
        body(begin, end);
    } catch (...) {
        mine = std::current_exception();
    }
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    body_ = nullptr;
    if (mine)
        std::rethrow_exception(mine);
    if (failure_)
        std::rethrow_exception(failure_);
}

void WorkerPool::Work(std::size_t index) {
    // Windows starts threads at 53 bits; the core's long doubles need 64.
    platform::SetExtendedPrecision();
    std::size_t seen = 0;
    while (true) {
        std::unique_lock<std::mutex> lock(mutex_);
        start_.wait(lock, [&] { return stopping_ || generation_ != seen; });
        if (stopping_)
            return;
        seen = generation_;
        const auto* body = body_;
        const auto [begin, end] = Part(count_, parts_, index);
        lock.unlock();
        std::exception_ptr failure;
        try {
            (*body)(begin, end);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure && !failure_)
            failure_ = failure;
        if (--busy_ == 0)
            done_.notify_one();
    }
}

} // namespace korvane
