// Reading a whole file and replacing a file atomically: the file side of the
// project file, kept apart from its byte layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "base/Progress.h"

namespace vantomo {

// The bytes of a whole file. Large files live in anonymous memory with huge
// pages where the system allows, which spares most of the page faults of
// filling a fresh buffer.
class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // Room for `capacity` bytes; the old contents are discarded. False when out of memory.
    bool Allocate(std::size_t capacity);
    unsigned char* Data() { return m_data; }
    std::size_t Capacity() const { return m_capacity; }
    void SetSize(std::size_t size) { m_size = size; }
    std::size_t Size() const { return m_size; }
    std::span<const unsigned char> Span() const { return {m_data, m_size}; }

private:
    void Free();

    unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    bool m_mapped = false;
};

struct FileResult {
    bool ok = false;
    int error = 0; // errno of the failing call when !ok
};

// Reads the whole regular file at `path`, reporting the bytes read to
// `progress` when given (the read itself always goes on to the end).
FileResult ReadWholeFile(const std::string& path, FileBytes& out, Progress* progress = nullptr);

// A file replaced atomically, so a reader sees either the old file or the
// complete new one: the bytes go to a temporary file in the same folder, which
// Commit flushes to the disk and renames over the target. An existing target
// keeps its permission bits. Without a successful Commit the temporary file is
// removed and the target is untouched.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    FileResult Open();
    FileResult Write(const unsigned char* data, std::size_t size);
    // Moves the write position as lseek does (whence SEEK_SET, SEEK_CUR or
    // SEEK_END), for writers that go back to fill in a size. The new
    // position, or -1 when nothing is open or the seek failed.
    std::int64_t Seek(std::int64_t offset, int whence);
    FileResult Commit();

private:
    void Discard();

    std::string m_path;
    std::string m_temp;
    int m_fd = -1;
};

// Replaces the file at `path` by `bytes` through an AtomicFile.
FileResult WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes);

} // namespace vantomo
