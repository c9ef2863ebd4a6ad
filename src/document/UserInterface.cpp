#include "document/UserInterface.h"

#include "document/Commands.h"
#include "document/VideoExport.h"

namespace vantomo {

std::unique_ptr<Progress> UserInterface::BeginProgress(std::string_view, bool) { return nullptr; }
bool UserInterface::RunVideoDialog(VideoDialog&) { return false; }
FrameDrawer* UserInterface::VideoFrameDrawer() { return nullptr; }

namespace {

class HeadlessProgress final : public Progress {
public:
    HeadlessProgress(HeadlessUserInterface& ui, bool cancellable) : m_ui(ui), m_cancellable(cancellable) {}
    bool Report(std::uint64_t, std::uint64_t) override
    {
        ++m_ui.progressReports;
        return !m_cancellable || m_ui.stopAfterReports < 0 || m_ui.progressReports <= m_ui.stopAfterReports;
    }

private:
    HeadlessUserInterface& m_ui;
    bool m_cancellable;
};

} // namespace

std::unique_ptr<Progress> HeadlessUserInterface::BeginProgress(std::string_view title, bool cancellable)
{
    progressTitles.emplace_back(title);
    return std::make_unique<HeadlessProgress>(*this, cancellable);
}

void HeadlessUserInterface::ShowMessage(std::string_view text)
{
    messages.emplace_back(text);
    if (m_forward != nullptr) {
        m_forward->ShowMessage(text);
    }
}

std::optional<DialogAnswer> HeadlessUserInterface::Take(DialogAnswer::Kind kind)
{
    if (answers.empty() || answers.front().kind != kind) {
        // An explicit Cancel is consumed; an answer meant for another dialog stays.
        if (!answers.empty() && answers.front().kind == DialogAnswer::Kind::Cancel) {
            answers.pop_front();
        }
        return std::nullopt;
    }
    DialogAnswer answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

template <typename Accept>
bool HeadlessUserInterface::TakeValid(DialogAnswer::Kind kind, Accept accept)
{
    for (;;) {
        std::optional<DialogAnswer> answer = Take(kind);
        if (!answer) {
            return false;
        }
        if (accept(answer->texts)) {
            return true;
        }
    }
}

std::optional<std::string> HeadlessUserInterface::AskPath(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    if (!paths.empty()) {
        std::string path = std::move(paths.front());
        paths.pop_front();
        return path;
    }
    std::optional<DialogAnswer> answer = Take(DialogAnswer::Kind::File);
    if (!answer || answer->texts.empty()) {
        return std::nullopt;
    }
    return answer->texts.front();
}

SaveChoice HeadlessUserInterface::AskYesNoCancel(std::string_view text)
{
    questions.emplace_back(text);
    if (!answers.empty() && answers.front().kind == DialogAnswer::Kind::Yes) {
        answers.pop_front();
        return SaveChoice::Yes;
    }
    if (!answers.empty() && answers.front().kind == DialogAnswer::Kind::No) {
        answers.pop_front();
        return SaveChoice::No;
    }
    if (!answers.empty() && answers.front().kind == DialogAnswer::Kind::Cancel) {
        answers.pop_front();
    }
    return SaveChoice::Cancel;
}

std::optional<std::uint32_t> HeadlessUserInterface::AskColor(std::uint32_t)
{
    std::optional<std::uint32_t> colour;
    TakeValid(DialogAnswer::Kind::Color, [&](const std::vector<std::string>& t) {
        int rgb[3] = {};
        for (std::size_t i = 0; i < 3; ++i) {
            if (i >= t.size() || !ExchangeInteger(t[i], rgb[i]) || rgb[i] < 0 || rgb[i] > 255) {
                ShowMessage(kEnterIntegerMessage);
                return false;
            }
        }
        colour = static_cast<std::uint32_t>(rgb[0]) | static_cast<std::uint32_t>(rgb[1]) << 8 |
                 static_cast<std::uint32_t>(rgb[2]) << 16;
        return true;
    });
    return colour;
}

namespace {

// The integer edits of a dialog, in order; false at the first refused text.
bool ExchangeIntegers(const std::vector<std::string>& texts, std::initializer_list<int*> fields,
                      MessageSink& messages)
{
    std::vector<int> values;
    std::size_t i = 0;
    for (int* field : fields) {
        int value = *field;
        if (i >= texts.size() || !ExchangeInteger(texts[i], value)) {
            messages.ShowMessage(kEnterIntegerMessage);
            return false;
        }
        values.push_back(value);
        ++i;
    }
    i = 0;
    for (int* field : fields) {
        *field = values[i++];
    }
    return true;
}

} // namespace

bool HeadlessUserInterface::RunKeyFrameDialog(KeyFrameDialog& dialog)
{
    return TakeValid(DialogAnswer::Kind::Key, [&](const std::vector<std::string>& t) {
        KeyFrameDialog typed = dialog;
        if (!ExchangeIntegers(t, {&typed.frame, &typed.action}, *this)) {
            return false;
        }
        if (typed.action < 0 || typed.action > 3) {
            return false; // a radio group holds one of its buttons
        }
        dialog = typed;
        return true;
    });
}

bool HeadlessUserInterface::RunFrameInsertDialog(FrameInsertDialog& dialog)
{
    return TakeValid(DialogAnswer::Kind::Insert, [&](const std::vector<std::string>& t) {
        return ExchangeIntegers(t, {&dialog.after, &dialog.count}, *this);
    });
}

bool HeadlessUserInterface::RunFrameDeleteDialog(FrameDeleteDialog& dialog)
{
    return TakeValid(DialogAnswer::Kind::Delete, [&](const std::vector<std::string>& t) {
        return ExchangeIntegers(t, {&dialog.start, &dialog.end}, *this);
    });
}

bool HeadlessUserInterface::RunExportDialog(ExportDialog& dialog)
{
    return TakeValid(DialogAnswer::Kind::Export, [&](const std::vector<std::string>& t) {
        ExportSettings typed = dialog.settings;
        const std::vector<std::string_view> words(t.begin(), t.end());
        const std::string refused = ApplyExportOptions(words, &typed);
        if (!refused.empty()) {
            ShowMessage(refused);
            return false;
        }
        if (!typed.WriteNormalsAvailable()) {
            typed.writeNormals = 1; // the unavailable box is shown ticked
        }
        dialog.settings = typed;
        return true;
    });
}

bool HeadlessUserInterface::RunVideoDialog(VideoDialog& dialog)
{
    return TakeValid(DialogAnswer::Kind::Video, [&](const std::vector<std::string>& t) {
        VideoSettings typed = dialog.settings;
        const std::vector<std::string_view> words(t.begin(), t.end());
        const std::string refused = ApplyVideoOptions(words, typed);
        if (!refused.empty()) {
            ShowMessage(refused);
            return false;
        }
        dialog.settings = typed;
        return true;
    });
}

bool HeadlessUserInterface::RunMaterialDialog(MaterialDialog& dialog)
{
    return TakeValid(DialogAnswer::Kind::Material, [&](const std::vector<std::string>& t) {
        if (t.size() != 11) {
            ShowMessage(kEnterNumberMessage);
            return false;
        }
        MaterialDialog typed = dialog;
        float* numbers[] = {&typed.red,     &typed.green,    &typed.blue,  &typed.opacity, &typed.diffuse,
                            &typed.emissive, &typed.specular, &typed.power, &typed.ambient};
        for (std::size_t i = 0; i < 9; ++i) {
            if (!ExchangeFloat(t[i + 1], *numbers[i])) {
                ShowMessage(kEnterNumberMessage);
                return false;
            }
        }
        typed.name = t[0];
        typed.texture = t[10];
        dialog = typed;
        return true;
    });
}

void HeadlessUserInterface::BeginRename(const RenameTarget&, std::function<void(const std::string&)> commit)
{
    std::optional<DialogAnswer> answer = Take(DialogAnswer::Kind::Name);
    if (answer && !answer->texts.empty()) {
        commit(answer->texts.front());
    }
}

void HeadlessUserInterface::RunShellCommand(int commandId)
{
    shellCommands.push_back(commandId);
    switch (commandId) {
    case kCmdMainToolbar:
    case kCmdControlToolbar:
    case kCmdStatusBar:
        if (!hiddenBars.erase(commandId)) {
            hiddenBars.insert(commandId);
        }
        break;
    case kCmdLanguage:
        english = !english;
        break;
    default:
        break;
    }
}

bool HeadlessUserInterface::IsShellCommandChecked(int commandId) const
{
    switch (commandId) {
    case kCmdMainToolbar:
    case kCmdControlToolbar:
    case kCmdStatusBar:
        return !hiddenBars.contains(commandId);
    default:
        return false;
    }
}

} // namespace vantomo
