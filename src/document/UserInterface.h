// How the document layer talks to the user: ask for a path, show a message,
// run a dialog with its fields. The desktop program implements it with real
// dialogs; tests and the command-line tool implement it without windows, so
// every command runs headless.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/MessageSink.h"

// A file dialog's settings. The filter is the platform-neutral form of the
// resource strings: "Description|*.ext;*.ext|Description|*.ext|".
struct FileDialogRequest {
    bool save = false;
    std::string filter;
    std::string defaultExtension;
    std::string initialFolder;
    bool overwritePrompt = false;
};

// One field of a dialog: its label and its text, filled in by the dialog.
struct DialogField {
    std::string label;
    std::string value;
};

// A modal dialog: a title, fields and, optionally, one exclusive choice.
struct DialogRequest {
    std::string title;
    std::vector<DialogField> fields;
    std::vector<std::string> choices; // radio buttons; empty for none
    int choice = 0;
};

class UserInterface : public MessageSink {
public:
    // The chosen path, or none when the user cancelled.
    virtual std::optional<std::string> AskPath(const FileDialogRequest& request) = 0;
    // True on OK, with the fields and the choice updated; false on Cancel.
    virtual bool RunDialog(DialogRequest& request) = 0;
};

// A user interface without windows: paths and dialog answers are queued in
// advance, messages are collected (and passed on to `forward` when given).
class HeadlessUserInterface final : public UserInterface {
public:
    explicit HeadlessUserInterface(MessageSink* forward = nullptr) : m_forward(forward) {}

    void ShowMessage(std::string_view text) override
    {
        messages.emplace_back(text);
        if (m_forward != nullptr) {
            m_forward->ShowMessage(text);
        }
    }
    std::optional<std::string> AskPath(const FileDialogRequest&) override
    {
        if (paths.empty()) {
            return std::nullopt;
        }
        std::string path = std::move(paths.front());
        paths.pop_front();
        return path;
    }
    bool RunDialog(DialogRequest& request) override
    {
        if (dialogs.empty()) {
            return false;
        }
        DialogRequest answer = std::move(dialogs.front());
        dialogs.pop_front();
        for (std::size_t i = 0; i < request.fields.size() && i < answer.fields.size(); ++i) {
            request.fields[i].value = answer.fields[i].value;
        }
        request.choice = answer.choice;
        return true;
    }

    std::deque<std::string> paths;       // answers of AskPath; empty means Cancel
    std::deque<DialogRequest> dialogs;   // answers of RunDialog; empty means Cancel
    std::vector<std::string> messages;   // every message shown

private:
    MessageSink* m_forward;
};
