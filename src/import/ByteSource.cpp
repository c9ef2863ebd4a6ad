#include "import/ByteSource.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace vantomo {

void ByteSource::Skip(std::uint64_t count)
{
    char scratch[16384];
    while (count > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(count, sizeof scratch));
        const std::size_t got = Read(scratch, want);
        if (got == 0) {
            return;
        }
        count -= got;
    }
}

FileByteSource::FileByteSource(std::FILE* file) : m_file(file)
{
    struct stat info {};
    const off_t start = ftello(file);
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && start >= 0) {
        m_seekable = true;
        m_size = static_cast<std::uint64_t>(info.st_size);
        m_position = static_cast<std::uint64_t>(start);
    }
}

std::size_t FileByteSource::Read(char* buffer, std::size_t size)
{
    const std::size_t got = std::fread(buffer, 1, size, m_file);
    m_position += got;
    return got;
}

void FileByteSource::Skip(std::uint64_t count)
{
    if (!m_seekable) {
        ByteSource::Skip(count);
        return;
    }
    // Never seek beyond the end: the next read then simply finds the end.
    const std::uint64_t left = m_position < m_size ? m_size - m_position : 0;
    const std::uint64_t step = std::min(count, left);
    if (fseeko(m_file, static_cast<off_t>(step), SEEK_CUR) == 0) {
        m_position += step;
    } else {
        ByteSource::Skip(count);
    }
}

std::optional<std::uint64_t> FileByteSource::Remaining() const
{
    if (!m_seekable) {
        return std::nullopt;
    }
    return m_position < m_size ? m_size - m_position : 0;
}

std::size_t MemoryByteSource::Read(char* buffer, std::size_t size)
{
    const std::size_t n = std::min(size, m_bytes.size() - m_position);
    if (n > 0) {
        std::memcpy(buffer, m_bytes.data() + m_position, n);
    }
    m_position += n;
    return n;
}

void MemoryByteSource::Skip(std::uint64_t count)
{
    const std::size_t left = m_bytes.size() - m_position;
    m_position += static_cast<std::size_t>(std::min<std::uint64_t>(count, left));
}

ProgressByteSource::ProgressByteSource(ByteSource& inner, Progress& progress)
    : m_inner(inner), m_meter(&progress, inner.Remaining().value_or(0))
{
}

std::size_t ProgressByteSource::Read(char* buffer, std::size_t size)
{
    if (m_meter.Stopped()) {
        return 0;
    }
    const std::size_t got = m_inner.Read(buffer, size);
    m_meter.Advance(got);
    return m_meter.Poll() ? got : 0;
}

void ProgressByteSource::Skip(std::uint64_t count)
{
    if (m_meter.Stopped()) {
        return;
    }
    const std::optional<std::uint64_t> before = m_inner.Remaining();
    m_inner.Skip(count);
    const std::optional<std::uint64_t> after = m_inner.Remaining();
    m_meter.Advance(before && after ? *before - *after : count);
    static_cast<void>(m_meter.Poll());
}

} // namespace vantomo
