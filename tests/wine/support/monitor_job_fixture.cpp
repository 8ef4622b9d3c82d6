#include "tests/wine/support/monitor_job_fixture.h"

#include "printhost/spooler_standin_control.h"
#include "tests/wine/support/spool_directory.h"

void MonitorJobFixture::SetUp()
{
    spooler::ResetSpooler();
    ClearSpoolDirectory();
    ASSERT_NE(nullptr, monitor_.Functions()) << "NMX_MON.dll: error " << monitor_.Error();
}

void MonitorJobFixture::TearDown()
{
    EXPECT_TRUE(NoJobFilesLeft());
    EXPECT_EQ(0, spooler::OpenPrinterHandles()); // the monitor closed every printer it opened
    spooler::ResetSpooler();
}

DWORD MonitorJobFixture::StatusOf(DWORD jobId)
{
    DWORD status = 0;
    EXPECT_TRUE(spooler::ReadJobStatus(jobId, &status));
    return status;
}
