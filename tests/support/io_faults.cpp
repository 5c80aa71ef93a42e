#include "tests/support/io_faults.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "engine/io/file_io.h"

namespace trelmo::test {

FaultSweep eachFailingOperation(const std::function<bool(unsigned long n)>& run) {
    FaultSweep sweep;
    for (unsigned long n = 1; n < 1000; ++n) {
        fileio::failOperation(n, EIO);
        const bool succeeded = run(n);
        const unsigned long operations = fileio::operationCount();
        fileio::failOperation(0, 0);
        if (n > operations) {
            EXPECT_TRUE(succeeded) << "the run without a failing operation";
            sweep.operations = operations;
            return sweep;
        }
        if (succeeded) sweep.succeededDespite.push_back(n);
    }
    ADD_FAILURE() << "the runs never ended without a failing operation";
    return sweep;
}

}  // namespace trelmo::test
