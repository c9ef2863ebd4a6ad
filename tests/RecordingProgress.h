// A progress that remembers every report and, when asked, refuses from a
// given report on, as a user pressing Cancel would.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "base/Progress.h"

namespace vantomo {

class RecordingProgress final : public Progress {
public:
    // Refuses report number `stopAt` (1 = the first) and every later one; 0 never refuses.
    explicit RecordingProgress(int stopAt = 0) : m_stopAt(stopAt) {}

    bool Report(std::uint64_t done, std::uint64_t total) override
    {
        reports.emplace_back(done, total);
        return m_stopAt == 0 || static_cast<int>(reports.size()) < m_stopAt;
    }

    // Every report's done never decreased and never passed a known total.
    bool Orderly() const
    {
        for (std::size_t i = 0; i < reports.size(); ++i) {
            const auto [done, total] = reports[i];
            if ((total != 0 && done > total) || (i > 0 && done < reports[i - 1].first)) {
                return false;
            }
        }
        return true;
    }

    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;

private:
    int m_stopAt;
};

} // namespace vantomo
