// The writing thread: jobs run one after another as they were queued, started by the
// first and stopped once the queue is empty at the end; and mkdir -p for its writers.
#include "sdl/write_aside.h"

#include <pthread.h>
#include <sys/stat.h>

#include <cerrno>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

std::mutex queueMutex;
std::condition_variable_any jobQueued;
std::deque<std::function<void()>> jobs;
// Joined when finishWritingAside stops it, or at the latest as the process exits.
std::jthread writer;

void writeJobs(std::stop_token stop) {
    pthread_setname_np(pthread_self(), "writer");
    std::unique_lock<std::mutex> guard(queueMutex);
    for (;;) {
        jobQueued.wait(guard, stop, [] { return !jobs.empty(); });
        if (jobs.empty()) return;  // asked to stop with nothing left to write
        std::function<void()> job = std::move(jobs.front());
        jobs.pop_front();
        guard.unlock();
        job();
        guard.lock();
    }
}

}  // namespace

void writeAside(std::function<void()> job) {
    std::lock_guard<std::mutex> guard(queueMutex);
    jobs.push_back(std::move(job));
    if (!writer.joinable()) writer = std::jthread(writeJobs);
    jobQueued.notify_one();
}

void finishWritingAside() {
    std::jthread stopping;
    {
        std::lock_guard<std::mutex> guard(queueMutex);
        stopping = std::move(writer);
    }
    // The jthread asks its thread to stop and waits for it as it goes.
}

bool makeFolders(const std::string& folder, mode_t mode) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        if (mkdir(folder.substr(0, slash).c_str(), mode) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}
