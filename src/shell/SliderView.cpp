#include "shell/SliderView.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStyleOptionSlider>
#include <QToolTip>
#include <QVBoxLayout>

#include "document/Navigation.h"
#include "animation/Pose.h"
#include "document/Commands.h"
#include "document/Dialogs.h"
#include "document/KeyEditing.h"
#include "document/PanelEditing.h"
#include "scene/AppValues.h"
#include "base/Numbers.h"
#include "shell/QtUserInterface.h"

namespace vantomo {

namespace {

// Dialog units of the form to pixels: wide enough across for "%f" numbers in
// today's fonts, and tight enough down that the four rows fit the panel's
// height below the 3D view.
QRect Dlu(int x, int y, int w, int h)
{
    return QRect(x * 2, y * 7 / 5, w * 2, std::max(20, h * 3 / 2));
}

QString Text(const std::string& s) { return QString::fromStdString(s); }

const char* const kRateItems[] = {"1", "5", "10", "15", "30", "60", "100", "1000"};

} // namespace

KeySlider::KeySlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setTickPosition(QSlider::NoTicks);
}

void KeySlider::SetTicks(std::vector<int> ticks)
{
    m_ticks = std::move(ticks);
    update();
}

void KeySlider::paintEvent(QPaintEvent* event)
{
    QSlider::paintEvent(event);
    if (m_ticks.empty()) {
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    const int left = groove.left() + handle.width() / 2;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int top = std::max(0, handle.top() - 6);
    for (int tick : m_ticks) {
        const int x = left + QStyle::sliderPositionFromValue(minimum(), maximum(), tick, span);
        painter.drawLine(x, top, x, top + 4);
    }
}

CSliderView::CSliderView(CVantomoDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    // The controls lie on a form inside a scroll area: a narrow pane wraps
    // the frame fields onto more rows, and one narrower still scrolls, so
    // every control stays in reach.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ControlScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFocusPolicy(Qt::NoFocus); // Tab goes from field to field, never to the area
    m_form = new QWidget;
    m_form->setObjectName(QStringLiteral("ControlForm"));
    m_scroll->setWidget(m_form);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    const char* const toggles[4] = {"X", "Y", "Z", "度"};
    for (int i = 0; i < 4; ++i) {
        m_enable[i] = new QPushButton(QString::fromUtf8(toggles[i]), m_form);
        m_enable[i]->setCheckable(true);
        m_enable[i]->setFocusPolicy(Qt::TabFocus);
        m_values[i] = new QLineEdit(m_form);
        m_values[i]->installEventFilter(this);
    }
    for (int i = 0; i < 4; ++i) {
        connect(m_enable[i], &QPushButton::clicked, this,
                [this, i](bool checked) { m_doc.SetComponentEnabled(i, checked); });
        // Typed values only: a dropped text would bypass the field's editing.
        m_values[i]->setAcceptDrops(false);
    }

    for (int i = 0; i < 3; ++i) {
        m_labels[i] = new QLabel(m_form);
        m_labels[i]->setAlignment(Qt::AlignCenter);
        m_labels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    m_currentFrame = new QLineEdit(m_form);
    m_currentFrame->installEventFilter(this);
    m_currentFrame->setAcceptDrops(false);
    m_lastFrame = new QLineEdit(m_form);
    m_lastFrame->installEventFilter(this);
    m_lastFrame->setAcceptDrops(false);
    m_rate = new QComboBox(m_form);
    m_rate->setEditable(true);
    for (const char* item : kRateItems) {
        m_rate->addItem(QString::fromLatin1(item));
    }
    m_rate->setInsertPolicy(QComboBox::NoInsert);
    // A rate is typed as it stands: "6" must not become "60" by completion.
    m_rate->setCompleter(nullptr);
    m_rate->lineEdit()->setAcceptDrops(false);
    m_rate->lineEdit()->installEventFilter(this);
    // The item chosen, not the text before it (the list's text lagged behind
    // the choice on the old platform).
    connect(m_rate, &QComboBox::activated, this, [this](int index) { ApplyRate(m_rate->itemText(index)); });

    m_slider = new KeySlider(m_form);
    m_slider->setFocusPolicy(Qt::ClickFocus);
    connect(m_slider, &QSlider::valueChanged, this, &CSliderView::SliderMoved);

    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CSliderView::Tick);

    ReloadTexts();
    Refresh();
    SyncTimer(false);
    m_doc.AddView(this);
    // Every size of the form places the controls anew.
    m_form->installEventFilter(this);
}

CSliderView::~CSliderView()
{
    m_doc.RemoveView(this);
    m_timer.stop();
}

void CSliderView::SyncTimer(bool restart)
{
    const Playback& playback = m_doc.GetPlayback();
    if (g_playing != 1 || !playback.IsRunning()) {
        m_timer.stop();
    } else if (restart || !m_timer.isActive() || m_timer.interval() != playback.PeriodMs()) {
        m_timer.start(playback.PeriodMs());
    }
}

void CSliderView::Tick()
{
    if (LongWorkRunning()) {
        return; // a file is being read or written: the frame waits for it
    }
    m_doc.PlaybackTick();
}

void CSliderView::ShowText(QLineEdit* field, const QString& text)
{
    // What the user is typing stays until Enter or leaving the field applies it.
    if (field->isModified()) {
        return;
    }
    field->setText(text);
    field->setModified(false);
    // A value longer than the field shows its start, so the sign is never hidden.
    field->setCursorPosition(0);
}

void CSliderView::ShowValues(const std::array<float, 4>& values)
{
    for (std::size_t i = 0; i < 4; ++i) {
        ShowText(m_values[i], Text(FormatFixed6(values[i])));
    }
}

void CSliderView::ShowFrames()
{
    ShowText(m_currentFrame, Text(FormatInt(g_currentFrame)));
    ShowText(m_lastFrame, Text(FormatInt(g_lastFrame)));
    m_settingSlider = true;
    m_slider->setRange(0, std::max(0, g_lastFrame));
    m_slider->setValue(g_currentFrame);
    m_settingSlider = false;
}

void CSliderView::ShowTicks()
{
    std::vector<int> ticks;
    if (const CModel* model = m_doc.Scene().GetSelectedModel()) {
        if (g_currentAnimation >= 0 && static_cast<std::size_t>(g_currentAnimation) < model->m_tracks.size()) {
            const auto& track = model->m_tracks[static_cast<std::size_t>(g_currentAnimation)];
            for (std::size_t i = 0; i < track.size(); ++i) {
                if (track[i].m_key == 1) {
                    ticks.push_back(static_cast<int>(i));
                }
            }
        }
    }
    if (ticks != m_slider->Ticks()) {
        m_slider->SetTicks(std::move(ticks));
    }
}

void CSliderView::Refresh()
{
    const CTessaline& scene = m_doc.Scene();
    ShowValues(m_doc.ShownValues());
    m_values[3]->setReadOnly(!(m_doc.m_mouseMode == MouseMode::Animation && scene.m_transformMode == 1));
    const int enabled[4] = {scene.m_enableX, scene.m_enableY, scene.m_enableZ, scene.m_enableAngle};
    for (int i = 0; i < 4; ++i) {
        m_enable[i]->setChecked(enabled[i] != 0);
    }
    ShowFrames();
    ShowTicks();
    if (!m_rate->lineEdit()->isModified()) {
        m_rate->setEditText(Text(FormatFixed6(m_doc.Scene().m_fps)));
        m_rate->lineEdit()->setModified(false);
    }
}

void CSliderView::ReloadTexts()
{
    m_enable[3]->setText(QCoreApplication::translate("ControlPanel", "度"));
    m_labels[0]->setText(QCoreApplication::translate("ControlPanel", "現在のﾌﾚｰﾑ"));
    m_labels[1]->setText(QCoreApplication::translate("ControlPanel", "最後のﾌﾚｰﾑ"));
    m_labels[2]->setText(QCoreApplication::translate("ControlPanel", "1秒間のﾌﾚｰﾑ数"));
}

void CSliderView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ReloadTexts();
        PlaceControls();
    }
    QWidget::changeEvent(event);
}

int CSliderView::ValueFieldWidth() const
{
    // The form's 41 dialog units, or what the widest value the camera
    // commonly holds needs in today's font, whichever is more.
    const QFontMetrics metrics(m_values[0]->font());
    return std::max(Dlu(0, 0, 41, 13).width(), metrics.horizontalAdvance(QStringLiteral("-1500.000000")) + 14);
}

void CSliderView::PlaceControls()
{
    const QRect client = m_form->rect();
    // The toggles and value fields: the form's column, the fields widened to
    // what their numbers need.
    const int fieldWidth = ValueFieldWidth();
    int left = 0;
    for (int i = 0; i < 4; ++i) {
        const int y = i == 3 ? 52 : 3 + 16 * i;
        m_enable[i]->setGeometry(Dlu(4, y, 12, 13));
        const QRect field = Dlu(19, y, 41, 13);
        m_values[i]->setGeometry(field.x(), field.y(), fieldWidth, field.height());
        left = std::max(left, m_values[i]->geometry().right() + 1);
    }

    // The three labelled fields, side by side as on the form while they fit,
    // else wrapped onto further rows.
    struct Group {
        QLabel* label;
        QWidget* field;
        QRect labelRect;
        QRect fieldRect;
    };
    const Group groups[3] = {{m_labels[0], m_currentFrame, Dlu(69, 5, 45, 14), Dlu(117, 5, 23, 14)},
                             {m_labels[1], m_lastFrame, Dlu(148, 5, 45, 14), Dlu(196, 5, 23, 14)},
                             {m_labels[2], m_rate, Dlu(227, 5, 54, 14), Dlu(285, 5, 45, 14)}};
    const int start = std::max(Dlu(69, 0, 0, 0).x(), left + 12);
    const int right = client.right() - 10;
    const int rowHeight = groups[0].labelRect.height();
    int x = start;
    int y = groups[0].labelRect.y();
    int widest = 0;
    int rows = 1;
    for (const Group& g : groups) {
        const int labelWidth = std::max(g.labelRect.width(), g.label->sizeHint().width() + 8);
        const int width = labelWidth + 6 + g.fieldRect.width();
        widest = std::max(widest, width);
        if (x > start && x + width > right) {
            x = start;
            y += rowHeight + 6;
            ++rows;
        }
        g.label->setGeometry(x, y, labelWidth, rowHeight);
        g.field->setGeometry(x + labelWidth + 6, y, g.fieldRect.width(), rowHeight);
        x += width + 16;
    }

    // The timeline below them, to the right edge.
    const bool english = m_doc.Scene().m_languageName == "English";
    const int sliderX = std::max(client.left() + 110, left + 8);
    const int sliderY = std::max(english ? 50 : 45, y + rowHeight + 4);
    // The form's slider is taller than its groove and ticks need: in a low
    // pane it gives up the empty part first.
    const int sliderNeeds = m_slider->sizeHint().height() + 8;
    const int sliderHeight = std::max(sliderNeeds, std::min(english ? 60 : 55, client.bottom() - 1 - sliderY));
    m_slider->setGeometry(sliderX, sliderY, std::max(0, client.right() - 10 - sliderX), sliderHeight);
    m_slider->update();

    // Narrower than the widest row, or lower than the rows need: the area scrolls.
    const int needWidth = std::max(start + widest, sliderX + 120) + 10;
    const int needHeight = std::max(m_values[3]->geometry().bottom(), sliderY + sliderNeeds) + 2;
    const QSize need(needWidth, needHeight);
    if (m_form->minimumSize() != need) {
        m_form->setMinimumSize(need);
    }
    m_rows = rows;
}

namespace {

// A key of a main-window command: in the panel's fields it runs the command,
// as the program's accelerators always did, instead of the field's own
// meaning (Ctrl+Z undoes the scene, not the typing).
bool IsWindowCommandKey(const QKeyEvent& key)
{
    const QKeySequence pressed(key.keyCombination());
    for (const CommandInfo& info : CommandTable()) {
        if (info.owner != CommandOwner::None && info.scope == KeyScope::Window && !info.key.empty() &&
            QKeySequence(QString::fromLatin1(info.key.data(), static_cast<qsizetype>(info.key.size()))) == pressed) {
            return true;
        }
    }
    return false;
}

// Keys a field types with or moves its cursor by stay the field's, also
// where a window command has them (Home frames the scene, F the selection).
bool IsFieldEditingKey(const QKeyEvent& key)
{
    if ((key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) != Qt::NoModifier) {
        return false;
    }
    return key.key() == Qt::Key_Home || key.key() == Qt::Key_End || (!key.text().isEmpty() && key.text().at(0).isPrint());
}

} // namespace

bool CSliderView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_form) {
        if (event->type() == QEvent::Resize) {
            PlaceControls();
        }
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride && IsWindowCommandKey(*static_cast<QKeyEvent*>(event)) &&
        !IsFieldEditingKey(*static_cast<QKeyEvent*>(event))) {
        // Left unaccepted, the key goes on to the window's shortcut.
        event->ignore();
        return true;
    }
    const bool leaving = event->type() == QEvent::FocusOut;
    const bool enter = event->type() == QEvent::KeyPress &&
                       (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
    if (leaving || enter) {
        auto* field = qobject_cast<QLineEdit*>(watched);
        // Only a field whose text was edited applies it: leaving an untouched
        // field must not round its value, add an undo entry or stop playback.
        if (field != nullptr && field->isModified()) {
            field->setModified(false);
            if (field == m_rate->lineEdit()) {
                ApplyRate(field->text());
            } else {
                ApplyField(field);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CSliderView::ApplyField(QLineEdit* field)
{
    if (field == m_currentFrame) {
        m_doc.ApplyCurrentFrameText(field->text().toStdString());
    } else if (field == m_lastFrame) {
        // A count that is not new, or one refused, changes nothing: the field
        // shows the count in force again.
        if (!m_doc.ApplyLastFrameText(field->text().toStdString())) {
            Refresh();
        }
    } else {
        for (int i = 0; i < 4; ++i) {
            if (field == m_values[i]) {
                m_doc.ApplyValueField(i, static_cast<float>(AtofC(field->text().toStdString())));
            }
        }
    }
}

void CSliderView::ApplyRate(const QString& text)
{
    m_doc.ApplyRateText(text.toStdString());
}

void CSliderView::SliderMoved(int position)
{
    if (m_settingSlider) {
        return;
    }
    m_doc.SetCurrentFrame(position);
    QToolTip::showText(QCursor::pos(), Text(FormatInt(position)), m_slider);
}

void CSliderView::OnChange(const ChangeNotice& change)
{
    Refresh();
    SyncTimer(change.kind == Change::Play);
}

} // namespace vantomo
