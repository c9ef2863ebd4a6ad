// How long work (reading or writing a large file) tells the user how far it
// has come, and learns that the user asked it to stop.
#pragma once

#include <cstdint>

namespace vantomo {

class Progress {
public:
    virtual ~Progress() = default;

    // `done` of `total` units of the work are finished (total 0: the size is
    // not known). Called often, from the thread doing the work; an
    // implementation that shows something decides itself how often to redraw.
    // Returns false once the user asked to stop. Work that can stop without
    // losing anything then stops; other work goes on to its end.
    virtual bool Report(std::uint64_t done, std::uint64_t total) = 0;
};

// Counts the units of one piece of work and reports them on request. Without
// a Progress it only counts. Once a report of stoppable work was refused the
// meter stays stopped (and reports no more), so every layer that polls it
// sees the same answer; work that cannot stop reports to its end.
class WorkMeter {
public:
    enum Kind { kStoppable, kUnstoppable };

    explicit WorkMeter(Progress* progress = nullptr, std::uint64_t total = 0, Kind kind = kStoppable)
        : m_progress(progress), m_total(total), m_stoppable(kind == kStoppable)
    {
    }

    // Cheap enough for the innermost loop of a writer: no report is made here.
    void Advance(std::uint64_t units) { m_done += units; }
    void SetTotal(std::uint64_t total) { m_total = total; }

    // Reports the units so far (never more than the total, which may be an
    // estimate); false once the user asked to stop.
    bool Poll()
    {
        if (m_progress != nullptr && !m_stopped) {
            const std::uint64_t done = m_total != 0 && m_done > m_total ? m_total : m_done;
            m_stopped = !m_progress->Report(done, m_total) && m_stoppable;
        }
        return !m_stopped;
    }

    // Reports the whole work as finished.
    void Finish()
    {
        m_done = m_total;
        static_cast<void>(Poll());
    }

    bool Stopped() const { return m_stopped; }
    std::uint64_t Done() const { return m_done; }
    std::uint64_t Total() const { return m_total; }

private:
    Progress* m_progress;
    std::uint64_t m_total;
    std::uint64_t m_done = 0;
    bool m_stoppable;
    bool m_stopped = false;
};

} // namespace vantomo
