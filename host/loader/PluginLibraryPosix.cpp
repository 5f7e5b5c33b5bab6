#include "PluginLibrary.h"

#include <cstring>
#include <dlfcn.h>
#include <link.h>

namespace mg::loader {
namespace {

class PosixLibrary final : public Library {
public:
    explicit PosixLibrary(void* handle) : handle_(handle) {}
    ~PosixLibrary() override { dlclose(handle_); }
    PosixLibrary(const PosixLibrary&) = delete;
    PosixLibrary& operator=(const PosixLibrary&) = delete;

    Proc Symbol(const char* name) const override
    {
        void* symbol = dlsym(handle_, name);
        if (!symbol || !DefinedHere(symbol))
            return nullptr;
        return reinterpret_cast<Proc>(symbol);
    }

    void* NativeHandle() const override { return handle_; }

private:
    // dlsym also searches the library's dependencies; compare the object the
    // symbol lives in with our own.
    bool DefinedHere(void* symbol) const
    {
        link_map* self = nullptr;
        Dl_info info{};
        if (dlinfo(handle_, RTLD_DI_LINKMAP, &self) != 0 || !self)
            return false;
        if (dladdr(symbol, &info) == 0 || !info.dli_fname || !self->l_name)
            return false;
        return std::strcmp(info.dli_fname, self->l_name) == 0;
    }

    void* handle_;
};

} // namespace

std::unique_ptr<Library> Library::Open(const std::string& path, std::string& error)
{
    // RTLD_LOCAL keeps the plug-in's symbols from resolving anyone else's.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = why ? why : "unknown loader error";
        return nullptr;
    }
    return std::make_unique<PosixLibrary>(handle);
}

} // namespace mg::loader
