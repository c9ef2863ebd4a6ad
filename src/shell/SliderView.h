// The control panel below the 3D view: the X, Y, Z and 度 toggles with the
// value fields of the selected model (or the camera), the current and last
// frame, the playback rate, and the timeline slider with a tick at every key
// of the selected model. Every change of the document shows it all again;
// what the user types goes to the document's operations. Its timer ticks the
// document's playback at the playback's period.
#pragma once

#include <array>
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
class QScrollArea;

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

    void OnChange(const ChangeNotice& change) override;

    // Shows the document again: every field, the slider with its range and
    // ticks, the rate, the toggles, and the timer running as playback does.
    // A field the user is typing in keeps the typed text until it is applied.
    void Refresh();
    void ReloadTexts();

    // For tests and the main window.
    QLineEdit* CurrentFrameField() const { return m_currentFrame; }
    QLineEdit* LastFrameField() const { return m_lastFrame; }
    QLineEdit* ValueField(int i) const { return m_values[i]; }
    QComboBox* RateList() const { return m_rate; }
    KeySlider* Slider() const { return m_slider; }
    QPushButton* EnableButton(int i) const { return m_enable[i]; }
    const QTimer& PlaybackTimer() const { return m_timer; }

    // The scroll area around the controls, and the rows the frame fields take
    // (1 while the pane is wide enough for the form's one row).
    QScrollArea* ScrollArea() const { return m_scroll; }
    int FieldRows() const { return m_rows; }
    // The value fields' width: enough for "-1500.000000".
    int ValueFieldWidth() const;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SyncTimer(bool restart);
    void Tick();
    void ShowValues(const std::array<float, 4>& values);
    void ShowText(QLineEdit* field, const QString& text);
    void ShowFrames();
    void ShowTicks();
    void ApplyField(QLineEdit* field);
    void ApplyRate(const QString& text);
    void SliderMoved(int position);
    void PlaceControls();

    CVantomoDoc& m_doc;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_form = nullptr; // holds every control
    int m_rows = 1;
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
