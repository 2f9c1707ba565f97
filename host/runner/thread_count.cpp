#include "thread_count.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>

namespace {
std::atomic<long> started{0};
}  // namespace

long vantrel_host::ThreadsStarted() { return started.load(); }

// The linker exports it from the runner, since the C library defines it too: it stands
// before the C library's for every library in the process, plug-ins included.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*run)(void*), void* argument) {
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const auto create = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    ++started;
    return create(thread, attributes, run, argument);
}
