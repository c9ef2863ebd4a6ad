#include "cli/TerminalProgress.h"

#include <unistd.h>

#include <utility>

namespace vantomo {

namespace {

constexpr std::chrono::milliseconds kRedrawEvery{100};

// The progress whose line is on the terminal now; one at a time.
TerminalProgress* g_shown = nullptr;

} // namespace

TerminalProgress::TerminalProgress(std::string label)
    : TerminalProgress(std::move(label), isatty(STDERR_FILENO) != 0 ? stderr : nullptr,
                       std::chrono::milliseconds(500))
{
}

TerminalProgress::TerminalProgress(std::string label, std::FILE* out, std::chrono::milliseconds showAfter)
    : m_label(std::move(label)), m_out(out), m_start(std::chrono::steady_clock::now()), m_showAfter(showAfter)
{
}

TerminalProgress::~TerminalProgress() { Erase(); }

void TerminalProgress::Erase()
{
    if (m_shown) {
        std::fputs("\r\033[K", m_out); // the line goes; what the command says next takes its place
        std::fflush(m_out);
        m_shown = false;
    }
    if (g_shown == this) {
        g_shown = nullptr;
    }
}

void TerminalProgress::ClearLine()
{
    if (g_shown != nullptr) {
        g_shown->Erase();
    }
}

bool TerminalProgress::Report(std::uint64_t done, std::uint64_t total)
{
    if (m_out == nullptr) {
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - m_start < m_showAfter || (m_shown && now - m_last < kRedrawEvery)) {
        return true;
    }
    m_shown = true;
    g_shown = this;
    m_last = now;
    if (total > 0) {
        const double percent = 100.0 * static_cast<double>(done < total ? done : total) / static_cast<double>(total);
        std::fprintf(m_out, "\r%s  %3d%%", m_label.c_str(), static_cast<int>(percent));
    } else {
        std::fprintf(m_out, "\r%s  %.1f MB", m_label.c_str(), static_cast<double>(done) / 1e6);
    }
    std::fflush(m_out);
    return true;
}

} // namespace vantomo
