// Where operations send the messages a user must see ("同名のアイテムが存在します！", ...).
// The desktop program shows a message box; the command-line tool prints to stderr;
// tests collect them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantomo {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // `text` is UTF-8, the program's own message text.
    virtual void ShowMessage(std::string_view text) = 0;
    // A message about one texture (`name` as stored, CP932). A window shows
    // the text alone; a log that scrolls past may name the texture too.
    virtual void ShowTextureMessage(std::string_view text, std::string_view name)
    {
        static_cast<void>(name);
        ShowMessage(text);
    }
};

// Keeps every message; for tests and for callers that report later.
class CollectingMessageSink final : public MessageSink {
public:
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

} // namespace vantomo
