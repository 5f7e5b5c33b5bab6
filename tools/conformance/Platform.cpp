#include "Platform.h"

#if defined(_WIN32)
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  include <windows.h>
#else
#  include <dlfcn.h>
#  include <link.h>
#  include <pthread.h>

#  include <cstring>
#endif

namespace mg::conformance {

namespace {

struct Job {
    void (*function)(void*);
    void* argument;
};

#if defined(_WIN32)

class WindowsLibrary final : public Library {
public:
    explicit WindowsLibrary(HMODULE module) : module_(module) {}
    ~WindowsLibrary() override { FreeLibrary(module_); }
    WindowsLibrary(const WindowsLibrary&) = delete;
    WindowsLibrary& operator=(const WindowsLibrary&) = delete;

    Proc Symbol(const char* name) const override
    {
        return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

DWORD WINAPI RunJob(LPVOID job)
{
    const auto* j = static_cast<const Job*>(job);
    j->function(j->argument);
    return 0;
}

#else

class PosixLibrary final : public Library {
public:
    explicit PosixLibrary(void* handle) : handle_(handle) {}
    ~PosixLibrary() override { dlclose(handle_); }
    PosixLibrary(const PosixLibrary&) = delete;
    PosixLibrary& operator=(const PosixLibrary&) = delete;

    Proc Symbol(const char* name) const override
    {
        void* symbol = dlsym(handle_, name);
        // dlsym searches the dependencies too; only the library's own counts
        // (any program has a `main`).
        link_map* self = nullptr;
        Dl_info info{};
        if (!symbol || dlinfo(handle_, RTLD_DI_LINKMAP, &self) != 0 || !self || !self->l_name) return nullptr;
        if (dladdr(symbol, &info) == 0 || !info.dli_fname || std::strcmp(info.dli_fname, self->l_name) != 0)
            return nullptr;
        return reinterpret_cast<Proc>(symbol);
    }

private:
    void* handle_;
};

void* RunJob(void* job)
{
    const auto* j = static_cast<const Job*>(job);
    j->function(j->argument);
    return nullptr;
}

#endif

} // namespace

std::unique_ptr<Library> Library::Open(const std::string& path, std::string& error)
{
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        error = "cannot load (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    return std::make_unique<WindowsLibrary>(module);
#else
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "cannot load";
        return nullptr;
    }
    return std::make_unique<PosixLibrary>(handle);
#endif
}

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
