// Messages the operations show go to stderr on the command line, one per line.
#pragma once

#include <iostream>

#include "scene/MessageSink.h"

class StderrSink final : public MessageSink {
public:
    void ShowMessage(std::string_view text) override { std::cerr << text << '\n'; }
};
