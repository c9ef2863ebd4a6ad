// Splitting paths into folder, file name, base name and extension.
//
// Both "\" and "/" separate folders, so a name written on Windows splits the
// same way here. The caller says how the text is encoded: names from
// documents are CP932 bytes whose second byte may be 0x5C ("\"), so such
// pairs are stepped over whole; paths typed by the user or given by the
// system are UTF-8 and are scanned byte by byte. Guessing from the bytes is
// not enough: some CP932 names are also valid UTF-8. "." and "/" never occur
// inside a character of either encoding. There is no length limit.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantomo {

// How a path's bytes are encoded.
enum class PathText {
    Utf8,   // typed by the user or given by the system
    Cp932,  // a name stored in a document (a texture file name)
    Native, // a file of this system about to be created or written: only "/"
            // separates, as "\" is an ordinary character of a file name here
};

// The part before the last separator, ending with a separator: the one found,
// or the one already ending that part ("a//b" gives "a/"); nullopt when the
// path has no separator.
std::optional<std::string> GetPathFolder(std::string_view path, PathText text = PathText::Utf8);

// The part after the last separator (the whole path when there is none);
// nullopt when that is empty.
std::optional<std::string> GetPathFileName(std::string_view path, PathText text = PathText::Utf8);

// The path with everything from the last "." of its file name replaced by
// `ending` (which brings its own dot, e.g. ".png"); appended when the file
// name has no ".".
std::string ChangePathExtension(std::string_view path, std::string_view ending,
                                PathText text = PathText::Utf8);

// The file name without its extension; nullopt when that is empty.
std::optional<std::string> GetPathBaseName(std::string_view path, PathText text = PathText::Utf8);

// The text after the last "." of the file name, without the dot; empty when
// the file name has no ".".
std::string GetPathExtension(std::string_view path, PathText text = PathText::Utf8);

// `text` with the ASCII letters in lower case; other bytes (CP932 trail bytes
// among them) are kept, so extensions and folder names compare without case.
std::string LowerAscii(std::string text);

// The path with every separator written as "/", for opening on this system.
std::string ToSlashSeparators(std::string_view path, PathText text = PathText::Utf8);

// True when `path` contains ":" outside a double-byte character.
bool PathHasColon(std::string_view path);

// The folder part of a path with its last separator ("a/b/c.mqo" gives
// "a/b/"); empty for a bare file name, which lives in the working folder.
std::string FolderOf(std::string_view path, PathText text = PathText::Utf8);

// `name` inside `folder`: a "/" between them unless the folder is empty or
// already ends with one.
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder of the running program, ending in "/"; empty when unknown.
std::string ProgramFolder();

} // namespace vantomo
