// The screen lock shared by the game's thread and the display refresh thread. It remembers
// its owner so that an operation called while its own thread holds the lock goes ahead
// without taking it again, and without releasing it at the end.
#include <atomic>
#include <mutex>
#include <thread>

#include "gfx/screen.h"
#include "gfx/screen_state.h"

namespace {
std::mutex screenMutex;
std::atomic<std::thread::id> lockOwner{};

void takeLock() {
    screenMutex.lock();
    lockOwner.store(std::this_thread::get_id());
}

void releaseLock() {
    lockOwner.store(std::thread::id());
    screenMutex.unlock();
}
}  // namespace

bool screenLockHeldHere() { return lockOwner.load() == std::this_thread::get_id(); }

ScreenLockScope::ScreenLockScope() : took(!screenLockHeldHere()) {
    if (took) takeLock();
}

ScreenLockScope::~ScreenLockScope() {
    if (took) releaseLock();
}

void lockScreen() {
    if (!screenLockHeldHere()) takeLock();
}

void unlockScreen() {
    if (screenLockHeldHere()) releaseLock();
}
