// SPDX-License-Identifier: MIT
// The opener of the links over a stand-in xdg-open, with message boxes from a script.
#pragma once

#include "framework/UiServices.h"
#include "framework/ui/ShellOpener.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StandInOpener.h"
#include "support/TestSupport.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace linktest {

class OpenerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The arguments of each finished run so far.
    QList<QStringList> Runs() const;
    // Waits until n message boxes were shown.
    bool WaitForBoxes(std::size_t n) const;

    testsupport::CTempDir m_dir;
    testsupport::CStandInOpener m_standIn{m_dir.Path()};
    testsupport::CScriptedMessageBoxes m_boxes;
    CUiServices m_ui;
    std::unique_ptr<CShellOpener> m_pOpener;
};

} // namespace linktest
