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

// Replaces the file at `path` by `bytes` so that a reader sees either the old
// file or the complete new one: the bytes go to a temporary file in the same
// folder, which is flushed to the disk and then renamed over the target. An
// existing target keeps its permission bits. On failure the temporary file is
// removed and the target is untouched.
FileResult WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes);
