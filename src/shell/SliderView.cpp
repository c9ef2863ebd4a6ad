#include "shell/SliderView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionSlider>
#include <QToolTip>

#include "animation/Navigation.h"
#include "animation/Pose.h"
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
    const char* const toggles[4] = {"X", "Y", "Z", "度"};
    for (int i = 0; i < 4; ++i) {
        m_enable[i] = new QPushButton(QString::fromUtf8(toggles[i]), this);
        m_enable[i]->setCheckable(true);
        m_enable[i]->setGeometry(Dlu(4, i == 3 ? 52 : 3 + 16 * i, 12, 13));
        m_enable[i]->setFocusPolicy(Qt::TabFocus);
        m_values[i] = new QLineEdit(this);
        m_values[i]->setGeometry(Dlu(19, i == 3 ? 52 : 3 + 16 * i, 41, 13));
        m_values[i]->installEventFilter(this);
    }
    connect(m_enable[0], &QPushButton::clicked, this, [this] {
        m_doc.Scene().m_enableX = !m_doc.Scene().m_enableX;
        m_enable[0]->setChecked(m_doc.Scene().m_enableX != 0);
    });
    connect(m_enable[1], &QPushButton::clicked, this, [this] {
        m_doc.Scene().m_enableY = !m_doc.Scene().m_enableY;
        m_enable[1]->setChecked(m_doc.Scene().m_enableY != 0);
    });
    connect(m_enable[2], &QPushButton::clicked, this, [this] {
        m_doc.Scene().m_enableZ = !m_doc.Scene().m_enableZ;
        m_enable[2]->setChecked(m_doc.Scene().m_enableZ != 0);
    });
    connect(m_enable[3], &QPushButton::clicked, this, [this] {
        m_doc.Scene().m_enableAngle = !m_doc.Scene().m_enableAngle;
        m_enable[3]->setChecked(m_doc.Scene().m_enableAngle != 0);
    });

    const QRect labelRects[3] = {Dlu(69, 5, 45, 14), Dlu(148, 5, 45, 14), Dlu(227, 5, 54, 14)};
    for (int i = 0; i < 3; ++i) {
        m_labels[i] = new QLabel(this);
        m_labels[i]->setAlignment(Qt::AlignCenter);
        m_labels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_labels[i]->setGeometry(labelRects[i]);
    }
    m_currentFrame = new QLineEdit(this);
    m_currentFrame->setGeometry(Dlu(117, 5, 23, 14));
    m_currentFrame->installEventFilter(this);
    m_lastFrame = new QLineEdit(this);
    m_lastFrame->setGeometry(Dlu(196, 5, 23, 14));
    m_lastFrame->installEventFilter(this);
    m_rate = new QComboBox(this);
    m_rate->setEditable(true);
    for (const char* item : kRateItems) {
        m_rate->addItem(QString::fromLatin1(item));
    }
    m_rate->setGeometry(Dlu(285, 5, 45, 14));
    m_rate->setInsertPolicy(QComboBox::NoInsert);
    connect(m_rate, &QComboBox::activated, this, &CSliderView::RateChosen);

    m_slider = new KeySlider(this);
    m_slider->setGeometry(Dlu(69, 27, 260, 24));
    m_slider->setFocusPolicy(Qt::ClickFocus);
    connect(m_slider, &QSlider::valueChanged, this, &CSliderView::SliderMoved);

    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CSliderView::Tick);

    ReloadTexts();
    // The first update: every component may be changed by the mouse.
    CTessaline& scene = m_doc.Scene();
    scene.m_enableX = scene.m_enableY = scene.m_enableZ = scene.m_enableAngle = 1;
    for (QPushButton* button : m_enable) {
        button->setChecked(true);
    }
    ResetFrameControls();
    ShowCurrentFrame();
    ShowTransformValues();
    RefreshTicks();
    m_doc.AddView(this);
}

CSliderView::~CSliderView()
{
    m_doc.RemoveView(this);
    StopTimer();
}

void CSliderView::Invalidate3D()
{
    if (invalidate3D) {
        invalidate3D();
    }
}

void CSliderView::StopTimer()
{
    m_timer.stop();
    g_playing = 0;
}

void CSliderView::StartTimer()
{
    m_timer.start(TimerPeriodMs(g_fps));
    g_playing = 1;
}

void CSliderView::ShowValues(float angle, float x, float y, float z)
{
    const float values[4] = {x, y, z, angle};
    for (int i = 0; i < 4; ++i) {
        m_values[i]->setText(Text(FormatFixed6(values[i])));
        // A value longer than the field shows its start, so the sign is never hidden.
        m_values[i]->setCursorPosition(0);
    }
}

void CSliderView::ShowTransformValues()
{
    const CTessaline& scene = m_doc.Scene();
    switch (scene.m_transformMode) {
    case 0: {
        const CVector p = GetEditPosition(scene);
        ShowValues(0.0f, p.x, p.y, p.z);
        break;
    }
    case 1: {
        const CVector a = GetEditAxis(scene);
        ShowValues(GetEditAngle(scene), a.x, a.y, a.z);
        break;
    }
    case 2: {
        const CVector s = GetEditScale(scene);
        ShowValues(0.0f, s.x, s.y, s.z);
        break;
    }
    default: break;
    }
}

void CSliderView::SetSliderPosition(int position)
{
    m_settingSlider = true;
    m_slider->setValue(position);
    m_settingSlider = false;
}

void CSliderView::ResetFrameControls()
{
    m_lastFrame->setText(Text(FormatInt(g_lastFrame)));
    m_settingSlider = true;
    m_slider->setValue(0);
    m_slider->SetTicks({});
    m_slider->setRange(0, std::max(0, g_lastFrame));
    m_settingSlider = false;
    m_rate->setEditText(Text(FormatFixed6(g_fps)));
}

void CSliderView::ShowCurrentFrame()
{
    m_currentFrame->setText(Text(FormatInt(g_currentFrame)));
    SetSliderPosition(g_currentFrame);
}

void CSliderView::RefreshTicks()
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
    m_slider->SetTicks(std::move(ticks));
}

float CSliderView::ReadFps(bool fromSelection)
{
    // The data exchange of the form: each field in turn, stopping at the first refusal.
    int frame = 0;
    float rate = 0.0f;
    if (!ExchangeInteger(m_currentFrame->text().toStdString(), frame)) {
        m_doc.Ui().ShowMessage(kEnterIntegerMessage);
    } else if (!ExchangeInteger(m_lastFrame->text().toStdString(), frame)) {
        m_doc.Ui().ShowMessage(kEnterIntegerMessage);
    } else if (!ExchangeFloat(m_rate->currentText().toStdString(), rate)) {
        m_doc.Ui().ShowMessage(kEnterNumberMessage);
    }
    const QString text = fromSelection && m_rate->currentIndex() >= 0 ? m_rate->itemText(m_rate->currentIndex())
                                                                       : m_rate->currentText();
    g_fps = ParseRate(text.toStdString());
    return g_fps;
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
        PlaceSlider();
    }
    QWidget::changeEvent(event);
}

void CSliderView::PlaceSlider()
{
    const QRect client = rect();
    const bool english = m_doc.Scene().m_languageName == "English";
    m_slider->setGeometry(client.left() + 110, english ? 50 : 45, std::max(0, client.width() - 120),
                          english ? 60 : 55);
    m_slider->update();
}

void CSliderView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceSlider();
}

bool CSliderView::eventFilter(QObject* watched, QEvent* event)
{
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
            if (field == m_currentFrame) {
                ApplyCurrentFrameField();
            } else if (field == m_lastFrame) {
                ApplyLastFrameField();
            } else {
                ApplyValueFields();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CSliderView::ApplyValueFields()
{
    float v[4];
    for (int i = 0; i < 4; ++i) {
        v[i] = static_cast<float>(AtofC(m_values[i]->text().toStdString()));
    }
    m_doc.ApplyValueFields(v[0], v[1], v[2], v[3]);
    const CTessaline& scene = m_doc.Scene();
    if (scene.m_transformMode == 1) {
        const CVector a = GetEditAxis(scene);
        ShowValues(GetEditAngle(scene), a.x, a.y, a.z);
    }
    Invalidate3D();
}

void CSliderView::ApplyCurrentFrameField()
{
    m_doc.ApplyCurrentFrameText(m_currentFrame->text().toStdString());
    StopTimer();
    SetSliderPosition(g_currentFrame);
    m_currentFrame->setText(Text(FormatInt(g_currentFrame)));
    ShowTransformValues();
    Invalidate3D();
}

void CSliderView::ApplyLastFrameField()
{
    // The hint of a new frame count shows it with its ticks; a count that is
    // not new just shows the one in force again.
    if (!m_doc.ApplyLastFrameText(m_lastFrame->text().toStdString())) {
        m_lastFrame->setText(Text(FormatInt(g_lastFrame)));
    }
}

void CSliderView::RateChosen(int index)
{
    (void)index;
    if (g_playing == 1) {
        ReadFps(true);
        m_timer.start(TimerPeriodMs(g_fps));
    } else {
        StopTimer();
        // The item just chosen, not the text before it (the list's text
        // lagged behind the choice on the old platform).
        ReadFps(true);
    }
    m_doc.SetModifiedFlag(true);
}

void CSliderView::SliderMoved(int position)
{
    if (m_settingSlider) {
        return;
    }
    g_currentFrame = position;
    m_currentFrame->setText(Text(FormatInt(position)));
    ShowTransformValues();
    Invalidate3D();
    QToolTip::showText(QCursor::pos(), Text(FormatInt(position)), m_slider);
}

void CSliderView::Tick()
{
    if (LongWorkRunning()) {
        return; // a file is being read or written: the frame waits for it
    }
    ++g_currentFrame;
    if (g_currentFrame > g_lastFrame) {
        g_currentFrame = 0;
    }
    ShowCurrentFrame();
    ShowTransformValues();
    Invalidate3D();
}

void CSliderView::OnUpdate(int hint)
{
    const CTessaline& scene = m_doc.Scene();
    m_values[3]->setReadOnly(!(m_doc.m_mouseMode == 2 && scene.m_transformMode == 1));
    switch (hint) {
    case kHintNewDocument:
        ResetFrameControls();
        StopTimer();
        break;
    case kHintProjectOpened:
        ResetFrameControls();
        ShowTransformValues();
        StopTimer();
        break;
    case kHintModelAddedOrDeleted:
        ShowTransformValues();
        StopTimer();
        break;
    case kHintModelMoved:
        ShowTransformValues();
        StopTimer();
        break;
    case kHintStructure:
        ShowCurrentFrame();
        RefreshTicks();
        break;
    case kHintAnimationList:
    case kHintAnimationSelected: {
        ShowCurrentFrame();
        ApplyCurrentAnimationLength(m_doc.Scene(), m_doc.Ui());
        m_lastFrame->setText(Text(FormatInt(g_lastFrame)));
        m_settingSlider = true;
        m_slider->setRange(0, std::max(0, g_lastFrame));
        m_settingSlider = false;
        RefreshTicks();
        break;
    }
    case kHintModeMove:
    case kHintModeRotate:
    case kHintModeScale:
        ShowTransformValues();
        break;
    case kHintSelection:
        ShowTransformValues();
        RefreshTicks();
        break;
    case kHintKeys:
        RefreshTicks();
        break;
    case kHintFrames:
        ResetFrameControls();
        ShowCurrentFrame();
        RefreshTicks();
        break;
    case kHintNavigation:
        StopTimer();
        ShowCurrentFrame();
        ShowTransformValues();
        break;
    case kHintCamera: {
        // A camera preset shows the position whatever the transform mode.
        const CVector p = GetEditPosition(scene);
        ShowValues(0.0f, p.x, p.y, p.z);
        break;
    }
    case kHintPlay:
        m_timer.stop();
        ReadFps(false);
        StartTimer();
        break;
    case kHintStop:
        StopTimer();
        break;
    default: break;
    }
}

} // namespace vantomo
