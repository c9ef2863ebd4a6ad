#include "shell/AboutBox.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace vantomo {

namespace {

constexpr const char* kMakerPage = VANTOMO_MAKER_PAGE;
constexpr const char* kMakerMail = VANTOMO_MAKER_MAIL;

} // namespace

void ShowAboutBox(QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::translate("About", "Vantomoのﾊﾞｰｼﾞｮﾝ情報"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* icon = new QLabel(&dialog);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/vantomo.svg")).pixmap(48, 48));
    layout->addWidget(icon);
    layout->addWidget(new QLabel(QStringLiteral("Vantomo Version 1.7"), &dialog));
    for (const char* target : {kMakerPage, kMakerMail}) {
        QString text = QString::fromLatin1(target);
        text.remove(QStringLiteral("mailto:"));
        auto* link = new QLabel(QStringLiteral("<a style=\"color:#0000ee\" href=\"%1\">%2</a>")
                                    .arg(QString::fromLatin1(target), text.toHtmlEscaped()),
                                &dialog);
        link->setOpenExternalLinks(true);
        link->setToolTip(QString::fromLatin1(target));
        link->setCursor(Qt::PointingHandCursor);
        layout->addWidget(link);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}

} // namespace vantomo
