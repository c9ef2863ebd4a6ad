#include "shell/VideoDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include "document/KeyEditing.h"
#include "document/Script.h"
#include "shell/QtUserInterface.h"
#include "shell/panes/PaneText.h"
#include "video/VideoEncoder.h"

namespace vantomo {

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("VideoDialog", text); }

QSpinBox* Spin(const QString& name, int low, int high, int value)
{
    auto* spin = new QSpinBox;
    spin->setObjectName(name);
    spin->setRange(low, high);
    spin->setValue(value);
    return spin;
}

} // namespace

bool ShowVideoDialog(QWidget* parent, VideoDialog& dialog)
{
    QDialog window(parent);
    window.setWindowTitle(TranslateMessage(kVideoExportTitle));
    auto* form = new QFormLayout;

    const VideoSettings& s = dialog.settings;
    QSpinBox* width = Spin(QStringLiteral("width"), 1, kMaxRenderSide, s.width);
    QSpinBox* height = Spin(QStringLiteral("height"), 1, kMaxRenderSide, s.height);
    auto* size = new QHBoxLayout;
    size->addWidget(width);
    size->addWidget(new QLabel(QStringLiteral("x")));
    size->addWidget(height);
    form->addRow(Tr("大きさ (ピクセル)"), size);

    auto* animation = new QComboBox;
    animation->setObjectName(QStringLiteral("animation"));
    for (const std::string& name : dialog.animationNames) {
        animation->addItem(FromCp932(name));
    }
    form->addRow(Tr("アニメーション"), animation);
    QSpinBox* first = Spin(QStringLiteral("first"), 0, 0, 0);
    QSpinBox* last = Spin(QStringLiteral("last"), 0, 0, 0);
    form->addRow(Tr("最初のフレーム"), first);
    form->addRow(Tr("最後のフレーム"), last);
    // Another animation brings its own length: the range becomes all of it.
    auto range = [&](int index, int from, int to) {
        const int count = index >= 0 && static_cast<std::size_t>(index) < dialog.frameCounts.size()
                              ? dialog.frameCounts[static_cast<std::size_t>(index)]
                              : 1;
        first->setRange(0, count - 1);
        last->setRange(0, count - 1);
        first->setValue(from);
        last->setValue(to < 0 ? count - 1 : to);
    };
    QObject::connect(animation, &QComboBox::currentIndexChanged, &window, [&](int index) { range(index, 0, -1); });
    {
        const QSignalBlocker quiet(animation);
        animation->setCurrentIndex(s.animation);
    }
    range(s.animation, s.firstFrame, s.lastFrame);

    auto* rate = new QDoubleSpinBox;
    rate->setObjectName(QStringLiteral("rate"));
    rate->setDecimals(2);
    rate->setRange(kMinVideoRate, kMaxVideoRate);
    rate->setValue(s.fps);
    form->addRow(Tr("1秒間のフレーム数"), rate);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QCoreApplication::translate("Messages", "キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &window, [&] {
        if (first->value() > last->value()) {
            QMessageBox::information(&window, QStringLiteral("Vantomo"), TranslateMessage(kFrameOutOfRangeMessage));
            first->setFocus();
            return;
        }
        window.accept();
    });
    form->addRow(buttons);
    window.setLayout(form);
    // The first field takes the focus with its number selected, ready to type over.
    width->setFocus(Qt::TabFocusReason);
    width->selectAll();

    if (window.exec() != QDialog::Accepted) {
        return false;
    }
    dialog.settings.width = width->value();
    dialog.settings.height = height->value();
    dialog.settings.animation = animation->currentIndex();
    dialog.settings.firstFrame = first->value();
    dialog.settings.lastFrame = last->value();
    dialog.settings.fps = rate->value();
    return true;
}

} // namespace vantomo
