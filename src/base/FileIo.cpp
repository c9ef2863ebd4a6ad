#include "base/FileIo.h"

#include "base/PathHelpers.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <utility>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantomo {

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

private:
    int m_fd;
};

FileResult Failure(int error) { return FileResult{false, error != 0 ? error : EIO}; }

// The folder to create the temporary file in and to flush after the rename.
std::string FolderToSync(const std::string& path)
{
    const std::string folder = FolderOf(path, PathText::Native);
    return folder.empty() ? "." : folder;
}

} // namespace

FileBytes::~FileBytes() { Free(); }

FileBytes::FileBytes(FileBytes&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)), m_mapped(std::exchange(other.m_mapped, false))
{
}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept
{
    if (this != &other) {
        Free();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_mapped = std::exchange(other.m_mapped, false);
    }
    return *this;
}

void FileBytes::Free()
{
    if (m_data != nullptr) {
        if (m_mapped) {
            ::munmap(m_data, m_capacity);
        } else {
            std::free(m_data);
        }
    }
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
    m_mapped = false;
}

bool FileBytes::Allocate(std::size_t capacity)
{
    Free();
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    if (capacity >= 4 * kHugePage) {
        const std::size_t rounded = (capacity + kHugePage - 1) / kHugePage * kHugePage;
        void* p = ::mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            ::madvise(p, rounded, MADV_HUGEPAGE);
            m_data = static_cast<unsigned char*>(p);
            m_capacity = rounded;
            m_mapped = true;
            return true;
        }
    }
    m_data = static_cast<unsigned char*>(std::malloc(capacity > 0 ? capacity : 1));
    m_capacity = m_data != nullptr ? capacity : 0;
    return m_data != nullptr;
}

FileResult ReadWholeFile(const std::string& path, FileBytes& out, Progress* progress)
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
    FileBytes bytes;
    // One byte more than the file holds, so a file that grew meanwhile is seen.
    if (!bytes.Allocate(static_cast<std::size_t>(st.st_size) + 1)) {
        return Failure(ENOMEM);
    }
    // Reads are bounded so that a progress report comes every few megabytes.
    constexpr std::size_t kStep = std::size_t{8} << 20;
    WorkMeter meter(progress, static_cast<std::uint64_t>(st.st_size), WorkMeter::kUnstoppable);
    std::size_t size = 0;
    for (;;) {
        if (size == bytes.Capacity()) {
            FileBytes bigger;
            if (!bigger.Allocate(bytes.Capacity() * 2)) {
                return Failure(ENOMEM);
            }
            std::memcpy(bigger.Data(), bytes.Data(), size);
            bytes = std::move(bigger);
        }
        const std::size_t want = std::min(kStep, bytes.Capacity() - size);
        const ssize_t n = ::read(fd.Get(), bytes.Data() + size, want);
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
        meter.Advance(static_cast<std::uint64_t>(n));
        static_cast<void>(meter.Poll());
    }
    bytes.SetSize(size);
    out = std::move(bytes);
    return FileResult{true, 0};
}

AtomicFile::AtomicFile(std::string path) : m_path(std::move(path)) {}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

FileResult AtomicFile::Open()
{
    Discard();
    const std::string folder = FolderToSync(m_path);
    const std::string name = GetPathFileName(m_path, PathText::Native).value_or("");
    std::string temp = JoinPath(folder, "." + name + ".XXXXXX");
    m_fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (m_fd < 0) {
        return Failure(errno);
    }
    m_temp = temp;
    // The new file gets the old one's permissions, or what a plain create would give.
    mode_t mode = 0;
    struct stat st {};
    if (::stat(m_path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(m_fd, mode) != 0) {
        const int error = errno;
        Discard();
        return Failure(error);
    }
    return FileResult{true, 0};
}

FileResult AtomicFile::Write(const unsigned char* data, std::size_t size)
{
    if (m_fd < 0) {
        return Failure(EBADF);
    }
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(m_fd, data + written, size - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            Discard();
            return Failure(error);
        }
        written += static_cast<std::size_t>(n);
    }
    return FileResult{true, 0};
}

std::int64_t AtomicFile::Seek(std::int64_t offset, int whence)
{
    if (m_fd < 0) {
        return -1;
    }
    return static_cast<std::int64_t>(::lseek(m_fd, static_cast<off_t>(offset), whence));
}

FileResult AtomicFile::Commit()
{
    if (m_fd < 0) {
        return Failure(EBADF);
    }
    if (::fsync(m_fd) != 0) {
        const int error = errno;
        Discard();
        return Failure(error);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || ::rename(m_temp.c_str(), m_path.c_str()) != 0) {
        const int error = errno;
        Discard();
        return Failure(error);
    }
    m_temp.clear();
    // Make the rename itself durable; a folder that cannot be synced is no failure of the save.
    Fd dir(::open(FolderToSync(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
        ::fsync(dir.Get());
    }
    return FileResult{true, 0};
}

FileResult WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes)
{
    AtomicFile file(path);
    FileResult result = file.Open();
    if (result.ok) {
        result = file.Write(bytes.data(), bytes.size());
    }
    if (result.ok) {
        result = file.Commit();
    }
    return result;
}

} // namespace vantomo
