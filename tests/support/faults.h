// Faults the system could answer with, planted on the calls that ImageFile
// makes. A binary that links this file gets its own pread, pwrite and
// fdatasync, which pass every call to the kernel unchanged until a test
// plants a fault.
#pragma once

#include <functional>

namespace vardane::test {

struct PlantedFaults {
    int interruptedReads = 0;      // preads failing with EINTR
    int shortReads = 0;            // preads giving one byte only
    int shortWrites = 0;           // pwrites writing one byte only
    int writesBeforeFailure = -1;  // pwrites that go through before the rest fail
    int failedFlushes = 0;
    // Runs once, after the next pread, as if another program wrote then.
    std::function<void()> afterNextRead{};
};

// Cleared again by the test that plants it.
extern PlantedFaults faults;

}  // namespace vardane::test
