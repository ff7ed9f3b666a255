// SPDX-License-Identifier: MIT
// The About box: the version line and its two links.
#include "OpenerFixture.h"

#include "dialogs/AboutDlg.h"
#include "dialogs/HyperLink.h"
#include "support/QtWait.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using linktest::OpenerTest;
using testsupport::WaitUntilPumping;

TEST_F(OpenerTest, AboutShowsTheVersionAndOpensItsLinks) {
    CAboutDlg dialog(m_ui, *m_pOpener, QStringLiteral("3.4.5"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QStringList texts;
    for (QLabel* pLabel : dialog.findChildren<QLabel*>())
        texts << pLabel->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Quorvi Studio Version 3.4.5")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Website:")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Support:")));

    // The website link shows its address and opens it on the click's release.
    CHyperLink* pWebsite = dialog.WebsiteLink();
    QTest::mouseClick(pWebsite, Qt::LeftButton);
    ASSERT_TRUE(WaitUntilPumping([&] { return pWebsite->IsVisited(); }));
    ASSERT_EQ(Runs().size(), 1);
    EXPECT_EQ(Runs()[0], QStringList{pWebsite->text()});
    EXPECT_TRUE(pWebsite->text().startsWith(QStringLiteral("https://")));
    // The support link shows the address and opens a mail to it as soon as it is pressed.
    CHyperLink* pSupport = dialog.SupportLink();
    QTest::mousePress(pSupport, Qt::LeftButton);
    ASSERT_TRUE(WaitUntilPumping([&] { return pSupport->IsVisited(); }));
    QTest::mouseRelease(pSupport, Qt::LeftButton);
    ASSERT_EQ(Runs().size(), 2);
    EXPECT_EQ(Runs()[1], QStringList{QStringLiteral("mailto:") + pSupport->text()});

    // OK closes the box.
    for (QPushButton* pButton : dialog.findChildren<QPushButton*>())
        if (pButton->text() == QStringLiteral("&OK"))
            pButton->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}
