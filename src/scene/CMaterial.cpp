#include "scene/CMaterial.h"

namespace vantomo {

CMaterial::CMaterial() { UpdateD3DMaterial(); }

void CMaterial::UpdateD3DMaterial()
{
    const float r = m_color[0];
    const float g = m_color[1];
    const float b = m_color[2];
    const float a = m_color[3];
    m_d3dMaterial.Diffuse = {r * m_diffuse, g * m_diffuse, b * m_diffuse, a};
    m_d3dMaterial.Ambient = {r * m_ambient, g * m_ambient, b * m_ambient, a};
    // The highlight is white light, not tinted by the base colour.
    m_d3dMaterial.Specular = {m_specular, m_specular, m_specular, a};
    m_d3dMaterial.Emissive = {r * m_emissive, g * m_emissive, b * m_emissive, a};
    m_d3dMaterial.Power = m_power;
}

} // namespace vantomo
