// SPDX-License-Identifier: MIT
// A stand-in xdg-open first in PATH that records its arguments (one per line, a blank line after
// each run) and exits with the status the test asks for; message boxes from a script.
#pragma once

#include "framework/UiServices.h"
#include "framework/ui/ShellOpener.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestSupport.h"

#include <QByteArray>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace linktest {

class OpenerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The next runs of xdg-open exit with nStatus.
    void SetExitStatus(int nStatus);
    // Takes xdg-open off the PATH altogether.
    void RemoveOpener();
    // The arguments of each finished run so far.
    QList<QStringList> Runs() const;
    // Waits until n runs were recorded.
    bool WaitForRuns(int n) const;
    // Waits until n message boxes were shown.
    bool WaitForBoxes(std::size_t n) const;

    testsupport::CTempDir m_dir;
    testsupport::CScriptedMessageBoxes m_boxes;
    CUiServices m_ui;
    std::unique_ptr<CShellOpener> m_pOpener;

private:
    QByteArray m_savedPath;
};

} // namespace linktest
