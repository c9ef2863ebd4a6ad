// Splitting paths into folder, file name, base name and extension.
//
// Both "\" and "/" separate folders, so a name written on Windows splits the
// same way here. Names from documents are CP932 bytes whose second byte may be
// 0x5C ("\"); such pairs are stepped over whole. A path that is valid UTF-8
// (as Linux file names are) is scanned byte by byte instead, because a UTF-8
// sequence can look like a CP932 pair. "." and "/" never occur inside a
// character of either encoding. There is no length limit.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The part before the last separator, ending with a separator: the one found,
// or the one already ending that part ("a//b" gives "a/"); nullopt when the
// path has no separator.
std::optional<std::string> GetPathFolder(std::string_view path);

// The part after the last separator (the whole path when there is none);
// nullopt when that is empty.
std::optional<std::string> GetPathFileName(std::string_view path);

// The path with everything from the last "." of its file name replaced by
// `ending` (which brings its own dot, e.g. ".png"); appended when the file
// name has no ".".
std::string ChangePathExtension(std::string_view path, std::string_view ending);

// The file name without its extension; nullopt when that is empty.
std::optional<std::string> GetPathBaseName(std::string_view path);

// The text after the last "." of the file name, without the dot; empty when
// the file name has no ".".
std::string GetPathExtension(std::string_view path);

// `text` with the ASCII letters in lower case; other bytes (CP932 trail bytes
// among them) are kept, so extensions and folder names compare without case.
std::string LowerAscii(std::string text);

// The path with every separator written as "/", for opening on this system.
std::string ToSlashSeparators(std::string_view path);

// True when `path` contains ":" outside a double-byte character.
bool PathHasColon(std::string_view path);

// The folder part of a path with its last separator ("a/b/c.mqo" gives
// "a/b/"); empty for a bare file name, which lives in the working folder.
std::string FolderOf(std::string_view path);

// `name` inside `folder`: a "/" between them unless the folder is empty or
// already ends with one.
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder of the running program, ending in "/"; empty when unknown.
std::string ProgramFolder();
