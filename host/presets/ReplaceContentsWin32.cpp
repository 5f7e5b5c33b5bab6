#include "ReplaceContents.h"

#include <windows.h>

#include <algorithm>
#include <random>
#include <system_error>

namespace mg::host {
namespace {

[[noreturn]] void ThrowLastError()
{
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
}

// The temporary file and its handle, removed unless committed.
class Temporary {
public:
    // CREATE_NEW never opens what is there, a file or a link planted by
    // someone else.
    explicit Temporary(const std::filesystem::path& target)
    {
        std::random_device random;
        for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
            path_ = TemporaryName(target, random());
            handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
            if (handle_ != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
                break;
        }
        if (handle_ == INVALID_HANDLE_VALUE)
            ThrowLastError();
    }
    ~Temporary()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
        if (!committed_)
            DeleteFileW(path_.c_str());
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    void Write(const std::vector<std::uint8_t>& bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(handle_, bytes.data() + done, chunk, &written, nullptr) || written == 0)
                ThrowLastError();
            done += written;
        }
        if (!FlushFileBuffers(handle_))
            ThrowLastError();
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!CloseHandle(handle))
            ThrowLastError();
    }

    // Write-through: the rename is on the disk when this returns.
    void RenameTo(const std::filesystem::path& target)
    {
        if (!MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            ThrowLastError();
        committed_ = true;
    }

private:
    std::filesystem::path path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool committed_ = false;
};

} // namespace

void ReplaceContents(const std::filesystem::path& target, const std::vector<std::uint8_t>& bytes)
{
    Temporary file(target);
    file.Write(bytes);
    file.RenameTo(target);
}

} // namespace mg::host
