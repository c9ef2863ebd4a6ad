#include "import/TextureLoader.h"

// Placeholder until the image codecs land: no texture can be decoded yet.
bool LoadImageFile(CMaterial& /*material*/, const std::string& /*path*/) { return false; }

bool LoadTexture(CMaterial& material, MessageSink& /*messages*/)
{
    return !material.m_texture.empty() && false;
}

void ReloadTextures(CTessaline& scene, MessageSink& messages)
{
    for (CMaterial& material : scene.m_materials) {
        LoadTexture(material, messages);
    }
}
