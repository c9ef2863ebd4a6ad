// The dope sheet: every model's keys of the current animation on one
// timeline. One row per model in the tree's order, each character a group
// row above its models that shows the union of their keys and folds them
// away; one column per frame under a ruler that zooms and scrolls; a diamond
// at every key, filled when selected; the current frame as a line.
//
// Clicks, Ctrl- and Shift-clicks and boxes select keys (the document holds
// the selection); a drag of selected keys previews the move in the pane and
// moves them with one MoveKeys on release; Delete, Ctrl+C and Ctrl+V act on
// the selected keys while the pane has the focus; a drag on the ruler or the
// line scrubs; a row's menu adds a key at the current frame. The pane keeps
// only how it is looked at (zoom, scroll, folded groups) and a drag under
// way; everything else it reads from the document when it paints.
#pragma once

#include <span>
#include <vector>

#include <QAbstractScrollArea>

#include "document/Document.h"

namespace vantomo {

struct DopeSheetRow {
    enum Kind { kCharacter, kModel };
    Kind kind = kModel;
    int index = 0; // the character or the model
    int depth = 0; // 0 for a character, 1 for a model at its root, 2 below that, ...
    bool operator==(const DopeSheetRow&) const = default;
};

// The rows of the tree's order: each character, then (unless it is folded,
// `folded[c]`) its models depth first, children in index order. Models whose
// parents never reach a character are not shown, as the tree does not show them.
// `characterModels`, when given, receives every model of each character in
// that order, folded or not.
std::vector<DopeSheetRow> BuildDopeSheetRows(const CTessaline& scene, const std::vector<bool>& folded,
                                             std::vector<std::vector<int>>* characterModels = nullptr);

class CDopeSheetView final : public QAbstractScrollArea, public DocumentView {
    Q_OBJECT
public:
    explicit CDopeSheetView(CVantomoDoc& doc, QWidget* parent = nullptr);
    ~CDopeSheetView() override;

    void OnChange(const ChangeNotice& change) override;

    // One column of a row that holds keys: `selected` 0 none of its keys
    // selected, 1 some (a group row), 2 all.
    struct Cell {
        int frame = 0;
        int selected = 0;
        bool operator==(const Cell&) const = default;
    };

    // What the pane shows.
    const std::vector<DopeSheetRow>& Rows() const { return m_rows; }
    int LastFrame() const { return m_lastFrame; }
    int CurrentFrame() const { return m_currentFrame; }
    bool IsFolded(int character) const;
    // The keys of `row` in frames first .. last, ascending, as painted.
    std::vector<Cell> RowCells(int row, int first, int last) const;
    // The models a row stands for: its model, or every model of its character.
    std::span<const int> ModelsOfRow(int row) const;

    // How the pane is looked at.
    static constexpr int kRulerHeight = 22;
    static constexpr int kRowHeight = 20;
    static constexpr int kNameWidth = 150;
    static constexpr int kMinZoom = 3;
    static constexpr int kMaxZoom = 64;
    int Zoom() const { return m_zoom; }
    void SetZoom(int pixelsPerFrame);
    void SetFolded(int character, bool folded);
    // The centre of the diamond of `frame` in `row` (viewport coordinates).
    QPoint CellCentre(int row, int frame) const;
    // The frame under viewport x (clamped to 0 .. last) and the row under
    // viewport y (-1 above the rows or below the last).
    int FrameAt(int x) const;
    int RowAt(int y) const;
    // The frames a drag under way moves the selected keys by (0 when none).
    int DragOffset() const { return m_dragOffset; }

    // The row menu's command: a key at the current frame for the row's model,
    // or for every model of the row's character (which becomes selected).
    void AddKeyAtCurrentFrame(int row);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    enum class Gesture { kNone, kScrub, kPressKey, kDragKeys, kBox };

    void Rebuild();
    void UpdateScrollBars();
    void EndGesture();
    // The keys of every model of `row` at `frame` (empty when none is a key).
    KeySelection KeysAt(int row, int frame) const;
    // The keys whose diamonds lie in the rectangle between two viewport points.
    KeySelection KeysInBox(const QPoint& a, const QPoint& b) const;
    void Scrub(int x);
    bool OnCurrentFrameLine(const QPoint& pos) const;
    int FrameX(int frame) const; // the centre of a frame's column, viewport x
    int RowY(int row) const;     // the top of a row, viewport y
    void PaintRuler(class QPainter& painter, int first, int last) const;
    void PaintNames(class QPainter& painter, int firstRow, int lastRow) const;
    void PaintKeys(class QPainter& painter, int firstRow, int lastRow, int first, int last) const;
    void PaintDragPreview(class QPainter& painter, int firstRow, int lastRow, int first, int last) const;

    CVantomoDoc& m_doc;
    std::vector<DopeSheetRow> m_rows;
    std::vector<std::vector<int>> m_characterModels;
    std::vector<bool> m_folded; // by character
    int m_lastFrame = 0;
    int m_currentFrame = 0;
    int m_zoom = 12;

    Gesture m_gesture = Gesture::kNone;
    QPoint m_pressPos;
    int m_pressFrame = 0;
    KeySelection m_pressKeys;        // the keys under a press on a key
    Qt::KeyboardModifiers m_pressModifiers;
    QPoint m_boxEnd;
    int m_dragOffset = 0;
    bool m_dragAllowed = true; // whether the document would take the move previewed
};

} // namespace vantomo
