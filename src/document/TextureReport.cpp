#include "document/TextureReport.h"

#include <algorithm>

#include "base/Cp932.h"
#include "import/TextureLoader.h"

namespace vantomo {

std::string MissingTexturesMessage(const std::vector<std::string>& names)
{
    if (names.empty()) {
        return {};
    }
    std::string text(kTextureLoadFailedMessage);
    for (const std::string& name : names) {
        text += '\n';
        text += Cp932ToUtf8(name);
    }
    return text;
}

void TextureReport::ShowTextureMessage(std::string_view, std::string_view name)
{
    if (m_depth == 0) {
        m_target.ShowMessage(MissingTexturesMessage({std::string(name)}));
        return;
    }
    // Two materials naming one missing file make one line.
    if (std::find(m_names.begin(), m_names.end(), name) == m_names.end()) {
        m_names.emplace_back(name);
    }
}

void TextureReport::End()
{
    if (m_depth > 0) {
        --m_depth;
    }
    if (m_depth == 0 && !m_names.empty()) {
        const std::vector<std::string> names = std::move(m_names);
        m_names.clear();
        m_target.ShowMessage(MissingTexturesMessage(names));
    }
}

} // namespace vantomo
