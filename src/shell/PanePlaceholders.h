// Stand-ins for the panes and dialog widgets that are built apart: the
// hierarchy tree, the material list, the animation list, and the key, frame,
// export and material dialogs. Each pane is an empty widget that takes the
// place of the real one in the splitters; each dialog answers Cancel.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QWidget>

#include "document/Dialogs.h"
#include "document/Document.h"

// merge: replaced by CHierarchyView, CMaterialView and CAnimationListView of
// the panes library; same constructor shape (document, parent).
class PlaceholderPane final : public QWidget, public DocumentView {
public:
    PlaceholderPane(CVantomoDoc& doc, QWidget* parent);
    ~PlaceholderPane() override;
    void OnUpdate(int) override {}

private:
    CVantomoDoc& m_doc;
};

// merge: replaced by ShowKeyFrameDialog and its siblings of the panes library.
// Each returns false (Cancel) and leaves the fields as they were.
bool PlaceholderKeyFrameDialog(QWidget* parent, KeyFrameDialog& dialog);
bool PlaceholderFrameInsertDialog(QWidget* parent, FrameInsertDialog& dialog);
bool PlaceholderFrameDeleteDialog(QWidget* parent, FrameDeleteDialog& dialog);
bool PlaceholderExportDialog(QWidget* parent, ExportDialog& dialog);
bool PlaceholderMaterialDialog(QWidget* parent, MaterialDialog& dialog);
// merge: replaced by AskNameInPlace. None: the rename is cancelled.
std::optional<std::string> PlaceholderAskName(QWidget* mainWindow, int commandId, std::string_view currentCp932);
