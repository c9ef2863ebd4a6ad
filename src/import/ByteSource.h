// Where the reader's bytes come from: a file, a block of memory, or the
// document inside a .mqoz container. The tokenizer buffers on top of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include "base/Progress.h"

namespace vantomo {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Copies up to `size` bytes into `buffer` and returns how many. 0 means
    // the end; a read error counts as the end.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;

    // Moves `count` bytes forward. Moving past the end leaves the source at
    // its end, as seeking past the end of a file does. The default reads and
    // discards.
    virtual void Skip(std::uint64_t count);

    // How many bytes are left, when the source knows; used only to size
    // containers, never trusted for correctness.
    virtual std::optional<std::uint64_t> Remaining() const { return std::nullopt; }
};

// A C stdio stream, not owned. Regular files skip by seeking.
class FileByteSource final : public ByteSource {
public:
    explicit FileByteSource(std::FILE* file);
    std::size_t Read(char* buffer, std::size_t size) override;
    void Skip(std::uint64_t count) override;
    std::optional<std::uint64_t> Remaining() const override;

private:
    std::FILE* m_file;
    bool m_seekable = false;
    std::uint64_t m_size = 0;
    std::uint64_t m_position = 0;
};

// Bytes in memory, not owned; they must outlive the source.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view bytes) : m_bytes(bytes) {}
    std::size_t Read(char* buffer, std::size_t size) override;
    void Skip(std::uint64_t count) override;
    std::optional<std::uint64_t> Remaining() const override { return m_bytes.size() - m_position; }

private:
    std::string_view m_bytes;
    std::size_t m_position = 0;
};

// Another source, counted: every read and skip reports the bytes passed so
// far against what the source had left when it was wrapped. Once the report
// is refused the source ends, so a reader stops at its next read.
class ProgressByteSource final : public ByteSource {
public:
    ProgressByteSource(ByteSource& inner, Progress& progress);
    std::size_t Read(char* buffer, std::size_t size) override;
    void Skip(std::uint64_t count) override;
    std::optional<std::uint64_t> Remaining() const override { return m_inner.Remaining(); }

    // The user asked to stop.
    bool Stopped() const { return m_meter.Stopped(); }

private:
    ByteSource& m_inner;
    WorkMeter m_meter;
};

} // namespace vantomo
