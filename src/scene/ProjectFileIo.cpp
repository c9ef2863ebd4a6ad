#include "scene/ProjectFileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }
    // Closes now; returns false (with errno set) when close reports an error.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

FileResult Failure(int error) { return FileResult{false, error != 0 ? error : EIO}; }

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

FileResult ReadWholeFile(const std::string& path, FileBytes& out)
{
    out = FileBytes{};
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        return Failure(errno);
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        return Failure(errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return Failure(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    std::size_t capacity = static_cast<std::size_t>(st.st_size) + 1; // +1 sees a file that grew
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[capacity]);
    if (!data) {
        return Failure(ENOMEM);
    }
    std::size_t size = 0;
    for (;;) {
        if (size == capacity) {
            const std::size_t grown = capacity * 2;
            std::unique_ptr<unsigned char[]> bigger(new (std::nothrow) unsigned char[grown]);
            if (!bigger) {
                return Failure(ENOMEM);
            }
            std::copy(data.get(), data.get() + size, bigger.get());
            data = std::move(bigger);
            capacity = grown;
        }
        const ssize_t n = ::read(fd.Get(), data.get() + size, capacity - size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Failure(errno);
        }
        if (n == 0) {
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    out.data = std::move(data);
    out.size = size;
    return FileResult{true, 0};
}

FileResult WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes)
{
    const std::string folder = FolderOf(path);
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = folder + "/." + name + ".XXXXXX";
    Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.Get() < 0) {
        return Failure(errno);
    }
    auto fail = [&](int error) {
        ::unlink(temp.c_str());
        return Failure(error);
    };

    // The new file gets the old one's permissions, or what a plain create would give.
    mode_t mode = 0;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd.Get(), mode) != 0) {
        return fail(errno);
    }

    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd.Get(), bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.Get()) != 0) {
        return fail(errno);
    }
    if (!fd.Close()) {
        return fail(errno);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        return fail(errno);
    }
    // Make the rename itself durable; a folder that cannot be synced is no failure of the save.
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
        ::fsync(dir.Get());
    }
    return FileResult{true, 0};
}
