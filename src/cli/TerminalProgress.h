// Progress of long work on the terminal: once the work has run for half a
// second, one line on stderr ("reading big.mqo  42%") is rewritten in place
// a few times a second and erased when the work ends. Nothing is written when
// stderr is not a terminal, so logs and pipes stay clean. The command line
// never asks to stop.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "base/Progress.h"

namespace vantomo {

class TerminalProgress final : public Progress {
public:
    // On stderr, shown only when it is a terminal.
    explicit TerminalProgress(std::string label);
    // On `out`, always shown once `showAfter` has passed.
    TerminalProgress(std::string label, std::FILE* out, std::chrono::milliseconds showAfter);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    bool Report(std::uint64_t done, std::uint64_t total) override;

    // Erases the line of the progress shown now, if any, so that a message
    // can be written on a line of its own; the next report draws it again.
    static void ClearLine();

private:
    void Erase();

    std::string m_label;
    std::FILE* m_out;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_last;
    std::chrono::milliseconds m_showAfter;
    bool m_shown = false;
};

} // namespace vantomo
