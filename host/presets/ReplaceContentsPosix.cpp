#include "ReplaceContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <system_error>

namespace mg::host {
namespace {

[[noreturn]] void ThrowErrno()
{
    throw std::system_error(errno, std::generic_category());
}

void WriteAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ThrowErrno();
        done += static_cast<std::size_t>(n);
    }
}

// Without this the new name could vanish in a power cut after the rename,
// leaving the old file or none.
void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        ThrowErrno();
    // Some file systems cannot sync a folder and say so with EINVAL: the
    // rename is all they offer.
    const bool synced = fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    close(fd);
    if (!synced)
        throw std::system_error(error, std::generic_category());
}

// The temporary file and its descriptor, removed unless committed.
class Temporary {
public:
    // Created only where no file (nor a link planted by someone else) is:
    // O_EXCL with O_NOFOLLOW never opens what is there.
    Temporary(const std::filesystem::path& target, mode_t mode)
    {
        std::random_device random;
        for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
            path_ = TemporaryName(target, random());
            fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            if (fd_ >= 0 || errno != EEXIST)
                break;
        }
        if (fd_ < 0)
            ThrowErrno();
    }
    ~Temporary()
    {
        if (fd_ >= 0)
            close(fd_);
        if (!committed_)
            unlink(path_.c_str());
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    int Fd() const { return fd_; }

    void Close()
    {
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0)
            ThrowErrno();
    }

    void RenameTo(const std::filesystem::path& target)
    {
        if (rename(path_.c_str(), target.c_str()) != 0)
            ThrowErrno();
        committed_ = true;
    }

private:
    std::filesystem::path path_;
    int fd_ = -1;
    bool committed_ = false;
};

} // namespace

void ReplaceContents(const std::filesystem::path& target, const std::vector<std::uint8_t>& bytes)
{
    struct stat old {};
    const bool existing = stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    // A new file gets the mode any new file gets (the umask applies); a
    // replaced one is private until it has the old file's mode.
    Temporary file(target, existing ? 0600 : 0666);
    WriteAll(file.Fd(), bytes);
    if (existing && fchmod(file.Fd(), old.st_mode & 0777) != 0)
        ThrowErrno();
    if (fsync(file.Fd()) != 0)
        ThrowErrno();
    file.Close();
    file.RenameTo(target);
    SyncFolder(target.parent_path());
}

} // namespace mg::host
