// A progress that costs what the desktop program's costs between redraws: a
// clock reading per report. The benchmarks run with and without it to show
// what reporting adds to long work.
#pragma once

#include <chrono>
#include <cstdint>

#include "base/Progress.h"

namespace vantomo {

class ClockedProgress final : public Progress {
public:
    bool Report(std::uint64_t done, std::uint64_t total) override
    {
        last = std::chrono::steady_clock::now();
        lastDone = done;
        lastTotal = total;
        ++reports;
        return true;
    }
    std::chrono::steady_clock::time_point last;
    std::uint64_t lastDone = 0;
    std::uint64_t lastTotal = 0;
    long long reports = 0;
};

} // namespace vantomo
