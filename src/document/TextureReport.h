// Textures that could not be loaded, told once per user action: an open, an
// import, a drop of several files or a material edit gathers them and, when
// it ends, shows one message that names every file, instead of one box per
// texture. Other messages pass straight on, when they come.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scene/MessageSink.h"

namespace vantomo {

// The message for `names` (as stored, CP932): the loader's own text, then
// each name on a line of its own, in UTF-8. Empty for no name.
std::string MissingTexturesMessage(const std::vector<std::string>& names);

class TextureReport final : public MessageSink {
public:
    explicit TextureReport(MessageSink& target) : m_target(target) {}

    void ShowMessage(std::string_view text) override { m_target.ShowMessage(text); }
    // Outside any action the one texture is told at once, in the same form.
    void ShowTextureMessage(std::string_view text, std::string_view name) override;

    // Actions nest (a drop imports several files): the outermost End tells
    // what all of them gathered.
    void Begin() { ++m_depth; }
    void End();

private:
    MessageSink& m_target;
    int m_depth = 0;
    std::vector<std::string> m_names; // each name once, in the order it failed
};

// Gathers for as long as it lives.
class TextureReportScope {
public:
    explicit TextureReportScope(TextureReport& report) : m_report(report) { m_report.Begin(); }
    ~TextureReportScope() { m_report.End(); }
    TextureReportScope(const TextureReportScope&) = delete;
    TextureReportScope& operator=(const TextureReportScope&) = delete;

private:
    TextureReport& m_report;
};

} // namespace vantomo
