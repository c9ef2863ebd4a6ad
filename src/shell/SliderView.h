// The control panel below the 3D view: the X, Y, Z and 度 toggles with the
// value fields of the selected model (or the camera), the current and last
// frame, the playback rate, and the timeline slider with a tick at every key
// of the selected model. It owns the playback timer.
#pragma once

#include <functional>
#include <vector>

#include <QSlider>
#include <QTimer>
#include <QWidget>

#include "document/Document.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantomo {


// A horizontal slider that marks chosen positions with ticks above its groove.
class KeySlider final : public QSlider {
public:
    explicit KeySlider(QWidget* parent);
    void SetTicks(std::vector<int> ticks);
    const std::vector<int>& Ticks() const { return m_ticks; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<int> m_ticks;
};

class CSliderView final : public QWidget, public DocumentView {
public:
    CSliderView(CVantomoDoc& doc, QWidget* parent);
    ~CSliderView() override;

    void OnUpdate(int hint) override;

    // Repaint of the 3D view (without erasing).
    std::function<void()> invalidate3D;

    // The operations the main window and the 3D view use.
    void ShowValues(float angle, float x, float y, float z);
    void ShowTransformValues();
    void ResetFrameControls();
    void ShowCurrentFrame();
    void RefreshTicks();
    // The rate of the list's selected item (fromSelection) or of its text;
    // the frame fields are checked first, as the form's data exchange did.
    float ReadFps(bool fromSelection);
    void ReloadTexts();

    // For tests and the main window.
    QLineEdit* CurrentFrameField() const { return m_currentFrame; }
    QLineEdit* LastFrameField() const { return m_lastFrame; }
    QLineEdit* ValueField(int i) const { return m_values[i]; }
    QComboBox* RateList() const { return m_rate; }
    KeySlider* Slider() const { return m_slider; }
    QPushButton* EnableButton(int i) const { return m_enable[i]; }
    const QTimer& PlaybackTimer() const { return m_timer; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StopTimer();
    void StartTimer();
    void Tick();
    void ApplyValueFields();
    void ApplyCurrentFrameField();
    void ApplyLastFrameField();
    void RateChosen(int index);
    void SliderMoved(int position);
    void PlaceSlider();
    void Invalidate3D();
    void SetSliderPosition(int position);

    CVantomoDoc& m_doc;
    QPushButton* m_enable[4] = {};
    QLineEdit* m_values[4] = {}; // X, Y, Z, angle
    QLabel* m_labels[3] = {};
    QLineEdit* m_currentFrame = nullptr;
    QLineEdit* m_lastFrame = nullptr;
    QComboBox* m_rate = nullptr;
    KeySlider* m_slider = nullptr;
    QTimer m_timer;
    bool m_settingSlider = false;
};

} // namespace vantomo
