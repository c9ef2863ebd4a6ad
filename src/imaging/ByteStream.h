// Sequential input for the image readers, over a memory block, a file
// descriptor or a C stream. Reads never go past the end; the size is known for
// memory blocks and regular files, so readers can check every count from a
// header against what the input holds before they allocate anything.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantomo {

class ByteStream {
public:
    explicit ByteStream(std::span<const std::uint8_t> data);
    // Reads the descriptor from its current position; does not close it.
    static ByteStream FromFd(int fd);
    // Reads the stream from its current position; does not close it.
    static ByteStream FromFile(std::FILE* file);

    ByteStream(ByteStream&&) = default;
    ByteStream& operator=(ByteStream&&) = default;

    // The next byte, or -1 at the end.
    int Get()
    {
        if (m_cur < m_end) {
            return *m_cur++;
        }
        return Refill() ? *m_cur++ : -1;
    }
    // Copies up to n bytes; returns how many arrived.
    std::size_t Read(std::uint8_t* dst, std::size_t n);
    bool ReadExact(std::uint8_t* dst, std::size_t n) { return Read(dst, n) == n; }
    // Skips n bytes; false when fewer remain.
    bool Skip(std::uint64_t n);
    // Moves to an absolute position from the start; false beyond the end.
    bool Seek(std::uint64_t position);
    std::uint64_t Tell() const;
    // Bytes left, or UINT64_MAX when the size of the input is not known.
    std::uint64_t Remaining() const;

    // Little- and big-endian fields; false at the end.
    bool ReadU16LE(std::uint16_t& value);
    bool ReadU32LE(std::uint32_t& value);
    bool ReadU16BE(std::uint16_t& value);
    bool ReadU32BE(std::uint32_t& value);

private:
    enum class Kind { Memory, Fd, File };
    ByteStream() = default;
    bool Refill();
    std::size_t ReadSource(std::uint8_t* dst, std::size_t n);

    Kind m_kind = Kind::Memory;
    int m_fd = -1;
    std::FILE* m_file = nullptr;
    const std::uint8_t* m_begin = nullptr; // buffered window [m_begin, m_end)
    const std::uint8_t* m_cur = nullptr;
    const std::uint8_t* m_end = nullptr;
    std::uint64_t m_windowStart = 0;        // input position of m_begin
    std::optional<std::uint64_t> m_size;    // total input size from the start position
    std::uint64_t m_origin = 0;             // source position of our position 0
    bool m_eof = false;
    std::vector<std::uint8_t> m_buffer;
};

// Reads a whole regular file into `out`; false when it cannot be opened, is not
// a regular file, is larger than `maxBytes` or a read fails.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::uint64_t maxBytes);

// Opens a regular file read-only; -1 when it cannot be opened or is not a
// regular file (so a directory or a pipe never blocks or feeds a reader).
int OpenRegularFile(const std::string& path);

// Runs `decode(image, in)` on an emptied image and empties it again when the
// decoder fails, so a failed read never leaves part of a picture behind.
template <typename Image, typename Decoder>
bool DecodeFresh(Image& image, ByteStream& in, Decoder decode)
{
    image.Clear();
    const bool ok = decode(image, in);
    if (!ok) {
        image.Clear();
    }
    return ok;
}

// DecodeFresh over a file descriptor, which is closed afterwards; -1 fails.
template <typename Image, typename Decoder>
bool DecodeFreshFromFd(Image& image, int fd, Decoder decode)
{
    if (fd < 0) {
        image.Clear();
        return false;
    }
    bool ok = false;
    {
        ByteStream in = ByteStream::FromFd(fd);
        ok = DecodeFresh(image, in, decode);
    }
    ::close(fd);
    return ok;
}

} // namespace vantomo
