// Messages the operations show go to stderr on the command line, one per line.
#pragma once

#include <iostream>

#include "base/Cp932.h"
#include "cli/TerminalProgress.h"
#include "scene/MessageSink.h"

namespace vantomo {

class StderrSink final : public MessageSink {
public:
    void ShowMessage(std::string_view text) override
    {
        TerminalProgress::ClearLine();
        std::cerr << text << '\n';
    }
    // A line among many must say which texture it is about.
    void ShowTextureMessage(std::string_view text, std::string_view name) override
    {
        TerminalProgress::ClearLine();
        std::cerr << Cp932ToUtf8(name) << ": " << text << '\n';
    }
};

} // namespace vantomo
