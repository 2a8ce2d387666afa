// The lock shared by the main thread and the filler thread. The window hands these two calls to
// GDK as its thread lock, so GDK and the engine take one and the same mutex.
#include "core/lock.h"

#include <mutex>

namespace {
std::mutex zynmutex;
}

void zyn_lock() { zynmutex.lock(); }
void zyn_unlock() { zynmutex.unlock(); }
