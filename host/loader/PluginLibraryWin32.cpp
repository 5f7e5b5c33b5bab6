#include "PluginLibrary.h"

#include "platform/WindowsApi.h"

namespace mg::loader {
namespace {

std::string LastErrorText()
{
    const DWORD code = GetLastError();
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.empty())
        text = "error " + std::to_string(code);
    return text;
}

class Win32Library final : public Library {
public:
    explicit Win32Library(HMODULE module) : module_(module) {}
    ~Win32Library() override { FreeLibrary(module_); }
    Win32Library(const Win32Library&) = delete;
    Win32Library& operator=(const Win32Library&) = delete;

    // GetProcAddress only looks at the module's own export table.
    Proc Symbol(const char* name) const override
    {
        return reinterpret_cast<Proc>(GetProcAddress(module_, name));
    }

    void* NativeHandle() const override { return module_; }

private:
    HMODULE module_;
};

} // namespace

std::unique_ptr<Library> Library::Open(const std::string& path, std::string& error)
{
    // No "cannot find DLL" message boxes: a command-line tool reports instead.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module)
        error = LastErrorText();
    SetErrorMode(oldMode);
    if (!module)
        return nullptr;
    return std::make_unique<Win32Library>(module);
}

} // namespace mg::loader
