// The dialog classes behind the Show...Dialog functions of Panes.h. Each
// shows a copy of its struct and writes it back only on an accepted OK.
#pragma once

#include <vector>

#include <QColor>
#include <QDialog>

#include "document/Dialogs.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QSlider;
class QVBoxLayout;

namespace vantomo {


// What the four dialogs share: OK and Cancel at the right and the data
// exchange that refuses a bad text with its message, keeping the dialog open.
class ExchangeDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExchangeDialog(QWidget* parent, const QString& cancelText);

protected:
    // The column left of the buttons, for the dialog's own controls.
    QVBoxLayout* Content() const { return m_content; }
    // The edit's text as an integer or a number; on refusal the message is
    // shown and the edit takes the focus, and the caller stays open.
    bool ReadInteger(QLineEdit* edit, int& value);
    bool ReadFloat(QLineEdit* edit, float& value);
    // A line edit for a number, named for tests and accessibility.
    QLineEdit* NumberEdit(const QString& name, const QString& text, int width);
    // The field that has the focus, its text selected, when the dialog opens.
    void SetFirstField(QWidget* field) { m_firstField = field; }
    void showEvent(QShowEvent* event) override;

private:
    QVBoxLayout* m_content = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QWidget* m_firstField = nullptr;
};

// "ﾓﾃﾞﾙのｷｰﾌﾚｰﾑの追加・削除": the frame edit and the four key operations.
class CDlgKeyFrame : public ExchangeDialog {
    Q_OBJECT
public:
    CDlgKeyFrame(QWidget* parent, const KeyFrameDialog& data);
    KeyFrameDialog m_data;

protected:
    void accept() override;

private:
    QLineEdit* m_frame;
    QButtonGroup* m_action;
};

// "ﾌﾚｰﾑの挿入": after which frame, and how many.
class CDlgInsert : public ExchangeDialog {
    Q_OBJECT
public:
    CDlgInsert(QWidget* parent, const FrameInsertDialog& data);
    FrameInsertDialog m_data;

protected:
    void accept() override;

private:
    QLineEdit* m_after;
    QLineEdit* m_count;
};

// "ﾌﾚｰﾑの削除": the first and the last frame to delete.
class CDlgDelete : public ExchangeDialog {
    Q_OBJECT
public:
    CDlgDelete(QWidget* parent, const FrameDeleteDialog& data);
    FrameDeleteDialog m_data;

protected:
    void accept() override;

private:
    QLineEdit* m_start;
    QLineEdit* m_end;
};

// The export options of one kind, titled by the kind, with its locks.
class CDlgSave : public ExchangeDialog {
    Q_OBJECT
public:
    CDlgSave(QWidget* parent, const ExportDialog& data);
    ExportDialog m_data;

protected:
    void accept() override;

private:
    QButtonGroup* m_animationKeys;
    QLineEdit* m_speed;
    QButtonGroup* m_meshLayout;
    QCheckBox* m_writeUV;
    QCheckBox* m_writeNormals;
    QCheckBox* m_writeLights;
    QLineEdit* m_scale;
};

// "材質設定": every value of one material, each number as a slider and an
// edit that follow each other, with a preview of the colour drawn.
class CDlgMaterial : public ExchangeDialog {
    Q_OBJECT
public:
    CDlgMaterial(QWidget* parent, const MaterialDialog& data);
    MaterialDialog m_data;

    // One value's slider and edit; `factor` is the slider's steps per unit
    // (100 for the colour and the factors, 1 for the power).
    struct Coupled {
        QSlider* slider = nullptr;
        QLineEdit* edit = nullptr;
        float* field = nullptr;
        float factor = 100.0f;
        bool colour = false;
    };

    // The red, green and blue now shown, clamped as the view draws them.
    QColor PreviewColor() const;

protected:
    void accept() override;

private:
    void AddCoupled(QGridLayout* grid, int row, const QString& label, const QString& name, float& field,
                    float factor, bool colour);
    void ChooseTexture();

    std::vector<Coupled> m_coupled;
    QLineEdit* m_name;
    QLineEdit* m_texture;
    QFrame* m_preview;
    bool m_syncing = false; // set while one control of a pair follows the other
};

} // namespace vantomo
