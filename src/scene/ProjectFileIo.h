// Reading a whole file and replacing a file atomically: the file side of the
// project file, kept apart from its byte layout.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>

struct FileBytes {
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
    std::span<const unsigned char> Span() const { return {data.get(), size}; }
};

struct FileResult {
    bool ok = false;
    int error = 0; // errno of the failing call when !ok
};

// Reads the whole regular file at `path`.
FileResult ReadWholeFile(const std::string& path, FileBytes& out);

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
    FileResult Commit();

private:
    void Discard();

    std::string m_path;
    std::string m_temp;
    int m_fd = -1;
};

// Replaces the file at `path` by `bytes` through an AtomicFile.
FileResult WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes);
