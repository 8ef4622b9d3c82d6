#pragma once
#include <windows.h>

#include "printhost/loaded_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/registry_scope.h"

#include <gtest/gtest.h>

#include <vector>

// A test that prints through the installed monitor. The registry holds the given keys before the
// monitor loads (it builds its port list then); boxes are caught from the load on. Every test starts
// with an empty job table and spool directory, and fails if it leaves a job file or an open printer
// behind.
class MonitorJobFixture : public ::testing::Test {
protected:
    explicit MonitorJobFixture(const std::vector<RegKeySpec>& keys) : registry_(keys) {}
    void SetUp() override;
    void TearDown() override;

    // The job's status bits in the stand-in's table.
    DWORD StatusOf(DWORD jobId);

    MessageBoxCatcher boxes_;
    RegistryScope registry_;
    LoadedMonitor monitor_;
};
