// SPDX-License-Identifier: MIT
// The hyperlink control as a user meets it: clicking, pressing Space, hovering, focus, the
// colours it shows, and what is told when the target does not open.
#include "OpenerFixture.h"

#include "dialogs/HyperLink.h"
#include "support/QtWait.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include <filesystem>
#include <fstream>

using linktest::OpenerTest;
using testsupport::WaitUntilPumping;

namespace {

const QString kSite = QStringLiteral("https://quorvi.example.org/");

// A window holding the link and a second control that can take the focus away.
struct LinkWindow {
    QWidget window;
    CHyperLink* pLink;
    QLineEdit* pOther;

    explicit LinkWindow(CShellOpener& opener, const QString& strText = kSite) {
        auto* pLayout = new QHBoxLayout(&window);
        pLink = new CHyperLink(opener, strText, &window);
        // Large and bold, so that the text has pixels of the pure link colour.
        QFont font = pLink->font();
        font.setPixelSize(28);
        font.setBold(true);
        pLink->AssignFont(font);
        pOther = new QLineEdit(&window);
        pLayout->addWidget(pLink);
        pLayout->addWidget(pOther);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        // The link is the first control and would take the focus.
        pOther->setFocus();
        EXPECT_TRUE(testsupport::WaitUntilPumping([this] { return pOther->hasFocus(); }));
    }
};

// The number of pixels of colour c in the link as drawn now.
int PixelsOf(QWidget& widget, const QColor& c) {
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (c.rgb() & 0xFFFFFF) ? 1 : 0;
    return n;
}

bool RunsGoing(const CShellOpener& opener) {
    for (QProcess* p : opener.findChildren<QProcess*>())
        if (p->state() != QProcess::NotRunning)
            return true;
    return false;
}

} // namespace

TEST_F(OpenerTest, ClickOpensTheLinkTextAndMarksItVisited) {
    LinkWindow w(*m_pOpener);
    EXPECT_EQ(w.pLink->Url(), kSite);
    EXPECT_EQ(w.pLink->toolTip(), kSite);
    EXPECT_EQ(w.pLink->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(w.pLink->font().underline());
    EXPECT_GT(PixelsOf(*w.pLink, CHyperLink::kLinkColour), 0);
    // The press alone opens nothing; the release over the link does.
    QTest::mousePress(w.pLink, Qt::LeftButton);
    EXPECT_FALSE(RunsGoing(*m_pOpener));
    QTest::mouseRelease(w.pLink, Qt::LeftButton);
    ASSERT_TRUE(WaitUntilPumping([&] { return w.pLink->IsVisited(); }));
    ASSERT_EQ(Runs().size(), 1);
    EXPECT_EQ(Runs()[0], QStringList{kSite});
    EXPECT_TRUE(m_boxes.m_shown.empty());
    // The focus went to the link with the click: the focus colour until it leaves.
    EXPECT_TRUE(w.pLink->hasFocus());
    EXPECT_GT(PixelsOf(*w.pLink, CHyperLink::kFocusColour), 0);
    w.pOther->setFocus();
    ASSERT_TRUE(WaitUntilPumping([&] { return !w.pLink->hasFocus(); }));
    EXPECT_GT(PixelsOf(*w.pLink, CHyperLink::kVisitedColour), 0);
    EXPECT_EQ(PixelsOf(*w.pLink, CHyperLink::kFocusColour), 0);
}

TEST_F(OpenerTest, OpenOnPressOpensOnceForAClick) {
    LinkWindow w(*m_pOpener, QStringLiteral("support@quorvi.example.org"));
    w.pLink->AssignUrl(QStringLiteral("mailto:support@quorvi.example.org"));
    ASSERT_TRUE(w.pLink->ChangeStyle(0, CHyperLink::LinkOpenOnDown));
    EXPECT_EQ(w.pLink->text(), QStringLiteral("support@quorvi.example.org"));
    QTest::mousePress(w.pLink, Qt::LeftButton);
    ASSERT_TRUE(WaitUntilPumping([&] { return w.pLink->IsVisited(); }));
    QTest::mouseRelease(w.pLink, Qt::LeftButton);
    EXPECT_FALSE(RunsGoing(*m_pOpener)) << "the release opened it again";
    ASSERT_EQ(Runs().size(), 1);
    EXPECT_EQ(Runs()[0], QStringList{QStringLiteral("mailto:support@quorvi.example.org")});
}

TEST_F(OpenerTest, SpaceOpensTheFocusedLinkAndOtherKeysDoNot) {
    LinkWindow w(*m_pOpener);
    w.pLink->setFocus();
    ASSERT_TRUE(WaitUntilPumping([&] { return w.pLink->hasFocus(); }));
    QTest::keyClick(w.pLink, Qt::Key_A);
    QTest::keyClick(w.pLink, Qt::Key_Return);
    EXPECT_FALSE(RunsGoing(*m_pOpener));
    QTest::keyClick(w.pLink, Qt::Key_Space);
    ASSERT_TRUE(WaitUntilPumping([&] { return w.pLink->IsVisited(); }));
    EXPECT_EQ(Runs().size(), 1);
}

TEST_F(OpenerTest, HoverShowsTheHoverColourUntilThePointerLeavesEvenWithTheButtonHeld) {
    LinkWindow w(*m_pOpener);
    // The hover colour is not part of the default style.
    QTest::mouseMove(w.pLink, QPoint(2, 2));
    ASSERT_TRUE(WaitUntilPumping([&] { return w.pLink->IsHovering(); }));
    EXPECT_EQ(PixelsOf(*w.pLink, CHyperLink::kHoverColour), 0);
    ASSERT_TRUE(w.pLink->ChangeStyle(0, CHyperLink::LinkHoverColour));
    QTest::mouseMove(w.pLink, w.pLink->rect().center());
    EXPECT_GT(PixelsOf(*w.pLink, CHyperLink::kHoverColour), 0);
    // Pressed on the link, then dragged off it with the button down.
    QTest::mousePress(w.pLink, Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(-20, -20), w.pLink->mapToGlobal(QPointF(-20, -20)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.pLink, &move);
    EXPECT_FALSE(w.pLink->IsHovering());
    EXPECT_EQ(PixelsOf(*w.pLink, CHyperLink::kHoverColour), 0);
    // Released off the link: the click is taken back.
    QTest::mouseRelease(w.pLink, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_FALSE(RunsGoing(*m_pOpener));
    EXPECT_FALSE(w.pLink->IsVisited());
    // Back over it, the hover colour shows again.
    QTest::mouseMove(w.pLink, QPoint(3, 3));
    ASSERT_TRUE(WaitUntilPumping([&] { return w.pLink->IsHovering(); }));
    EXPECT_GT(PixelsOf(*w.pLink, CHyperLink::kHoverColour), 0);
}

TEST_F(OpenerTest, StyleChangesFollowAndConflictingMasksAreRefused) {
    LinkWindow w(*m_pOpener);
    EXPECT_EQ(w.pLink->Style(), CHyperLink::kDefaultStyle);
    EXPECT_FALSE(w.pLink->ChangeStyle(CHyperLink::LinkUnderline, CHyperLink::LinkUnderline));
    EXPECT_EQ(w.pLink->Style(), CHyperLink::kDefaultStyle);
    ASSERT_TRUE(w.pLink->ChangeStyle(CHyperLink::LinkUnderline, CHyperLink::LinkNoHandCursor));
    EXPECT_FALSE(w.pLink->font().underline());
    EXPECT_NE(w.pLink->cursor().shape(), Qt::PointingHandCursor);
    // Auto-size: as wide as the text, so the space beside it is not part of the link.
    EXPECT_EQ(w.pLink->width(), w.pLink->sizeHint().width());
    // Without the focus colour a focused link shows the link colour.
    ASSERT_TRUE(w.pLink->ChangeStyle(0, CHyperLink::LinkNoFocusColour));
    w.pLink->setFocus();
    ASSERT_TRUE(WaitUntilPumping([&] { return w.pLink->hasFocus(); }));
    EXPECT_EQ(PixelsOf(*w.pLink, CHyperLink::kFocusColour), 0);
    EXPECT_GT(PixelsOf(*w.pLink, CHyperLink::kLinkColour), 0);
}

TEST_F(OpenerTest, FailuresAreToldWithTheirReasonAndLeaveTheLinkUnvisited) {
    LinkWindow w(*m_pOpener);
    const struct {
        int nStatus;
        const char* pszReason;
    } cases[] = {
        {3, "There is no application associated\nwith the given filename extension."},
        {2, "The specified file was not found."},
        {4, "The filename association is\nincomplete or invalid."},
        {9, "Unknown Error (9) occurred."},
    };
    for (const auto& c : cases) {
        m_boxes.m_shown.clear();
        m_standIn.SetExitStatus(c.nStatus);
        w.pLink->Navigate();
        ASSERT_TRUE(WaitForBoxes(1)) << c.nStatus;
        EXPECT_EQ(m_boxes.m_shown[0].strText,
                  QStringLiteral("Can't open link:\n\n") + QString::fromUtf8(c.pszReason));
        EXPECT_EQ(m_boxes.m_shown[0].icon, EMsgIcon::Exclamation);
        EXPECT_EQ(m_boxes.m_shown[0].buttons, EMsgButtons::Ok);
        EXPECT_FALSE(w.pLink->IsVisited());
    }
    // A folder with no program for it: what is missing is a file manager.
    m_boxes.m_shown.clear();
    m_standIn.SetExitStatus(3);
    m_pOpener->Open(QString::fromStdString(m_dir.Path().string()));
    ASSERT_TRUE(WaitForBoxes(1));
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Can't open link:\n\nNo program is installed to open folders: "
                             "install a file manager."));
    // No xdg-open at all: the message names the package to install.
    m_standIn.RemoveFromPath();
    m_boxes.m_shown.clear();
    w.pLink->Navigate();
    ASSERT_TRUE(WaitForBoxes(1));
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Can't open link:\n\nNo program is installed to open links: install "
                             "xdg-utils."));
    EXPECT_FALSE(w.pLink->IsVisited());
}

TEST_F(OpenerTest, TargetsGoAsOneArgumentNeverThroughAShell) {
    const QString strTarget =
        QStringLiteral("https://x.example/?a=1&b=$(touch pwned); echo 'q' \"r\"");
    LinkWindow w(*m_pOpener, strTarget);
    w.pLink->Navigate();
    ASSERT_TRUE(WaitUntilPumping([&] { return w.pLink->IsVisited(); }));
    ASSERT_EQ(Runs().size(), 1);
    EXPECT_EQ(Runs()[0], QStringList{strTarget});
    EXPECT_FALSE(std::filesystem::exists("pwned"));
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "pwned"));
}

TEST_F(OpenerTest, AnOpenerStillRunningCountsAsOpenedAndALaterFailureIsStillTold) {
    LinkWindow w(*m_pOpener);
    const std::filesystem::path closed = m_dir.Path() / "program-ended";
    m_standIn.SetExitStatus(4, closed);
    w.pLink->Navigate();
    // xdg-open waits while the program it started runs: after a while that counts as opened.
    ASSERT_TRUE(WaitUntilPumping([&] { return w.pLink->IsVisited(); }));
    EXPECT_TRUE(m_boxes.m_shown.empty());
    std::ofstream(closed).put('x');
    ASSERT_TRUE(WaitForBoxes(1));
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Can't open link:\n\nThe filename association is\nincomplete or "
                             "invalid."));
}
