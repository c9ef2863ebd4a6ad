#include "imaging/ByteStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

namespace vantomo {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

} // namespace

ByteStream::ByteStream(std::span<const std::uint8_t> data)
    : m_begin(data.data()), m_cur(data.data()), m_end(data.data() + data.size()), m_size(data.size())
{
}

ByteStream ByteStream::FromFd(int fd)
{
    ByteStream s;
    s.m_kind = Kind::Fd;
    s.m_fd = fd;
    struct stat st {};
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        const off_t here = lseek(fd, 0, SEEK_CUR);
        if (here >= 0 && here <= st.st_size) {
            s.m_origin = static_cast<std::uint64_t>(here);
            s.m_size = static_cast<std::uint64_t>(st.st_size - here);
        }
    }
    s.m_buffer.resize(kBufferSize);
    s.m_begin = s.m_cur = s.m_end = s.m_buffer.data();
    return s;
}

ByteStream ByteStream::FromFile(std::FILE* file)
{
    ByteStream s;
    s.m_kind = Kind::File;
    s.m_file = file;
    struct stat st {};
    if (file != nullptr && fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode)) {
        const off_t here = ftello(file);
        if (here >= 0 && here <= st.st_size) {
            s.m_origin = static_cast<std::uint64_t>(here);
            s.m_size = static_cast<std::uint64_t>(st.st_size - here);
        }
    }
    s.m_buffer.resize(kBufferSize);
    s.m_begin = s.m_cur = s.m_end = s.m_buffer.data();
    return s;
}

std::size_t ByteStream::ReadSource(std::uint8_t* dst, std::size_t n)
{
    if (m_eof || n == 0) {
        return 0;
    }
    std::size_t got = 0;
    if (m_kind == Kind::Fd) {
        while (got < n) {
            const ssize_t r = ::read(m_fd, dst + got, std::min<std::size_t>(n - got, 1u << 30));
            if (r < 0 && errno == EINTR) {
                continue;
            }
            if (r <= 0) {
                m_eof = true;
                break;
            }
            got += static_cast<std::size_t>(r);
        }
    } else if (m_kind == Kind::File) {
        got = std::fread(dst, 1, n, m_file);
        if (got < n) {
            m_eof = true;
        }
    }
    return got;
}

bool ByteStream::Refill()
{
    if (m_kind == Kind::Memory) {
        return false;
    }
    m_windowStart += static_cast<std::uint64_t>(m_end - m_begin);
    const std::size_t n = ReadSource(m_buffer.data(), m_buffer.size());
    m_begin = m_cur = m_buffer.data();
    m_end = m_begin + n;
    return n > 0;
}

std::size_t ByteStream::Read(std::uint8_t* dst, std::size_t n)
{
    std::size_t done = 0;
    const std::size_t buffered = std::min<std::size_t>(n, static_cast<std::size_t>(m_end - m_cur));
    if (buffered > 0) {
        std::memcpy(dst, m_cur, buffered);
        m_cur += buffered;
        done = buffered;
    }
    if (done == n || m_kind == Kind::Memory) {
        return done;
    }
    if (n - done >= m_buffer.size()) {
        // Large reads go straight to the destination, not through the buffer.
        m_windowStart += static_cast<std::uint64_t>(m_end - m_begin);
        m_begin = m_cur = m_end = m_buffer.data();
        const std::size_t got = ReadSource(dst + done, n - done);
        m_windowStart += got;
        return done + got;
    }
    while (done < n && Refill()) {
        const std::size_t k = std::min<std::size_t>(n - done, static_cast<std::size_t>(m_end - m_cur));
        std::memcpy(dst + done, m_cur, k);
        m_cur += k;
        done += k;
    }
    return done;
}

std::uint64_t ByteStream::Tell() const { return m_windowStart + static_cast<std::uint64_t>(m_cur - m_begin); }

std::uint64_t ByteStream::Remaining() const
{
    if (!m_size) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    const std::uint64_t here = Tell();
    return here >= *m_size ? 0 : *m_size - here;
}

bool ByteStream::Seek(std::uint64_t position)
{
    if (m_size && position > *m_size) {
        return false;
    }
    const std::uint64_t windowLength = static_cast<std::uint64_t>(m_end - m_begin);
    if (position >= m_windowStart && position - m_windowStart <= windowLength) {
        m_cur = m_begin + (position - m_windowStart);
        return true;
    }
    if (m_kind == Kind::Memory) {
        return false;
    }
    const std::uint64_t target = m_origin + position;
    if (target > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        return false;
    }
    bool ok = false;
    if (m_kind == Kind::Fd) {
        ok = lseek(m_fd, static_cast<off_t>(target), SEEK_SET) >= 0;
    } else {
        ok = fseeko(m_file, static_cast<off_t>(target), SEEK_SET) == 0;
    }
    if (!ok) {
        return false;
    }
    m_eof = false;
    m_windowStart = position;
    m_begin = m_cur = m_end = m_buffer.data();
    return true;
}

bool ByteStream::Skip(std::uint64_t n)
{
    if (m_size) {
        const std::uint64_t here = Tell();
        if (n > *m_size - std::min(here, *m_size)) {
            return false;
        }
        return Seek(here + n);
    }
    // Unknown size (a pipe): read and drop.
    std::uint8_t scratch[4096];
    while (n > 0) {
        const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, sizeof scratch));
        if (Read(scratch, k) != k) {
            return false;
        }
        n -= k;
    }
    return true;
}

bool ByteStream::ReadU16LE(std::uint16_t& value)
{
    std::uint8_t b[2];
    if (!ReadExact(b, 2)) {
        return false;
    }
    value = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool ByteStream::ReadU32LE(std::uint32_t& value)
{
    std::uint8_t b[4];
    if (!ReadExact(b, 4)) {
        return false;
    }
    value = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
            (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
}

bool ByteStream::ReadU16BE(std::uint16_t& value)
{
    std::uint8_t b[2];
    if (!ReadExact(b, 2)) {
        return false;
    }
    value = static_cast<std::uint16_t>((b[0] << 8) | b[1]);
    return true;
}

bool ByteStream::ReadU32BE(std::uint32_t& value)
{
    std::uint8_t b[4];
    if (!ReadExact(b, 4)) {
        return false;
    }
    value = (static_cast<std::uint32_t>(b[0]) << 24) | (static_cast<std::uint32_t>(b[1]) << 16) |
            (static_cast<std::uint32_t>(b[2]) << 8) | static_cast<std::uint32_t>(b[3]);
    return true;
}

int OpenRegularFile(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos) {
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    // O_NONBLOCK only kept open() from waiting on a FIFO; regular files ignore it,
    // but clear it so the descriptor behaves as an ordinary one.
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) {
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::uint64_t maxBytes)
{
    out.clear();
    const int fd = OpenRegularFile(path);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && st.st_size >= 0 && static_cast<std::uint64_t>(st.st_size) <= maxBytes;
    if (ok) {
        try {
            out.resize(static_cast<std::size_t>(st.st_size));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (ok) {
        ByteStream stream = ByteStream::FromFd(fd);
        ok = stream.ReadExact(out.data(), out.size());
    }
    ::close(fd);
    if (!ok) {
        out.clear();
    }
    return ok;
}

} // namespace vantomo
