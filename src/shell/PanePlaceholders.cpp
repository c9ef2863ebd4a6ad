#include "shell/PanePlaceholders.h"

PlaceholderPane::PlaceholderPane(CVantomoDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::white));
    m_doc.AddView(this);
}

PlaceholderPane::~PlaceholderPane() { m_doc.RemoveView(this); }

bool PlaceholderKeyFrameDialog(QWidget*, KeyFrameDialog&) { return false; }
bool PlaceholderFrameInsertDialog(QWidget*, FrameInsertDialog&) { return false; }
bool PlaceholderFrameDeleteDialog(QWidget*, FrameDeleteDialog&) { return false; }
bool PlaceholderExportDialog(QWidget*, ExportDialog&) { return false; }
bool PlaceholderMaterialDialog(QWidget*, MaterialDialog&) { return false; }

std::optional<std::string> PlaceholderAskName(QWidget*, int, std::string_view) { return std::nullopt; }
