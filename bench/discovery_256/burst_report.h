#pragma once

// The figures of one run, for people and, on its RESULT line, for the script
// that takes the median over runs.

#include "burst_observer.h"
#include "burst_profile.h"

namespace bench {

struct RunRecord {
    const BurstObserver& observer;
    const BurstProfile& profile;
    int expected;
    long droppedDatagrams;  // by the kernel, receive buffer full
};

void PrintReport(const RunRecord& run);

}  // namespace bench
