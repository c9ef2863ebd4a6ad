// A main window on the document, with modal message boxes answered and
// recorded instead of waiting for a user.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "document/Document.h"
#include "scene/AppValues.h"
#include "shell/MainFrame.h"
#include "shell/QtUserInterface.h"
#include "shell/SliderView.h"

namespace vantomo {

// Answers every message box that opens with `answer` (OK when the box has
// no such button) and keeps its text.
class ModalWatcher {
public:
    ModalWatcher()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            texts.push_back(box->text());
            QAbstractButton* button = box->button(answer);
            if (button == nullptr) {
                button = box->button(QMessageBox::Ok);
            }
            if (button != nullptr) {
                button->click();
            } else {
                box->reject();
            }
        });
        m_timer.start();
    }
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QStringList texts;

private:
    QTimer m_timer;
};

inline std::string SamplePath() { return std::string(VANTOMO_SOURCE_DIR) + "/samples/walker.vtm"; }

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAppValues();
        QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo")).clear();
        QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo"))
            .setValue(QStringLiteral("Vantomo/Language"), QStringLiteral("Japanese"));
        // The sample's texture is named relative to its folder.
        doc = std::make_unique<CVantomoDoc>(ui);
        doc->Textures().baseFolder = std::string(VANTOMO_SOURCE_DIR) + "/samples";
        frame = std::make_unique<CMainFrame>(*doc, ui, createGl);
        ui.SetFrame(frame.get());
    }
    void TearDown() override
    {
        ui.SetFrame(nullptr);
        frame.reset();
        doc.reset();
        ResetAppValues();
    }
    void OpenSample() { ASSERT_TRUE(doc->OnOpenDocument(SamplePath())); }
    CSliderView& Panel() { return *frame->ControlPanel(); }

    bool createGl = false;
    ModalWatcher modals;
    QtUserInterface ui;
    std::unique_ptr<CVantomoDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace vantomo
