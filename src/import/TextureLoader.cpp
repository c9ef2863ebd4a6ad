#include "import/TextureLoader.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "imaging/ByteStream.h"
#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "base/PathHelpers.h"
#include "scene/AppValues.h"
#include "base/Cp932.h"

namespace vantomo {

namespace {

std::vector<std::string> Candidates(const std::string& texture, const TextureLookup& lookup)
{
    const std::string slashed = ToSlashSeparators(texture, PathText::Cp932);
    std::vector<std::string> names{slashed};
    const std::string converted = Cp932ToUtf8(slashed);
    if (converted != slashed) {
        names.push_back(converted);
    }
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        paths.push_back(name.front() == '/' ? name : JoinPath(lookup.baseFolder, name));
    }
    if (!PathHasColon(texture)) {
        const std::string folder = FindTextureFolder(lookup.programFolder);
        if (!folder.empty()) {
            for (const std::string& name : names) {
                paths.push_back(folder + name);
            }
        }
    }
    return paths;
}

} // namespace

std::string FindTextureFolder(const std::string& programFolder)
{
    if (programFolder.empty()) {
        return {};
    }
    std::vector<std::string> spellings;
    if (DIR* dir = opendir(programFolder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (LowerAscii(name) == "texture") {
                spellings.push_back(name);
            }
        }
        closedir(dir);
    }
    // "TEXTURE" sorts before every other spelling, so the order is stable.
    std::sort(spellings.begin(), spellings.end());
    for (const std::string& name : spellings) {
        const std::string folder = JoinPath(programFolder, name);
        struct stat info {};
        if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            return folder + "/";
        }
    }
    return {};
}

std::string TextureNameForChosenFile(std::string_view textureFolder, std::string_view chosen)
{
    while (!textureFolder.empty() && (textureFolder.back() == '/' || textureFolder.back() == '\\')) {
        textureFolder.remove_suffix(1);
    }
    if (textureFolder.empty() || chosen.size() <= textureFolder.size() + 1) {
        return std::string(chosen);
    }
    const char separator = chosen[textureFolder.size()];
    if ((separator != '/' && separator != '\\') ||
        LowerAscii(std::string(chosen.substr(0, textureFolder.size()))) != LowerAscii(std::string(textureFolder))) {
        return std::string(chosen);
    }
    return std::string(chosen.substr(textureFolder.size() + 1));
}

bool LoadImageFile(DibStream& image, const std::string& path)
{
    image.Clear();
    const std::string ext = LowerAscii(GetPathExtension(path));
    bool ok = false;
    if (ext == "bmp") {
        ok = image.LoadBMP(path);
    } else if (ext == "ppm" || ext == "pgm") {
        const int fd = OpenRegularFile(path);
        std::FILE* stream = fd >= 0 ? fdopen(fd, "rb") : nullptr;
        if (stream != nullptr) {
            ok = image.ReadPNM(stream);
        } else if (fd >= 0) {
            close(fd);
        }
    } else if (ext == "tga") {
        const int fd = OpenRegularFile(path);
        ok = fd >= 0 && image.ReadTGA(fd);
    } else if (ext == "png") {
        ok = LoadPNG(path, image);
    } else if (ext == "jpg" || ext == "jpeg") {
        ok = LoadJPEG(path, image);
    } else if (ext == "iff") {
        ok = image.LoadILBM(path);
    }
    if (ok && image.BitCount() != 32) {
        // A failed conversion keeps the image as decoded; it is still usable.
        image.ConvertTo24();
    }
    return ok;
}

bool LoadImageFile(CMaterial& material, const std::string& path)
{
    if (!material.m_image) {
        material.m_image = std::make_shared<DibStream>();
    }
    return LoadImageFile(*material.m_image, path);
}

bool LoadTexture(CMaterial& material, MessageSink& messages, const TextureLookup& lookup)
{
    material.m_textureFile.clear();
    if (material.m_texture.empty()) {
        material.m_image.reset();
        return false;
    }
    material.m_image = std::make_shared<DibStream>();
    for (const std::string& path : Candidates(material.m_texture, lookup)) {
        if (LoadImageFile(material, path)) {
            material.m_textureFile = path;
            material.m_reportedMissingTexture.clear();
            return true;
        }
    }
    material.m_image.reset();
    if (material.m_reportedMissingTexture != material.m_texture) {
        material.m_reportedMissingTexture = material.m_texture;
        messages.ShowTextureMessage(kTextureLoadFailedMessage, material.m_texture);
    }
    return false;
}

void ReloadTextures(CTessaline& scene, MessageSink& messages, const TextureLookup& lookup)
{
    for (CMaterial& material : scene.m_materials) {
        LoadTexture(material, messages, lookup);
    }
}

} // namespace vantomo
