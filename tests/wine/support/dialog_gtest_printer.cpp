#include "tests/wine/support/dialog_gtest_printer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {
using testing::TestEventListener;

// gtest's own printer for every event but the failures, which it would also send to the debugger.
class PrinterWithoutDebugOutput : public TestEventListener {
public:
    explicit PrinterWithoutDebugOutput(TestEventListener* printer) : printer_(printer) {}

    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        if (result.type() == testing::TestPartResult::kSuccess)
            return;
        std::printf("%s:%d: %s\n%s\n", result.file_name() != nullptr ? result.file_name() : "unknown file",
                    result.line_number(), result.skipped() ? "Skipped" : "Failure", result.message());
        std::fflush(stdout);
    }

    void OnTestProgramStart(const testing::UnitTest& test) override { printer_->OnTestProgramStart(test); }
    void OnTestIterationStart(const testing::UnitTest& test, int iteration) override
    {
        printer_->OnTestIterationStart(test, iteration);
    }
    void OnEnvironmentsSetUpStart(const testing::UnitTest& test) override { printer_->OnEnvironmentsSetUpStart(test); }
    void OnEnvironmentsSetUpEnd(const testing::UnitTest& test) override { printer_->OnEnvironmentsSetUpEnd(test); }
    void OnTestSuiteStart(const testing::TestSuite& suite) override { printer_->OnTestSuiteStart(suite); }
    void OnTestCaseStart(const testing::TestCase& suite) override { printer_->OnTestCaseStart(suite); }
    void OnTestStart(const testing::TestInfo& test) override { printer_->OnTestStart(test); }
    void OnTestDisabled(const testing::TestInfo& test) override { printer_->OnTestDisabled(test); }
    void OnTestEnd(const testing::TestInfo& test) override { printer_->OnTestEnd(test); }
    void OnTestSuiteEnd(const testing::TestSuite& suite) override { printer_->OnTestSuiteEnd(suite); }
    void OnTestCaseEnd(const testing::TestCase& suite) override { printer_->OnTestCaseEnd(suite); }
    void OnEnvironmentsTearDownStart(const testing::UnitTest& test) override
    {
        printer_->OnEnvironmentsTearDownStart(test);
    }
    void OnEnvironmentsTearDownEnd(const testing::UnitTest& test) override
    {
        printer_->OnEnvironmentsTearDownEnd(test);
    }
    void OnTestIterationEnd(const testing::UnitTest& test, int iteration) override
    {
        printer_->OnTestIterationEnd(test, iteration);
    }
    void OnTestProgramEnd(const testing::UnitTest& test) override { printer_->OnTestProgramEnd(test); }

private:
    std::unique_ptr<TestEventListener> printer_;
};
} // namespace

void PrintFailuresWithoutDebugOutput()
{
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    // Once swapped, gtest has no default printer left to release.
    if (TestEventListener* printer = listeners.Release(listeners.default_result_printer()))
        listeners.Append(new PrinterWithoutDebugOutput(printer));
}
