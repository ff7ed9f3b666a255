// SPDX-License-Identifier: MIT
// The stand-in xdg-open.
#include "OpenerFixture.h"

#include "support/QtWait.h"

#include <QFile>
#include <QTextStream>

#include <filesystem>

namespace linktest {

void OpenerTest::SetUp() {
    m_ui.SetMessageBoxes(&m_boxes);
    m_pOpener = std::make_unique<CShellOpener>(m_ui);
    m_savedPath = qgetenv("PATH");
    std::filesystem::create_directories(m_dir.Path() / "bin");
    qputenv("PATH", QByteArray::fromStdString((m_dir.Path() / "bin").string()) + ":" + m_savedPath);
    SetExitStatus(0);
}

void OpenerTest::TearDown() {
    // Runs still going end here, before the services they report to.
    m_pOpener.reset();
    qputenv("PATH", m_savedPath);
}

void OpenerTest::SetExitStatus(int nStatus) {
    const std::filesystem::path script = m_dir.Path() / "bin" / "xdg-open";
    const std::filesystem::path log = m_dir.Path() / "runs.txt";
    QFile file(QString::fromStdString(script.string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QTextStream(&file) << "#!/bin/sh\n"
                       << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '"
                       << QString::fromStdString(log.string()) << "'\n"
                       << "echo >> '" << QString::fromStdString(log.string()) << "'\n"
                       << "exit " << nStatus << "\n";
    file.close();
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
}

void OpenerTest::RemoveOpener() {
    std::filesystem::remove(m_dir.Path() / "bin" / "xdg-open");
    qputenv("PATH", QByteArray::fromStdString((m_dir.Path() / "bin").string()));
}

QList<QStringList> OpenerTest::Runs() const {
    QFile file(QString::fromStdString((m_dir.Path() / "runs.txt").string()));
    QList<QStringList> runs;
    if (!file.open(QIODevice::ReadOnly))
        return runs;
    QStringList current;
    for (const QString& strLine : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (!strLine.isEmpty()) {
            current << strLine;
        } else if (!current.isEmpty()) {
            runs << current;
            current.clear();
        }
    }
    return runs;
}

bool OpenerTest::WaitForRuns(int n) const {
    return testsupport::WaitUntilPumping([&] { return Runs().size() >= n; });
}

bool OpenerTest::WaitForBoxes(std::size_t n) const {
    return testsupport::WaitUntilPumping([&] { return m_boxes.m_shown.size() >= n; });
}

} // namespace linktest
