#include "shell/panes/PaneDialogs.h"

#include <cmath>

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "document/Document.h"
#include "base/PathHelpers.h"
#include "import/TextureLoader.h"
#include "shell/panes/DialogFolders.h"
#include "shell/panes/PaneText.h"
#include "shell/panes/Panes.h"

namespace vantomo {

ExchangeDialog::ExchangeDialog(QWidget* parent, const QString& cancelText) : QDialog(parent)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* outer = new QHBoxLayout(this);
    m_content = new QVBoxLayout;
    outer->addLayout(m_content, 1);
    auto* buttons = new QVBoxLayout;
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(cancelText, this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    outer->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ExchangeDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The buttons were made before the fields: Tab goes through the fields
    // first and reaches OK and Cancel last.
    QWidget* last = nullptr;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (w != m_ok && w != m_cancel && isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) != 0) {
            last = w;
        }
    }
    if (last != nullptr) {
        QWidget::setTabOrder(last, m_ok);
        QWidget::setTabOrder(m_ok, m_cancel);
    }
    if (m_firstField != nullptr && m_firstField->isEnabled()) {
        m_firstField->setFocus(Qt::TabFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(m_firstField)) {
            edit->selectAll();
        }
    }
}

bool ExchangeDialog::ReadInteger(QLineEdit* edit, int& value)
{
    if (ExchangeInteger(edit->text().toStdString(), value)) {
        return true;
    }
    ShowPaneMessage(this, kEnterIntegerMessage);
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool ExchangeDialog::ReadFloat(QLineEdit* edit, float& value)
{
    if (ExchangeFloat(edit->text().toStdString(), value)) {
        return true;
    }
    ShowPaneMessage(this, kEnterNumberMessage);
    edit->setFocus();
    edit->selectAll();
    return false;
}

QLineEdit* ExchangeDialog::NumberEdit(const QString& name, const QString& text, int width)
{
    auto* edit = new QLineEdit(text, this);
    edit->setObjectName(name);
    edit->setFixedWidth(width);
    return edit;
}

// --- Key dialog ---------------------------------------------------------

CDlgKeyFrame::CDlgKeyFrame(QWidget* parent, const KeyFrameDialog& data)
    : ExchangeDialog(parent, tr("ｷｬﾝｾﾙ")), m_data(data)
{
    setWindowTitle(tr("ﾓﾃﾞﾙのｷｰﾌﾚｰﾑの追加・削除"));
    auto* frameRow = new QHBoxLayout;
    m_frame = NumberEdit(QStringLiteral("frame"), FormatInteger(m_data.frame), 60);
    frameRow->addWidget(m_frame);
    SetFirstField(m_frame);
    frameRow->addWidget(new QLabel(tr("ﾌﾚｰﾑ"), this));
    frameRow->addStretch(1);
    Content()->addLayout(frameRow);
    m_action = new QButtonGroup(this);
    const QString texts[4] = {tr("選択中のﾓﾃﾞﾙのｷｰﾌﾚｰﾑを追加"), tr("選択中のｷｬﾗｸﾀｰの全てのﾓﾃﾞﾙのｷｰﾌﾚｰﾑを追加"),
                              tr("選択中のﾓﾃﾞﾙのｷｰﾌﾚｰﾑを削除"), tr("選択中のｷｬﾗｸﾀｰの全てのﾓﾃﾞﾙのｷｰﾌﾚｰﾑを削除")};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(texts[i], this);
        radio->setObjectName(QStringLiteral("action%1").arg(i));
        m_action->addButton(radio, i);
        Content()->addWidget(radio);
    }
    if (QAbstractButton* chosen = m_action->button(m_data.action)) {
        chosen->setChecked(true);
    }
    Content()->addStretch(1);
}

void CDlgKeyFrame::accept()
{
    int frame = m_data.frame;
    if (!ReadInteger(m_frame, frame)) {
        return;
    }
    m_data.frame = frame;
    if (m_action->checkedId() >= 0) {
        m_data.action = m_action->checkedId();
    }
    QDialog::accept();
}

// --- Frame insertion and deletion --------------------------------------

CDlgInsert::CDlgInsert(QWidget* parent, const FrameInsertDialog& data)
    : ExchangeDialog(parent, tr("ｷｬﾝｾﾙ")), m_data(data)
{
    setWindowTitle(tr("ﾌﾚｰﾑの挿入"));
    auto* row = new QHBoxLayout;
    m_after = NumberEdit(QStringLiteral("after"), FormatInteger(m_data.after), 50);
    m_count = NumberEdit(QStringLiteral("count"), FormatInteger(m_data.count), 50);
    SetFirstField(m_after);
    row->addWidget(m_after);
    row->addWidget(new QLabel(tr("ﾌﾚｰﾑ目の後ろに"), this));
    row->addWidget(m_count);
    row->addWidget(new QLabel(tr("ﾌﾚｰﾑ追加"), this));
    row->addStretch(1);
    Content()->addStretch(1);
    Content()->addLayout(row);
    Content()->addStretch(1);
}

void CDlgInsert::accept()
{
    FrameInsertDialog read = m_data;
    if (!ReadInteger(m_after, read.after) || !ReadInteger(m_count, read.count)) {
        return;
    }
    m_data = read;
    QDialog::accept();
}

CDlgDelete::CDlgDelete(QWidget* parent, const FrameDeleteDialog& data)
    : ExchangeDialog(parent, tr("ｷｬﾝｾﾙ")), m_data(data)
{
    setWindowTitle(tr("ﾌﾚｰﾑの削除"));
    auto* grid = new QGridLayout;
    m_start = NumberEdit(QStringLiteral("start"), FormatInteger(m_data.start), 50);
    m_end = NumberEdit(QStringLiteral("end"), FormatInteger(m_data.end), 50);
    SetFirstField(m_start);
    grid->addWidget(new QLabel(tr("始点"), this), 0, 0);
    grid->addWidget(new QLabel(tr("終点"), this), 0, 2);
    grid->addWidget(m_start, 1, 0);
    grid->addWidget(new QLabel(tr("～"), this), 1, 1);
    grid->addWidget(m_end, 1, 2);
    grid->addWidget(new QLabel(tr("ﾌﾚｰﾑを削除"), this), 1, 3);
    grid->setColumnStretch(4, 1);
    Content()->addStretch(1);
    Content()->addLayout(grid);
    Content()->addStretch(1);
}

void CDlgDelete::accept()
{
    FrameDeleteDialog read = m_data;
    if (!ReadInteger(m_start, read.start) || !ReadInteger(m_end, read.end)) {
        return;
    }
    m_data = read;
    QDialog::accept();
}

// --- Export options -------------------------------------------------------

CDlgSave::CDlgSave(QWidget* parent, const ExportDialog& data) : ExchangeDialog(parent, tr("ｷｬﾝｾﾙ")), m_data(data)
{
    const ExportSettings& s = m_data.settings;
    // The title is one of the core's texts; the catalog knows each.
    setWindowTitle(QCoreApplication::translate("Panes", m_data.title.c_str()));

    auto radioGroup = [this](QGroupBox* box, QButtonGroup* group, const QStringList& texts, const QString& name,
                             int checked) {
        auto* layout = new QVBoxLayout(box);
        for (int i = 0; i < texts.size(); ++i) {
            auto* radio = new QRadioButton(texts[i], box);
            radio->setObjectName(name + QString::number(i));
            group->addButton(radio, i);
            layout->addWidget(radio);
        }
        if (QAbstractButton* button = group->button(checked)) {
            button->setChecked(true);
        }
        return layout;
    };

    auto* keysBox = new QGroupBox(tr("ｱﾆﾒｰｼｮﾝｷｰ"), this);
    m_animationKeys = new QButtonGroup(this);
    radioGroup(keysBox, m_animationKeys, {tr("移動・回転・ｽｹｰﾙ"), tr("行列"), tr("なし")}, QStringLiteral("keys"),
               s.animationKeys);
    for (int i = 0; i < 3; ++i) {
        m_animationKeys->button(i)->setEnabled(s.AnimationKeyAvailable(i));
    }

    auto* speedBox = new QGroupBox(tr("ｱﾆﾒｰｼｮﾝ速度"), this);
    auto* speedRow = new QHBoxLayout(speedBox);
    m_speed = NumberEdit(QStringLiteral("speed"), FormatInteger(s.speed), 50);
    // A speed of 0 means the kind has no speed to choose.
    m_speed->setReadOnly(s.speed == 0);
    if (m_speed->isReadOnly()) {
        // Shown on the dialog's own background, as a field that takes no typing.
        QPalette shaded = m_speed->palette();
        shaded.setColor(QPalette::Base, shaded.color(QPalette::Window));
        m_speed->setPalette(shaded);
    }
    speedRow->addWidget(new QLabel(tr("1ﾌﾚｰﾑを"), speedBox));
    speedRow->addWidget(m_speed);
    speedRow->addWidget(new QLabel(tr("倍"), speedBox));
    speedRow->addStretch(1);

    auto* qualityBox = new QGroupBox(tr("ﾃｸｽﾁｬのｸｵﾘﾃｨ"), this);
    m_meshLayout = new QButtonGroup(this);
    QVBoxLayout* qualityLayout = radioGroup(qualityBox, m_meshLayout, {tr("標準(ｻｲｽﾞ小)"), tr("高画質ﾃｸｽﾁｬ(ｻｲｽﾞ大)")},
                                            QStringLiteral("layout"), s.meshLayout);
    for (int i = 0; i < 2; ++i) {
        m_meshLayout->button(i)->setEnabled(s.MeshLayoutAvailable());
    }
    m_writeUV = new QCheckBox(tr("UV座標"), qualityBox);
    m_writeUV->setObjectName(QStringLiteral("uv"));
    m_writeUV->setChecked(s.writeUV != 0);
    m_writeUV->setEnabled(s.WriteUVAvailable());
    qualityLayout->addWidget(m_writeUV);

    auto* normalsBox = new QGroupBox(tr("法線"), this);
    auto* normalsLayout = new QVBoxLayout(normalsBox);
    m_writeNormals = new QCheckBox(tr("書き出す"), normalsBox);
    m_writeNormals->setObjectName(QStringLiteral("normals"));
    // Unavailable normals are always written, so the box shows ticked.
    m_writeNormals->setChecked(s.writeNormals != 0 || !s.WriteNormalsAvailable());
    m_writeNormals->setEnabled(s.WriteNormalsAvailable());
    normalsLayout->addWidget(m_writeNormals);

    auto* lightsBox = new QGroupBox(tr("ﾗｲﾄ"), this);
    auto* lightsLayout = new QVBoxLayout(lightsBox);
    m_writeLights = new QCheckBox(tr("書き出す"), lightsBox);
    m_writeLights->setObjectName(QStringLiteral("lights"));
    m_writeLights->setChecked(s.writeLights != 0);
    m_writeLights->setEnabled(s.WriteLightsAvailable());
    lightsLayout->addWidget(m_writeLights);

    auto* scaleBox = new QGroupBox(tr("ｽｹｰﾙ"), this);
    auto* scaleRow = new QHBoxLayout(scaleBox);
    m_scale = NumberEdit(QStringLiteral("scale"), FormatGeneral(s.scale), 80);
    scaleRow->addWidget(m_scale);
    scaleRow->addWidget(new QLabel(tr("倍"), scaleBox));
    scaleRow->addStretch(1);

    for (QGroupBox* box : {keysBox, speedBox, qualityBox, normalsBox, lightsBox, scaleBox}) {
        Content()->addWidget(box);
    }
    Content()->addStretch(1);
    // The first choice the kind leaves open: the chosen key kind, else the
    // speed, else the scale, which every kind has.
    QWidget* first = m_scale;
    if (QAbstractButton* keys = m_animationKeys->checkedButton(); keys != nullptr && keys->isEnabled()) {
        first = keys;
    } else if (!m_speed->isReadOnly()) {
        first = m_speed;
    }
    SetFirstField(first);
}

void CDlgSave::accept()
{
    ExportSettings read = m_data.settings;
    if (!ReadInteger(m_speed, read.speed) || !ReadFloat(m_scale, read.scale)) {
        return;
    }
    if (m_animationKeys->checkedId() >= 0) {
        read.animationKeys = m_animationKeys->checkedId();
    }
    if (m_meshLayout->checkedId() >= 0) {
        read.meshLayout = m_meshLayout->checkedId();
    }
    read.writeUV = m_writeUV->isChecked() ? 1 : 0;
    read.writeNormals = m_writeNormals->isChecked() ? 1 : 0;
    read.writeLights = m_writeLights->isChecked() ? 1 : 0;
    m_data.settings = read; // the locks were copied unchanged
    QDialog::accept();
}

// --- Material dialog ------------------------------------------------------

namespace {

// The slider position of a value: trunc(value x factor) within the slider's
// 0 to 100, so a colour typed beyond 1 puts its slider at the end.
int SliderPosition(float value, float factor)
{
    const double position = std::trunc(static_cast<double>(value) * static_cast<double>(factor));
    if (!(position > 0.0)) {
        return 0;
    }
    return position >= 100.0 ? 100 : static_cast<int>(position);
}

class PreviewFrame : public QFrame {
public:
    PreviewFrame(CDlgMaterial* dialog, QWidget* parent) : QFrame(parent), m_dialog(dialog)
    {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setFixedSize(170, 45);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), m_dialog->PreviewColor());
        painter.end();
        QFrame::paintEvent(event);
    }

private:
    CDlgMaterial* m_dialog;
};

} // namespace

CDlgMaterial::CDlgMaterial(QWidget* parent, const MaterialDialog& data)
    : ExchangeDialog(parent, tr("キャンセル")), m_data(data)
{
    setWindowTitle(tr("材質設定"));
    auto* columns = new QHBoxLayout;
    auto* left = new QGridLayout;
    auto* right = new QGridLayout;
    columns->addLayout(left);
    columns->addSpacing(16);
    columns->addLayout(right);
    Content()->addLayout(columns);

    m_preview = new PreviewFrame(this, this);
    m_preview->setObjectName(QStringLiteral("preview"));
    left->addWidget(m_preview, 0, 1, 1, 2);
    m_coupled.reserve(9);
    AddCoupled(left, 1, tr("赤"), QStringLiteral("red"), m_data.red, 100.0f, true);
    AddCoupled(left, 2, tr("緑"), QStringLiteral("green"), m_data.green, 100.0f, true);
    AddCoupled(left, 3, tr("青"), QStringLiteral("blue"), m_data.blue, 100.0f, true);
    AddCoupled(left, 4, tr("不透明度"), QStringLiteral("opacity"), m_data.opacity, 100.0f, false);
    left->addWidget(new QLabel(tr("名前"), this), 5, 0);
    m_name = new QLineEdit(FromCp932(m_data.name), this);
    m_name->setObjectName(QStringLiteral("name"));
    left->addWidget(m_name, 5, 1, 1, 2);

    SetFirstField(m_coupled.front().edit);
    right->setRowMinimumHeight(0, 1);
    AddCoupled(right, 1, tr("拡散光"), QStringLiteral("diffuse"), m_data.diffuse, 100.0f, false);
    AddCoupled(right, 2, tr("自己照明"), QStringLiteral("emissive"), m_data.emissive, 100.0f, false);
    AddCoupled(right, 3, tr("反射光"), QStringLiteral("specular"), m_data.specular, 100.0f, false);
    AddCoupled(right, 4, tr("反射の強さ"), QStringLiteral("power"), m_data.power, 1.0f, false);
    AddCoupled(right, 5, tr("周囲光"), QStringLiteral("ambient"), m_data.ambient, 100.0f, false);
    auto* textureButton = new QPushButton(tr("ﾃｸｽﾁｬ"), this);
    textureButton->setObjectName(QStringLiteral("chooseTexture"));
    m_texture = new QLineEdit(FromCp932(m_data.texture), this);
    m_texture->setObjectName(QStringLiteral("texture"));
    right->addWidget(textureButton, 6, 0);
    right->addWidget(m_texture, 6, 1, 1, 2);
    connect(textureButton, &QPushButton::clicked, this, &CDlgMaterial::ChooseTexture);
    Content()->addStretch(1);
}

void CDlgMaterial::AddCoupled(QGridLayout* grid, int row, const QString& label, const QString& name, float& field,
                              float factor, bool colour)
{
    Coupled pair;
    pair.slider = new QSlider(Qt::Horizontal, this);
    pair.slider->setObjectName(name + QStringLiteral("Slider"));
    pair.slider->setRange(0, 100);
    pair.slider->setTickPosition(QSlider::NoTicks);
    pair.slider->setMinimumWidth(180);
    pair.slider->setValue(SliderPosition(field, factor));
    pair.edit = NumberEdit(name, FormatGeneral(field), 70);
    pair.field = &field;
    pair.factor = factor;
    pair.colour = colour;
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(pair.slider, row, 1);
    grid->addWidget(pair.edit, row, 2);
    m_coupled.push_back(pair);

    QSlider* slider = pair.slider;
    QLineEdit* edit = pair.edit;
    // Only the pair that moved follows: a colour typed beyond 1 in another
    // edit keeps its text when this slider moves.
    connect(slider, &QSlider::valueChanged, this, [this, edit, factor, colour](int position) {
        if (m_syncing) {
            return;
        }
        m_syncing = true;
        edit->setText(FormatFixed(static_cast<float>(position) / factor));
        m_syncing = false;
        if (colour) {
            m_preview->update();
        }
    });
    connect(edit, &QLineEdit::textChanged, this, [this, slider, factor, colour](const QString& text) {
        if (m_syncing) {
            return;
        }
        float value = 0.0f;
        if (ExchangeFloat(text.toStdString(), value)) {
            m_syncing = true;
            slider->setValue(SliderPosition(value, factor));
            m_syncing = false;
        }
        if (colour) {
            m_preview->update();
        }
    });
}

QColor CDlgMaterial::PreviewColor() const
{
    CMaterial shown;
    for (int i = 0; i < 3 && i < static_cast<int>(m_coupled.size()); ++i) {
        float value = *m_coupled[static_cast<std::size_t>(i)].field;
        // A text that is no number yet keeps the last value shown.
        (void)ExchangeFloat(m_coupled[static_cast<std::size_t>(i)].edit->text().toStdString(), value);
        shown.m_color[i] = value;
    }
    return DisplayColor(MaterialDisplayColor(shown));
}

void CDlgMaterial::ChooseTexture()
{
    // The program's texture folder, where a chosen file keeps a short name;
    // without one, where the texture in use lies, or the document does.
    const std::string folder = FindTextureFolder(ProgramFolder());
    const QString start = folder.empty()
                              ? DialogStartFolder(QFile::decodeName(m_data.textureChooserFolder.c_str()))
                              : QFile::decodeName(folder.c_str());
    QFileDialog chooser(this, tr("ﾃｸｽﾁｬ"), start,
                        tr("全ての形式") + QStringLiteral(" (*.bmp *.jpg *.jpeg *.tga *.png *.iff *.ppm)"));
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setDefaultSuffix(QStringLiteral("bmp"));
    chooser.setOption(QFileDialog::ReadOnly, false);
    if (!m_texture->text().isEmpty()) {
        chooser.selectFile(m_texture->text());
    }
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return;
    }
    RememberDialogFolder(chooser.selectedFiles().front());
    const std::string chosen = chooser.selectedFiles().front().toStdString();
    m_texture->setText(QString::fromStdString(TextureNameForChosenFile(folder, chosen)));
    update();
}

void CDlgMaterial::accept()
{
    MaterialDialog read = m_data;
    const std::optional<std::string> name = ToCp932(m_name->text());
    if (!name) {
        ShowPaneMessage(this, kNameNotCp932Message);
        m_name->setFocus();
        return;
    }
    read.name = *name;
    float* fields[9] = {&read.red, &read.green, &read.blue, &read.opacity, &read.diffuse,
                        &read.emissive, &read.specular, &read.power, &read.ambient};
    for (std::size_t i = 0; i < m_coupled.size() && i < 9; ++i) {
        if (!ReadFloat(m_coupled[i].edit, *fields[i])) {
            return;
        }
    }
    const std::optional<std::string> texture = ToCp932(m_texture->text());
    if (!texture) {
        ShowPaneMessage(this, kTextureNotCp932Message);
        m_texture->setFocus();
        return;
    }
    read.texture = *texture;
    m_data = read;
    QDialog::accept();
}

// --- The entry points -----------------------------------------------------

namespace {

template <typename Dialog, typename Data>
bool Run(QWidget* parent, Data& data)
{
    Dialog dialog(parent, data);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    data = dialog.m_data;
    return true;
}

} // namespace

bool ShowKeyFrameDialog(QWidget* parent, KeyFrameDialog& dialog) { return Run<CDlgKeyFrame>(parent, dialog); }

bool ShowFrameInsertDialog(QWidget* parent, FrameInsertDialog& dialog) { return Run<CDlgInsert>(parent, dialog); }

bool ShowFrameDeleteDialog(QWidget* parent, FrameDeleteDialog& dialog) { return Run<CDlgDelete>(parent, dialog); }

bool ShowExportDialog(QWidget* parent, ExportDialog& dialog) { return Run<CDlgSave>(parent, dialog); }

bool ShowMaterialDialog(QWidget* parent, MaterialDialog& dialog) { return Run<CDlgMaterial>(parent, dialog); }

} // namespace vantomo
