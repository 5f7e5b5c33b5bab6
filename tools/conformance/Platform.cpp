#include "Platform.h"

#if defined(_WIN32)
#  include "platform/WindowsApi.h"
#else
#  include <pthread.h>
#endif

namespace mg::conformance {

namespace {

struct Job {
    void (*function)(void*);
    void* argument;
};

#if defined(_WIN32)

DWORD WINAPI RunJob(LPVOID job)
{
    const auto* j = static_cast<const Job*>(job);
    j->function(j->argument);
    return 0;
}

#else

void* RunJob(void* job)
{
    const auto* j = static_cast<const Job*>(job);
    j->function(j->argument);
    return nullptr;
}

#endif

} // namespace

void RunTogether(void (*first)(void*), void* firstArgument, void (*second)(void*), void* secondArgument)
{
    Job a{first, firstArgument};
    Job b{second, secondArgument};
#if defined(_WIN32)
    HANDLE thread = CreateThread(nullptr, 0, RunJob, &a, 0, nullptr);
    if (!thread) {
        first(firstArgument); // no second thread to be had: one after the other
        second(secondArgument);
        return;
    }
    RunJob(&b);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
#else
    pthread_t thread{};
    if (pthread_create(&thread, nullptr, RunJob, &a) != 0) {
        first(firstArgument);
        second(secondArgument);
        return;
    }
    RunJob(&b);
    pthread_join(thread, nullptr);
#endif
}

} // namespace mg::conformance
