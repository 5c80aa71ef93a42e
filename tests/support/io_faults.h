#pragma once
// Every file operation of a run made to fail in turn, the way a full disk or a
// failing device would make it fail.

#include <functional>
#include <vector>

namespace trelmo::test {

struct FaultSweep {
    unsigned long operations = 0;  // of the run in which nothing failed
    std::vector<unsigned long> succeededDespite;  // operations whose failure the run did not report
};

// Calls run(n) for n = 1, 2, … with the nth file operation failing with EIO,
// up to and including the first run in which no operation failed. `run`
// returns whether the run reported success.
FaultSweep eachFailingOperation(const std::function<bool(unsigned long n)>& run);

}  // namespace trelmo::test
