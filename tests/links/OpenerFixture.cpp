// SPDX-License-Identifier: MIT
// The opener fixture.
#include "OpenerFixture.h"

#include "support/QtWait.h"

namespace linktest {

void OpenerTest::SetUp() {
    m_ui.SetMessageBoxes(&m_boxes);
    m_pOpener = std::make_unique<CShellOpener>(m_ui);
}

void OpenerTest::TearDown() {
    // Runs still going end here, before the services they report to.
    m_pOpener.reset();
}

QList<QStringList> OpenerTest::Runs() const {
    QList<QStringList> runs;
    for (const std::vector<std::string>& run : m_standIn.Runs()) {
        QStringList args;
        for (const std::string& str : run)
            args << QString::fromStdString(str);
        runs << args;
    }
    return runs;
}

bool OpenerTest::WaitForBoxes(std::size_t n) const {
    return testsupport::WaitUntilPumping([&] { return m_boxes.m_shown.size() >= n; });
}

} // namespace linktest
