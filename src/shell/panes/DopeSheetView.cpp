#include "shell/panes/DopeSheetView.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>

#include "document/KeyEdits.h"
#include "scene/AppValues.h"
#include "shell/panes/PaneText.h"

namespace vantomo {

namespace {

const QColor kKeyColor(96, 96, 96);
const QColor kSelectedColor(255, 150, 20);
const QColor kRefusedColor(220, 40, 40);
const QColor kLineColor(48, 112, 224);
const QColor kGroupRowColor(0, 0, 0, 22);
const QColor kOddRowColor(0, 0, 0, 8);

// Children of each model and roots of each character, in index order.
struct Hierarchy {
    std::vector<std::vector<int>> children;
    std::vector<std::vector<int>> roots;
};

Hierarchy HierarchyOf(const CTessaline& scene)
{
    const int models = static_cast<int>(scene.m_models.size());
    const int characters = static_cast<int>(scene.m_characterNames.size());
    Hierarchy h;
    h.children.resize(static_cast<std::size_t>(models));
    h.roots.resize(static_cast<std::size_t>(characters));
    for (int i = 0; i < models; ++i) {
        const int parent = scene.m_models[static_cast<std::size_t>(i)].m_parent;
        if (parent >= 0 && parent < models && parent != i) {
            h.children[static_cast<std::size_t>(parent)].push_back(i);
        } else if (parent < 0 && ~parent < characters) {
            h.roots[static_cast<std::size_t>(~parent)].push_back(i);
        }
    }
    return h;
}

// Depth first from the roots of `character`, each model once: `visit(model, depth)`.
template <typename Visit>
void WalkCharacter(const Hierarchy& h, int character, std::vector<bool>& seen, Visit visit)
{
    std::vector<std::pair<int, int>> stack; // model, depth
    const std::vector<int>& roots = h.roots[static_cast<std::size_t>(character)];
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
        stack.emplace_back(*it, 1);
    }
    while (!stack.empty()) {
        const auto [model, depth] = stack.back();
        stack.pop_back();
        if (seen[static_cast<std::size_t>(model)]) {
            continue;
        }
        seen[static_cast<std::size_t>(model)] = true;
        visit(model, depth);
        const std::vector<int>& children = h.children[static_cast<std::size_t>(model)];
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            stack.emplace_back(*it, depth + 1);
        }
    }
}

QPolygon Diamond(int x, int y, int half)
{
    return QPolygon({QPoint(x, y - half), QPoint(x + half, y), QPoint(x, y + half), QPoint(x - half, y)});
}

// Frames between ruler labels: the smallest of 1, 2, 5, 10, 20, 50, ... that
// leaves room for a number.
int LabelStep(int zoom)
{
    for (int step = 1;; step *= 10) {
        for (const int m : {1, 2, 5}) {
            if (step * m * zoom >= 36 || step * m >= 100000) {
                return step * m;
            }
        }
    }
}

} // namespace

std::vector<DopeSheetRow> BuildDopeSheetRows(const CTessaline& scene, const std::vector<bool>& folded,
                                             std::vector<std::vector<int>>* characterModels)
{
    const Hierarchy h = HierarchyOf(scene);
    std::vector<bool> seen(scene.m_models.size(), false);
    std::vector<DopeSheetRow> rows;
    if (characterModels != nullptr) {
        characterModels->assign(scene.m_characterNames.size(), {});
    }
    for (int c = 0; c < static_cast<int>(scene.m_characterNames.size()); ++c) {
        rows.push_back({DopeSheetRow::kCharacter, c, 0});
        const bool shown = static_cast<std::size_t>(c) >= folded.size() || !folded[static_cast<std::size_t>(c)];
        WalkCharacter(h, c, seen, [&](int model, int depth) {
            if (shown) {
                rows.push_back({DopeSheetRow::kModel, model, depth});
            }
            if (characterModels != nullptr) {
                (*characterModels)[static_cast<std::size_t>(c)].push_back(model);
            }
        });
    }
    return rows;
}

CDopeSheetView::CDopeSheetView(CVantomoDoc& doc, QWidget* parent) : QAbstractScrollArea(parent), m_doc(doc)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(false);
    m_doc.AddView(this);
    Rebuild();
}

CDopeSheetView::~CDopeSheetView() { m_doc.RemoveView(this); }

void CDopeSheetView::OnChange(const ChangeNotice& change)
{
    switch (change.kind) {
    case Change::Frame:
        // Playback ticks and scrubbing: only the line moves.
        m_currentFrame = g_currentFrame;
        viewport()->update();
        return;
    case Change::KeySelection:
        viewport()->update();
        return;
    case Change::NewDocument:
    case Change::ProjectOpened:
        m_folded.clear();
        break;
    default:
        break;
    }
    // Whatever else changed may have moved, added or removed the keys a drag holds.
    EndGesture();
    Rebuild();
}

void CDopeSheetView::Rebuild()
{
    const CTessaline& scene = m_doc.Scene();
    m_folded.resize(scene.m_characterNames.size(), false);
    m_rows = BuildDopeSheetRows(scene, m_folded, &m_characterModels);
    m_lastFrame = std::max(0, g_lastFrame);
    m_currentFrame = g_currentFrame;
    UpdateScrollBars();
    viewport()->update();
}

bool CDopeSheetView::IsFolded(int character) const
{
    return character >= 0 && static_cast<std::size_t>(character) < m_folded.size() &&
           m_folded[static_cast<std::size_t>(character)];
}

void CDopeSheetView::SetFolded(int character, bool folded)
{
    if (character < 0 || static_cast<std::size_t>(character) >= m_folded.size()) {
        return;
    }
    m_folded[static_cast<std::size_t>(character)] = folded;
    m_rows = BuildDopeSheetRows(m_doc.Scene(), m_folded, &m_characterModels);
    UpdateScrollBars();
    viewport()->update();
}

void CDopeSheetView::SetZoom(int pixelsPerFrame)
{
    m_zoom = std::clamp(pixelsPerFrame, kMinZoom, kMaxZoom);
    UpdateScrollBars();
    viewport()->update();
}

void CDopeSheetView::UpdateScrollBars()
{
    const int gridWidth = std::max(0, viewport()->width() - kNameWidth);
    const int gridHeight = std::max(0, viewport()->height() - kRulerHeight);
    const long long contentWidth = static_cast<long long>(m_lastFrame + 2) * m_zoom;
    const long long contentHeight = static_cast<long long>(m_rows.size()) * kRowHeight;
    horizontalScrollBar()->setRange(0, static_cast<int>(std::clamp<long long>(contentWidth - gridWidth, 0, INT_MAX)));
    horizontalScrollBar()->setPageStep(std::max(1, gridWidth));
    horizontalScrollBar()->setSingleStep(m_zoom);
    verticalScrollBar()->setRange(0, static_cast<int>(std::clamp<long long>(contentHeight - gridHeight, 0, INT_MAX)));
    verticalScrollBar()->setPageStep(std::max(1, gridHeight));
    verticalScrollBar()->setSingleStep(kRowHeight);
}

int CDopeSheetView::FrameX(int frame) const
{
    return kNameWidth + frame * m_zoom + m_zoom / 2 - horizontalScrollBar()->value();
}

int CDopeSheetView::RowY(int row) const { return kRulerHeight + row * kRowHeight - verticalScrollBar()->value(); }

QPoint CDopeSheetView::CellCentre(int row, int frame) const { return {FrameX(frame), RowY(row) + kRowHeight / 2}; }

int CDopeSheetView::FrameAt(int x) const
{
    const long long content = static_cast<long long>(x) - kNameWidth + horizontalScrollBar()->value();
    const long long frame = content < 0 ? -1 : content / m_zoom;
    return static_cast<int>(std::clamp<long long>(frame, 0, m_lastFrame));
}

int CDopeSheetView::RowAt(int y) const
{
    if (y < kRulerHeight) {
        return -1;
    }
    const int row = (y - kRulerHeight + verticalScrollBar()->value()) / kRowHeight;
    return row < static_cast<int>(m_rows.size()) ? row : -1;
}

std::span<const int> CDopeSheetView::ModelsOfRow(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) {
        return {};
    }
    const DopeSheetRow& r = m_rows[static_cast<std::size_t>(row)];
    if (r.kind == DopeSheetRow::kModel) {
        return {&r.index, 1};
    }
    return m_characterModels[static_cast<std::size_t>(r.index)];
}

std::vector<CDopeSheetView::Cell> CDopeSheetView::RowCells(int row, int first, int last) const
{
    std::vector<Cell> cells;
    first = std::max(first, 0);
    last = std::min(last, m_lastFrame);
    if (first > last) {
        return cells;
    }
    const std::size_t span = static_cast<std::size_t>(last - first + 1);
    std::vector<int> keys(span, 0);
    std::vector<int> selected(span, 0);
    const CTessaline& scene = m_doc.Scene();
    const KeySelection& selection = m_doc.SelectedKeys();
    for (const int model : ModelsOfRow(row)) {
        const Track* track = CurrentTrack(scene, model);
        if (track == nullptr || track->empty()) {
            continue;
        }
        const int end = std::min<long long>(last, static_cast<long long>(track->size()) - 1);
        const std::vector<int>& chosen = selection.FramesOf(model);
        auto next = std::lower_bound(chosen.begin(), chosen.end(), first);
        for (int f = first; f <= end; ++f) {
            if (f != 0 && (*track)[static_cast<std::size_t>(f)].m_key != 1) {
                continue;
            }
            ++keys[static_cast<std::size_t>(f - first)];
            while (next != chosen.end() && *next < f) {
                ++next;
            }
            if (next != chosen.end() && *next == f) {
                ++selected[static_cast<std::size_t>(f - first)];
            }
        }
    }
    for (std::size_t i = 0; i < span; ++i) {
        if (keys[i] > 0) {
            const int shown = selected[i] == 0 ? 0 : (selected[i] == keys[i] ? 2 : 1);
            cells.push_back({first + static_cast<int>(i), shown});
        }
    }
    return cells;
}

KeySelection CDopeSheetView::KeysAt(int row, int frame) const
{
    KeySelection keys;
    for (const int model : ModelsOfRow(row)) {
        if (IsKey(m_doc.Scene(), model, frame)) {
            keys.Add(model, frame);
        }
    }
    return keys;
}

KeySelection CDopeSheetView::KeysInBox(const QPoint& a, const QPoint& b) const
{
    // A diamond counts when the box reaches it, not only its centre.
    const int reach = std::max(2, std::min(m_zoom / 2, 6));
    const QRect box = QRect(a, b).normalized().adjusted(-reach, -reach, reach, reach);
    KeySelection keys;
    const int firstRow = std::max(0, (box.top() - kRulerHeight + verticalScrollBar()->value()) / kRowHeight - 1);
    const int lastRow =
        std::min(static_cast<int>(m_rows.size()) - 1,
                 (box.bottom() - kRulerHeight + verticalScrollBar()->value()) / kRowHeight + 1);
    const int firstFrame = FrameAt(box.left()) - 1;
    const int lastFrame = FrameAt(box.right()) + 1;
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = CellCentre(row, 0).y();
        if (y < box.top() || y > box.bottom()) {
            continue;
        }
        for (const Cell& cell : RowCells(row, firstFrame, lastFrame)) {
            const int x = FrameX(cell.frame);
            if (x < box.left() || x > box.right()) {
                continue;
            }
            for (const int model : ModelsOfRow(row)) {
                if (IsKey(m_doc.Scene(), model, cell.frame)) {
                    keys.Add(model, cell.frame);
                }
            }
        }
    }
    return keys;
}

bool CDopeSheetView::OnCurrentFrameLine(const QPoint& pos) const
{
    return std::abs(pos.x() - FrameX(m_currentFrame)) <= 3;
}

void CDopeSheetView::Scrub(int x)
{
    const int frame = FrameAt(x);
    if (frame != g_currentFrame) {
        m_doc.SetCurrentFrame(frame);
    }
}

void CDopeSheetView::EndGesture()
{
    if (m_gesture == Gesture::kNone) {
        return;
    }
    m_gesture = Gesture::kNone;
    m_dragOffset = 0;
    m_dragAllowed = true;
    m_pressKeys.Clear();
    viewport()->update();
}

void CDopeSheetView::AddKeyAtCurrentFrame(int row)
{
    const std::span<const int> models = ModelsOfRow(row);
    if (models.empty()) {
        return;
    }
    const bool character = m_rows[static_cast<std::size_t>(row)].kind == DopeSheetRow::kCharacter;
    // The key commands act on the selected model, or on every model of its
    // character: as the tree's right click, the row's model becomes selected.
    m_doc.SelectModelItem(models.front(), false);
    static_cast<void>(m_doc.SetKey(true, character, g_currentFrame)); // a refusal was shown
}

bool CDopeSheetView::event(QEvent* event)
{
    // While the pane has the focus its keys act on the keys it shows, not the
    // window's commands that share them (Ctrl+C: camera mode, Ctrl+V: move mode).
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste) || key->key() == Qt::Key_Delete ||
            key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void CDopeSheetView::keyPressEvent(QKeyEvent* event)
{
    const KeySelection selected = m_doc.SelectedKeys();
    if (event->matches(QKeySequence::Copy)) {
        if (!selected.Empty()) {
            static_cast<void>(m_doc.CopyKeys(selected));
        }
    } else if (event->matches(QKeySequence::Paste)) {
        // Onto the models of the selected keys, or back onto the models copied from.
        if (!m_doc.GetCopiedKeys().Empty()) {
            static_cast<void>(m_doc.PasteKeys(g_currentFrame, selected.Models()));
        }
    } else if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        if (!selected.Empty()) {
            static_cast<void>(m_doc.DeleteKeys(selected));
        }
    } else if (event->key() == Qt::Key_Escape) {
        EndGesture();
        m_doc.SelectKeys({});
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CDopeSheetView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    EndGesture();
    const QPoint pos = event->position().toPoint();
    m_pressPos = pos;
    m_pressModifiers = event->modifiers();
    if (pos.y() < kRulerHeight) {
        if (pos.x() >= kNameWidth) {
            m_gesture = Gesture::kScrub;
            Scrub(pos.x());
        }
        return;
    }
    const int row = RowAt(pos.y());
    if (pos.x() < kNameWidth) {
        if (row < 0) {
            return;
        }
        const DopeSheetRow r = m_rows[static_cast<std::size_t>(row)];
        if (r.kind == DopeSheetRow::kCharacter) {
            // The triangle folds the group; the name selects the character as the tree does.
            if (pos.x() < 18) {
                SetFolded(r.index, !IsFolded(r.index));
            } else {
                m_doc.SelectCharacterItem(r.index);
            }
        } else {
            m_doc.SelectModelItem(r.index);
        }
        return;
    }
    const int frame = FrameAt(pos.x());
    KeySelection keys;
    if (row >= 0 && std::abs(pos.x() - FrameX(frame)) <= std::max(4, m_zoom / 2)) {
        keys = KeysAt(row, frame);
    }
    if (keys.Empty()) {
        if (OnCurrentFrameLine(pos)) {
            m_gesture = Gesture::kScrub;
            return;
        }
        m_gesture = Gesture::kBox;
        m_boxEnd = pos;
        return;
    }
    KeySelection selection = m_doc.SelectedKeys();
    bool allSelected = true;
    for (const KeyRef& key : keys.Keys()) {
        allSelected = allSelected && selection.Contains(key.model, key.frame);
    }
    if (m_pressModifiers & Qt::ControlModifier) {
        for (const KeyRef& key : keys.Keys()) {
            if (allSelected) {
                selection.Remove(key.model, key.frame);
            } else {
                selection.Add(key.model, key.frame);
            }
        }
        m_doc.SelectKeys(std::move(selection));
        return;
    }
    if (m_pressModifiers & Qt::ShiftModifier) {
        for (const KeyRef& key : keys.Keys()) {
            selection.Add(key.model, key.frame);
        }
        m_doc.SelectKeys(std::move(selection));
    } else if (!allSelected) {
        m_doc.SelectKeys(keys);
    }
    m_gesture = Gesture::kPressKey;
    m_pressFrame = frame;
    m_pressKeys = std::move(keys);
}

void CDopeSheetView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    switch (m_gesture) {
    case Gesture::kScrub:
        Scrub(pos.x());
        break;
    case Gesture::kPressKey:
        if ((pos - m_pressPos).manhattanLength() < QApplication::startDragDistance()) {
            break;
        }
        m_gesture = Gesture::kDragKeys;
        [[fallthrough]];
    case Gesture::kDragKeys: {
        // Snapped to whole frames, and free to go past either end: the
        // preview shows a move the document would refuse in red.
        const double content = pos.x() - kNameWidth + horizontalScrollBar()->value();
        const int offset = static_cast<int>(std::floor(content / m_zoom)) - m_pressFrame;
        if (offset != m_dragOffset) {
            m_dragOffset = offset;
            m_dragAllowed = CheckMoveKeys(m_doc.Scene(), m_doc.SelectedKeys(), offset) == nullptr;
            viewport()->update();
        }
        break;
    }
    case Gesture::kBox:
        m_boxEnd = pos;
        viewport()->update();
        break;
    case Gesture::kNone:
        break;
    }
}

void CDopeSheetView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    const Gesture gesture = m_gesture;
    const int offset = m_dragOffset;
    const KeySelection pressed = m_pressKeys;
    const QPoint boxEnd = event->position().toPoint();
    // The gesture is over before the document acts: a refusal's message box
    // runs its own event loop.
    EndGesture();
    switch (gesture) {
    case Gesture::kDragKeys:
        if (offset != 0) {
            static_cast<void>(m_doc.MoveKeys(m_doc.SelectedKeys(), offset)); // a refusal was shown
        }
        break;
    case Gesture::kPressKey:
        // A plain click on one of several selected keys keeps only it.
        if (!(m_pressModifiers & (Qt::ShiftModifier | Qt::ControlModifier))) {
            m_doc.SelectKeys(pressed);
        }
        break;
    case Gesture::kBox: {
        const KeySelection boxed = KeysInBox(m_pressPos, boxEnd);
        KeySelection selection = m_doc.SelectedKeys();
        if (m_pressModifiers & Qt::ControlModifier) {
            for (const KeyRef& key : boxed.Keys()) {
                selection.Toggle(key.model, key.frame);
            }
        } else if (m_pressModifiers & Qt::ShiftModifier) {
            for (const KeyRef& key : boxed.Keys()) {
                selection.Add(key.model, key.frame);
            }
        } else {
            selection = boxed;
        }
        m_doc.SelectKeys(std::move(selection));
        break;
    }
    default:
        break;
    }
}

void CDopeSheetView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Quick clicks select as single ones do.
    mousePressEvent(event);
}

void CDopeSheetView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (event->modifiers() & Qt::ControlModifier) {
        // Zoom about the frame under the mouse.
        const int x = static_cast<int>(event->position().x());
        const double frame = (x - kNameWidth + horizontalScrollBar()->value()) / static_cast<double>(m_zoom);
        const int zoom = steps > 0 ? m_zoom * 5 / 4 + 1 : m_zoom * 4 / 5;
        SetZoom(steps == 0 ? m_zoom : zoom);
        horizontalScrollBar()->setValue(static_cast<int>(frame * m_zoom) - (x - kNameWidth));
        event->accept();
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - steps * 5 * m_zoom);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void CDopeSheetView::contextMenuEvent(QContextMenuEvent* event)
{
    const int row = RowAt(event->pos().y());
    if (row < 0) {
        return;
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("DopeSheetRowMenu"));
    QAction* add = menu.addAction(tr("現在のフレームにキーを追加(&A)"));
    add->setEnabled(!ModelsOfRow(row).empty());
    QPointer<CDopeSheetView> self(this);
    QAction* chosen = menu.exec(event->globalPos());
    if (self != nullptr && chosen == add) {
        AddKeyAtCurrentFrame(row);
    }
    event->accept();
}

void CDopeSheetView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CDopeSheetView::scrollContentsBy(int, int) { viewport()->update(); }

void CDopeSheetView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    painter.fillRect(area, palette().color(QPalette::Base));
    const int hscroll = horizontalScrollBar()->value();
    const int vscroll = verticalScrollBar()->value();
    const int gridWidth = std::max(0, area.width() - kNameWidth);
    const int gridHeight = std::max(0, area.height() - kRulerHeight);
    // Only what the viewport shows is drawn, however long or tall the sheet.
    const int first = std::max(0, hscroll / m_zoom);
    const int last = std::min(m_lastFrame, (hscroll + gridWidth) / m_zoom + 1);
    const int firstRow = vscroll / kRowHeight;
    const int lastRow = std::min(static_cast<int>(m_rows.size()) - 1, (vscroll + gridHeight) / kRowHeight + 1);

    const QRect grid(kNameWidth, kRulerHeight, gridWidth, gridHeight);
    painter.setClipRect(grid);
    for (int row = firstRow; row <= lastRow; ++row) {
        const QRect band(kNameWidth, RowY(row), gridWidth, kRowHeight);
        if (m_rows[static_cast<std::size_t>(row)].kind == DopeSheetRow::kCharacter) {
            painter.fillRect(band, kGroupRowColor);
        } else if (row % 2 == 1) {
            painter.fillRect(band, kOddRowColor);
        }
    }
    // Past the last frame the sheet is greyed: no key can go there.
    const int end = FrameX(m_lastFrame) + m_zoom - m_zoom / 2;
    if (end < area.width()) {
        painter.fillRect(QRect(end, kRulerHeight, area.width() - end, gridHeight), palette().color(QPalette::Window));
    }
    const int step = LabelStep(m_zoom);
    painter.setPen(QColor(0, 0, 0, 28));
    for (int f = first - first % step; f <= last; f += step) {
        painter.drawLine(FrameX(f), kRulerHeight, FrameX(f), area.height());
    }
    PaintKeys(painter, firstRow, lastRow, first, last);
    PaintDragPreview(painter, firstRow, lastRow, first, last);
    if (m_gesture == Gesture::kBox) {
        painter.setPen(QPen(kLineColor, 1, Qt::DashLine));
        painter.setBrush(QColor(48, 112, 224, 30));
        painter.drawRect(QRect(m_pressPos, m_boxEnd).normalized());
    }
    const int lineX = FrameX(m_currentFrame);
    painter.fillRect(QRect(lineX - 1, kRulerHeight, 2, gridHeight), kLineColor);

    painter.setClipRect(QRect(0, kRulerHeight, kNameWidth, gridHeight));
    PaintNames(painter, firstRow, lastRow);
    painter.setClipRect(QRect(0, 0, area.width(), kRulerHeight));
    PaintRuler(painter, first, last);
}

void CDopeSheetView::PaintKeys(QPainter& painter, int firstRow, int lastRow, int first, int last) const
{
    const int half = std::clamp(m_zoom / 2 - 1, 2, 6);
    // Keys that a drag lifts are drawn faded where they were.
    const bool lifted = m_gesture == Gesture::kDragKeys && m_dragOffset != 0;
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = RowY(row) + kRowHeight / 2;
        for (const Cell& cell : RowCells(row, first, last)) {
            QColor fill = cell.selected == 2 ? kSelectedColor : kKeyColor;
            if (lifted && cell.selected == 2) {
                fill.setAlpha(90);
            }
            painter.setPen(cell.selected == 1 ? QPen(kSelectedColor, 2) : QPen(Qt::black, 1));
            painter.setBrush(fill);
            painter.drawPolygon(Diamond(FrameX(cell.frame), y, half));
        }
    }
}

void CDopeSheetView::PaintDragPreview(QPainter& painter, int firstRow, int lastRow, int first, int last) const
{
    if (m_gesture != Gesture::kDragKeys || m_dragOffset == 0) {
        return;
    }
    const int half = std::clamp(m_zoom / 2 - 1, 2, 6);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(m_dragAllowed ? kSelectedColor : kRefusedColor);
    const KeySelection& selection = m_doc.SelectedKeys();
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = RowY(row) + kRowHeight / 2;
        std::vector<int> frames;
        for (const int model : ModelsOfRow(row)) {
            for (const int frame : selection.FramesOf(model)) {
                const long long to = static_cast<long long>(frame) + m_dragOffset;
                if (to >= first - 1 && to <= last + 1) {
                    frames.push_back(static_cast<int>(to));
                }
            }
        }
        std::sort(frames.begin(), frames.end());
        frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
        for (const int frame : frames) {
            painter.drawPolygon(Diamond(FrameX(frame), y, half));
        }
    }
}

void CDopeSheetView::PaintNames(QPainter& painter, int firstRow, int lastRow) const
{
    painter.fillRect(QRect(0, kRulerHeight, kNameWidth, viewport()->height()), palette().color(QPalette::Window));
    const CTessaline& scene = m_doc.Scene();
    QFont bold = font();
    bold.setBold(true);
    for (int row = firstRow; row <= lastRow; ++row) {
        const DopeSheetRow& r = m_rows[static_cast<std::size_t>(row)];
        const int top = RowY(row);
        const int indent = 4 + r.depth * 12;
        QString name;
        if (r.kind == DopeSheetRow::kCharacter) {
            painter.fillRect(QRect(0, top, kNameWidth, kRowHeight), kGroupRowColor);
            const int cy = top + kRowHeight / 2;
            painter.setPen(Qt::NoPen);
            painter.setBrush(palette().color(QPalette::WindowText));
            if (IsFolded(r.index)) {
                painter.drawPolygon(QPolygon({QPoint(5, cy - 4), QPoint(11, cy), QPoint(5, cy + 4)}));
            } else {
                painter.drawPolygon(QPolygon({QPoint(4, cy - 3), QPoint(12, cy - 3), QPoint(8, cy + 3)}));
            }
            painter.setFont(bold);
            name = FromCp932(scene.GetCharacterName(r.index));
        } else {
            painter.setFont(font());
            name = FromCp932(scene.GetModelName(r.index));
        }
        // A paint during long work (a progress dialog) may come before the rows follow the models.
        const bool hidden = r.kind == DopeSheetRow::kModel &&
                            static_cast<std::size_t>(r.index) < scene.m_models.size() &&
                            scene.m_models[static_cast<std::size_t>(r.index)].m_visible == 0;
        const bool selected = r.kind == DopeSheetRow::kModel && r.index == scene.m_selectedModel;
        if (selected) {
            painter.fillRect(QRect(0, top, kNameWidth, kRowHeight), palette().color(QPalette::Highlight));
        }
        painter.setPen(palette().color(selected ? QPalette::HighlightedText
                                                : (hidden ? QPalette::PlaceholderText : QPalette::WindowText)));
        const int left = r.kind == DopeSheetRow::kCharacter ? 18 : indent + 6;
        const QRect text(left, top, kNameWidth - left - 4, kRowHeight);
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                         painter.fontMetrics().elidedText(name, Qt::ElideRight, text.width()));
    }
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(kNameWidth - 1, kRulerHeight, kNameWidth - 1, viewport()->height());
}

void CDopeSheetView::PaintRuler(QPainter& painter, int first, int last) const
{
    const int width = viewport()->width();
    painter.fillRect(QRect(0, 0, width, kRulerHeight), palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, kRulerHeight - 1, width, kRulerHeight - 1);
    // The corner shows the current frame's number.
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(QRect(4, 0, kNameWidth - 8, kRulerHeight), Qt::AlignVCenter | Qt::AlignLeft,
                     FormatInteger(m_currentFrame));
    painter.setClipRect(QRect(kNameWidth, 0, width - kNameWidth, kRulerHeight));
    const int step = LabelStep(m_zoom);
    const int minor = step >= 5 && step * m_zoom >= 50 ? step / 5 : (step >= 2 ? step / 2 : step);
    for (int f = first - first % minor; f <= last; f += minor) {
        const int x = FrameX(f);
        const bool labelled = f % step == 0;
        painter.drawLine(x, kRulerHeight - (labelled ? 8 : 4), x, kRulerHeight - 1);
        if (labelled) {
            painter.drawText(QRect(x + 2, 0, 60, kRulerHeight - 6), Qt::AlignVCenter | Qt::AlignLeft,
                             FormatInteger(f));
        }
    }
    const int lineX = FrameX(m_currentFrame);
    const QString number = FormatInteger(m_currentFrame);
    const int boxWidth = painter.fontMetrics().horizontalAdvance(number) + 8;
    const QRect box(lineX - boxWidth / 2, 2, boxWidth, kRulerHeight - 4);
    painter.fillRect(box, kLineColor);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, number);
}

} // namespace vantomo
