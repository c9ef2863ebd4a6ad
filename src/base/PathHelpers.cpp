#include "base/PathHelpers.h"

#include <unistd.h>

#include <vector>

#include "base/Cp932.h"

namespace {

bool IsValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        std::uint32_t min = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + len > s.size()) {
            return false;
        }
        std::uint32_t cp = c & (0x7Fu >> len);
        for (std::size_t k = 1; k < len; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (t & 0x3Fu);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += len;
    }
    return true;
}

bool IsCp932TrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Positions of the separator characters of `path`, in order.
std::vector<std::size_t> Separators(std::string_view path)
{
    std::vector<std::size_t> found;
    const bool cp932 = !IsValidUtf8(path);
    for (std::size_t i = 0; i < path.size();) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (cp932 && IsCp932LeadByte(c) && i + 1 < path.size() &&
            IsCp932TrailByte(static_cast<unsigned char>(path[i + 1]))) {
            i += 2; // a double-byte character, whatever its second byte
            continue;
        }
        if (c == '/' || c == '\\') {
            found.push_back(i);
        }
        ++i;
    }
    return found;
}

std::size_t FileNameStart(std::string_view path)
{
    const std::vector<std::size_t> separators = Separators(path);
    return separators.empty() ? 0 : separators.back() + 1;
}

} // namespace

std::optional<std::string> GetPathFolder(std::string_view path)
{
    const std::vector<std::size_t> separators = Separators(path);
    if (separators.empty()) {
        return std::nullopt;
    }
    const std::size_t last = separators.back();
    std::string folder(path.substr(0, last));
    const bool doubled = separators.size() >= 2 && separators[separators.size() - 2] + 1 == last;
    if (!doubled) {
        folder.push_back(path[last]);
    }
    return folder;
}

std::optional<std::string> GetPathFileName(std::string_view path)
{
    const std::string_view name = path.substr(FileNameStart(path));
    if (name.empty()) {
        return std::nullopt;
    }
    return std::string(name);
}

std::string ChangePathExtension(std::string_view path, std::string_view ending)
{
    const std::size_t start = FileNameStart(path);
    const std::size_t dot = path.substr(start).rfind('.');
    std::string result(dot == std::string_view::npos ? path : path.substr(0, start + dot));
    result.append(ending);
    return result;
}

std::optional<std::string> GetPathBaseName(std::string_view path)
{
    std::string_view name = path.substr(FileNameStart(path));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        name = name.substr(0, dot);
    }
    if (name.empty()) {
        return std::nullopt;
    }
    return std::string(name);
}

std::string GetPathExtension(std::string_view path)
{
    const std::string_view name = path.substr(FileNameStart(path));
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string ToSlashSeparators(std::string_view path)
{
    std::string result(path);
    for (std::size_t i : Separators(path)) {
        result[i] = '/';
    }
    return result;
}

bool PathHasColon(std::string_view path)
{
    // ':' (0x3A) is below every CP932 second byte, so a plain search is exact.
    return path.find(':') != std::string_view::npos;
}

std::string ProgramFolder()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            const std::string exe(buffer.data(), static_cast<std::size_t>(n));
            const std::size_t slash = exe.rfind('/');
            return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
        }
        if (buffer.size() >= (1u << 20)) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string LowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string FolderOf(std::string_view path)
{
    return GetPathFolder(path).value_or(std::string());
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string joined(folder);
    if (!joined.empty() && joined.back() != '/') {
        joined.push_back('/');
    }
    joined.append(name);
    return joined;
}
