// A scene-wide material in the form the Metasequoia format uses, with the
// fixed-function material derived from it.
#pragma once

#include <memory>
#include <string>

#include "scene/CModel.h"

namespace vantomo {

class DibStream;

struct D3DCOLORVALUE {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
    bool operator==(const D3DCOLORVALUE&) const = default;
};

struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power = 0.0f;
};

class CMaterial {
public:
    CMaterial();

    int m_id = 0;
    std::string m_name = "NoMaterial";
    float m_color[4] = {0.8f, 0.8f, 0.8f, 1.0f}; // r, g, b, a
    int m_shader = 0; // kept for the Metasequoia writer; not saved
    float m_diffuse = 1.0f;
    float m_ambient = 1.0f;
    float m_emissive = 0.0f;
    float m_specular = 0.0f;
    float m_power = 0.2f;
    std::string m_texture;
    std::string m_alphaPlane;
    std::string m_bump;
    D3DMATERIAL9 m_d3dMaterial;
    DeviceHandle m_d3dTexture = 0;
    // Decoded texture image; copies of a material share it. Null while the
    // material is untextured, including when its texture could not be loaded.
    std::shared_ptr<DibStream> m_image;
    // The file m_image was decoded from (the texture name as resolved when it
    // was loaded), so an export copies exactly what the view shows. Empty
    // while m_image is null. Not saved.
    std::string m_textureFile;
    // The texture name whose load failure the user was already told about, so
    // reloading does not repeat the message. Not saved.
    std::string m_reportedMissingTexture;

    // Derive m_d3dMaterial again from the colour and the factors.
    void UpdateD3DMaterial();
};

} // namespace vantomo
