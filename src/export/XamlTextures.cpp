#include "export/XamlTextures.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "base/PathHelpers.h"
#include "base/Cp932.h"
#include "base/FileIo.h"

namespace vantomo {

namespace {

constexpr int kMaxSuffix = 10000;

// "wood.png" with suffix n: "wood_n.png".
std::string WithSuffix(const std::string& name, int n)
{
    const std::size_t dot = name.rfind('.');
    const std::string suffix = "_" + std::to_string(n);
    return dot == std::string::npos ? name + suffix : name.substr(0, dot) + suffix + name.substr(dot);
}

enum class Existing { None, Same, Different };

Existing CompareExisting(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? Existing::None : Existing::Different;
    }
    if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_size) != bytes.size()) {
        return Existing::Different;
    }
    FileBytes old;
    if (!ReadWholeFile(path, old).ok || old.Size() != bytes.size()) {
        return Existing::Different;
    }
    return std::equal(bytes.begin(), bytes.end(), old.Data()) ? Existing::Same : Existing::Different;
}

// The bytes a material's image file gets; false when there are none.
bool ImageBytes(const CMaterial& material, bool jpeg, std::vector<std::uint8_t>& bytes)
{
    if (jpeg) {
        if (material.m_textureFile.empty()) {
            return false;
        }
        FileBytes file;
        if (!ReadWholeFile(material.m_textureFile, file).ok) {
            return false;
        }
        bytes.assign(file.Data(), file.Data() + file.Size());
        return true;
    }
    return EncodePNG(*material.m_image, bytes);
}

} // namespace

XamlTextureFiles WriteXamlTextures(const CTessaline& scene, const std::string& folder)
{
    XamlTextureFiles files;
    files.fileNames.resize(scene.m_materials.size());
    std::unordered_map<std::string, std::string> bySource;
    std::unordered_set<std::string> taken; // lower-case names given out by this export
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < scene.m_materials.size(); ++i) {
        const CMaterial& material = scene.m_materials[i];
        if (material.m_texture.empty()) {
            continue;
        }
        const auto skip = [&] {
            if (std::find(files.skipped.begin(), files.skipped.end(), material.m_texture) == files.skipped.end()) {
                files.skipped.push_back(material.m_texture);
            }
        };
        const std::optional<std::string> fileName = GetPathFileName(material.m_texture, PathText::Cp932);
        if (!material.m_image || material.m_image->IsEmpty() || !fileName ||
            fileName->find('\0') != std::string::npos) {
            skip();
            continue;
        }
        const std::string extension = LowerAscii(GetPathExtension(*fileName, PathText::Cp932));
        const bool jpeg = extension == "jpg" || extension == "jpeg";
        const std::string wanted = Cp932ToUtf8(jpeg ? *fileName : ChangePathExtension(*fileName, ".png", PathText::Cp932));
        const std::string source =
            (jpeg ? "jpeg:" : "png:") + (material.m_textureFile.empty() ? material.m_texture : material.m_textureFile);
        if (const auto known = bySource.find(source); known != bySource.end()) {
            files.fileNames[i] = known->second;
            continue;
        }
        bytes.clear();
        if (!ImageBytes(material, jpeg, bytes)) {
            skip();
            continue;
        }
        // Bounded, so a folder that refuses every look-up cannot hold the export.
        bool written = false;
        std::string name = wanted;
        for (int n = 2; n <= kMaxSuffix; name = WithSuffix(wanted, n++)) {
            if (taken.count(LowerAscii(name)) != 0) {
                continue;
            }
            const std::string target = folder + name;
            const Existing existing = CompareExisting(target, bytes);
            if (existing == Existing::Different) {
                continue;
            }
            written = existing == Existing::Same || WriteFileAtomically(target, bytes).ok;
            break;
        }
        if (!written) {
            skip();
            continue;
        }
        taken.insert(LowerAscii(name));
        bySource.emplace(source, name);
        files.fileNames[i] = name;
    }
    return files;
}

} // namespace vantomo
