#include "base/PathHelpers.h"

#include <unistd.h>

#include <vector>

#include "base/Cp932.h"

namespace vantomo {

namespace {

bool IsCp932TrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Positions of the separator characters of `path`, in order.
std::vector<std::size_t> Separators(std::string_view path, PathText text)
{
    std::vector<std::size_t> found;
    const bool cp932 = text == PathText::Cp932;
    for (std::size_t i = 0; i < path.size();) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (cp932 && IsCp932LeadByte(c) && i + 1 < path.size() &&
            IsCp932TrailByte(static_cast<unsigned char>(path[i + 1]))) {
            i += 2; // a double-byte character, whatever its second byte
            continue;
        }
        if (c == '/' || (c == '\\' && text != PathText::Native)) {
            found.push_back(i);
        }
        ++i;
    }
    return found;
}

std::size_t FileNameStart(std::string_view path, PathText text)
{
    const std::vector<std::size_t> separators = Separators(path, text);
    return separators.empty() ? 0 : separators.back() + 1;
}

} // namespace

std::optional<std::string> GetPathFolder(std::string_view path, PathText text)
{
    const std::vector<std::size_t> separators = Separators(path, text);
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

std::optional<std::string> GetPathFileName(std::string_view path, PathText text)
{
    const std::string_view name = path.substr(FileNameStart(path, text));
    if (name.empty()) {
        return std::nullopt;
    }
    return std::string(name);
}

std::string ChangePathExtension(std::string_view path, std::string_view ending, PathText text)
{
    const std::size_t start = FileNameStart(path, text);
    const std::size_t dot = path.substr(start).rfind('.');
    std::string result(dot == std::string_view::npos ? path : path.substr(0, start + dot));
    result.append(ending);
    return result;
}

std::optional<std::string> GetPathBaseName(std::string_view path, PathText text)
{
    std::string_view name = path.substr(FileNameStart(path, text));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        name = name.substr(0, dot);
    }
    if (name.empty()) {
        return std::nullopt;
    }
    return std::string(name);
}

std::string GetPathExtension(std::string_view path, PathText text)
{
    const std::string_view name = path.substr(FileNameStart(path, text));
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string ToSlashSeparators(std::string_view path, PathText text)
{
    std::string result(path);
    for (std::size_t i : Separators(path, text)) {
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

std::string FolderOf(std::string_view path, PathText text)
{
    return GetPathFolder(path, text).value_or(std::string());
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

} // namespace vantomo
