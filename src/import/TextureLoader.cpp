#include "import/TextureLoader.h"

#include <dirent.h>
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

namespace {

// "TEXTURE" beside the program, then every other letter case of it that exists.
std::vector<std::string> TextureFolders(const std::string& programFolder)
{
    std::vector<std::string> folders;
    if (programFolder.empty()) {
        return folders;
    }
    folders.push_back(JoinPath(programFolder, "TEXTURE/"));
    std::vector<std::string> others;
    if (DIR* dir = opendir(programFolder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "TEXTURE" && LowerAscii(name) == "texture") {
                others.push_back(name);
            }
        }
        closedir(dir);
    }
    std::sort(others.begin(), others.end());
    for (const std::string& name : others) {
        folders.push_back(JoinPath(programFolder, name + "/"));
    }
    return folders;
}

std::vector<std::string> Candidates(const std::string& texture, const std::string& programFolder)
{
    const std::string slashed = ToSlashSeparators(texture);
    std::vector<std::string> names{slashed};
    const std::string converted = Cp932ToUtf8(slashed);
    if (converted != slashed) {
        names.push_back(converted);
    }
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        paths.push_back(name.front() == '/' ? name : JoinPath(g_textureBaseFolder, name));
    }
    if (!PathHasColon(texture)) {
        for (const std::string& folder : TextureFolders(programFolder)) {
            for (const std::string& name : names) {
                paths.push_back(folder + name);
            }
        }
    }
    return paths;
}

} // namespace

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

bool LoadTexture(CMaterial& material, MessageSink& messages, const std::string& programFolder)
{
    material.m_textureFile.clear();
    if (material.m_texture.empty()) {
        material.m_image.reset();
        return false;
    }
    material.m_image = std::make_shared<DibStream>();
    for (const std::string& path : Candidates(material.m_texture, programFolder)) {
        if (LoadImageFile(material, path)) {
            material.m_textureFile = path;
            material.m_reportedMissingTexture.clear();
            return true;
        }
    }
    material.m_image.reset();
    if (material.m_reportedMissingTexture != material.m_texture) {
        material.m_reportedMissingTexture = material.m_texture;
        messages.ShowMessage(kTextureLoadFailedMessage);
    }
    return false;
}

bool LoadTexture(CMaterial& material, MessageSink& messages)
{
    return LoadTexture(material, messages, ProgramFolder());
}

void ReloadTextures(CTessaline& scene, MessageSink& messages, const std::string& programFolder)
{
    for (CMaterial& material : scene.m_materials) {
        LoadTexture(material, messages, programFolder);
    }
}

void ReloadTextures(CTessaline& scene, MessageSink& messages)
{
    ReloadTextures(scene, messages, ProgramFolder());
}
