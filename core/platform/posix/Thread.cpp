#include "core/platform/Thread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <time.h>

#include <atomic>
#include <cerrno>
#include <new>

// POSIX threads cannot be created suspended, so a new thread waits at a gate until it is
// resumed (or discarded by an early close). The record is shared by the handle and the thread
// and freed by whichever lets go of it last.
struct PlatformThread {
    pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t gate = PTHREAD_COND_INITIALIZER;
    bool resumed = false;
    bool closed = false;
    int priority = kThreadPriorityNormal;
    std::atomic<int> references{2};
    PlatformThreadEntry entry = nullptr;
    void* argument = nullptr;
};

namespace {

void Release(PlatformThread* thread) {
    if (thread->references.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete thread;
}

// Linux keeps a nice value per thread; each priority step is worth five nice steps.
int NiceValue(int priority) {
    return -5 * priority;
}

void* ThreadMain(void* parameter) {
    PlatformThread* thread = static_cast<PlatformThread*>(parameter);
    pthread_mutex_lock(&thread->lock);
    while (!thread->resumed && !thread->closed)
        pthread_cond_wait(&thread->gate, &thread->lock);
    const bool run = thread->resumed;
    const int priority = thread->priority;
    PlatformThreadEntry entry = thread->entry;
    void* argument = thread->argument;
    pthread_mutex_unlock(&thread->lock);
    Release(thread);
    if (!run)
        return nullptr;
    // Best effort: raising needs privileges the process may not have.
    setpriority(PRIO_PROCESS, 0, NiceValue(priority));
    entry(argument);
    return nullptr;
}

} // namespace

PlatformThread* PlatformThreadCreateSuspended(uint32_t stackSize, PlatformThreadEntry entry,
                                              void* argument) {
    PlatformThread* thread = new (std::nothrow) PlatformThread;
    if (!thread)
        return nullptr;
    thread->entry = entry;
    thread->argument = argument;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stackSize >= PTHREAD_STACK_MIN)
        pthread_attr_setstacksize(&attributes, stackSize);
    pthread_t id;
    const int error = pthread_create(&id, &attributes, ThreadMain, thread);
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        delete thread;
        return nullptr;
    }
    return thread;
}

bool PlatformThreadSetPriority(PlatformThread* thread, int priority) {
    pthread_mutex_lock(&thread->lock);
    thread->priority = priority;
    pthread_mutex_unlock(&thread->lock);
    return true;
}

int PlatformThreadGetPriority(PlatformThread* thread) {
    pthread_mutex_lock(&thread->lock);
    const int priority = thread->priority;
    pthread_mutex_unlock(&thread->lock);
    return priority;
}

// Linux has no ideal-processor hint; leaving placement to the scheduler is what the hint asks.
bool PlatformThreadSetIdealProcessor(PlatformThread*, uint32_t) {
    return true;
}

int32_t PlatformThreadResume(PlatformThread* thread) {
    pthread_mutex_lock(&thread->lock);
    const int32_t previous = thread->resumed ? 0 : 1;
    thread->resumed = true;
    pthread_cond_signal(&thread->gate);
    pthread_mutex_unlock(&thread->lock);
    return previous;
}

void PlatformThreadClose(PlatformThread* thread) {
    if (!thread)
        return;
    pthread_mutex_lock(&thread->lock);
    thread->closed = true;
    pthread_cond_signal(&thread->gate);
    pthread_mutex_unlock(&thread->lock);
    Release(thread);
}

void PlatformSleep(uint32_t milliseconds) {
    timespec remaining{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
