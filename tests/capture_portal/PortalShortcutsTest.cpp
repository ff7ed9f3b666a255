// SPDX-License-Identifier: MIT
// CPortalShortcuts against a stand-in portal on a bus of the test's own: the shortcuts bound with
// the keys we would like, the keys the desktop gave, presses of our session's shortcuts only, a
// new table replacing the session, and a portal without the interface.
#include "capture/portal/PortalShortcuts.h"

#include "support/portal/StandInPortal.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using testsupport::CStandInPortal;

class PortalShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_bus.IsRunning()) << "dbus-daemon did not start"; }

    testsupport::CPrivateBus m_bus;
};

TEST(ShortcutTrigger, HotkeyWordsBecomePortalTriggers) {
    EXPECT_EQ(capture::ShortcutTrigger(0x202C), QStringLiteral("ALT+Print"));
    EXPECT_EQ(capture::ShortcutTrigger(0xE043), QStringLiteral("CTRL+SHIFT+ALT+c"));
    // The modifier bits: 0x8000 Ctrl, 0x4000 Shift, 0x2000 Alt.
    EXPECT_EQ(capture::ShortcutTrigger(0x8078), QStringLiteral("CTRL+F9"));
    EXPECT_EQ(capture::ShortcutTrigger(0x406B), QStringLiteral("SHIFT+KP_Add"));
    EXPECT_EQ(capture::ShortcutTrigger(0x0035), QStringLiteral("5"));
    EXPECT_EQ(capture::ShortcutTrigger(0), QString());
    EXPECT_EQ(capture::ShortcutTrigger(0x8007), QString()) << "no such key";
}

TEST_F(PortalShortcutsTest, BoundShortcutsReportTheirPressesAndANewTableReplacesTheSession) {
    CStandInPortal portal(m_bus.Connect(QStringLiteral("portal")), false, true);
    ASSERT_TRUE(portal.IsRegistered());
    CPortalShortcuts shortcuts(m_bus.Connect(QStringLiteral("client")));
    QSignalSpy bound(&shortcuts, &CPortalShortcuts::bound);
    QSignalSpy activated(&shortcuts, &CPortalShortcuts::activated);
    shortcuts.Bind({{QStringLiteral("desktop"), QStringLiteral("Desktop"), QStringLiteral("F9")},
                    {QStringLiteral("rectangle"), QStringLiteral("Rectangle"), QString()}});
    ASSERT_TRUE(bound.wait(10000));
    EXPECT_EQ(shortcuts.State(), CPortalShortcuts::EState::Bound);
    ASSERT_EQ(portal.Bindings().size(), 2u);
    EXPECT_EQ(portal.Bindings()[0].strId, QStringLiteral("desktop"));
    EXPECT_EQ(portal.Bindings()[0].properties.value("description"), QStringLiteral("Desktop"));
    EXPECT_EQ(portal.Bindings()[0].properties.value("preferred_trigger"), QStringLiteral("F9"));
    EXPECT_FALSE(portal.Bindings()[1].properties.contains("preferred_trigger"))
        << "no key: the desktop's choice";
    EXPECT_EQ(shortcuts.TriggerOf(QStringLiteral("desktop")), QStringLiteral("Press F9"));

    // Only our own session's presses count.
    portal.Activate(QStringLiteral("rectangle"), QStringLiteral("/elsewhere/session"));
    portal.Activate(QStringLiteral("rectangle"));
    ASSERT_TRUE(activated.wait(10000));
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated[0][0].toString(), QStringLiteral("rectangle"));

    // The same shortcuts again (Options closed with OK) leave the session alone.
    shortcuts.Bind({{QStringLiteral("desktop"), QStringLiteral("Desktop"), QStringLiteral("F9")},
                    {QStringLiteral("rectangle"), QStringLiteral("Rectangle"), QString()}});
    EXPECT_EQ(shortcuts.State(), CPortalShortcuts::EState::Bound);

    // A session binds once: new keys come with a new session, the old one closed.
    const QString strFirstSession = portal.BoundSession();
    shortcuts.Bind({{QStringLiteral("desktop"), QStringLiteral("Desktop"), QStringLiteral("F10")}});
    ASSERT_TRUE(bound.wait(10000));
    EXPECT_EQ(portal.BindCalls(), 2);
    EXPECT_EQ(portal.ClosedSessions(), 1);
    EXPECT_NE(portal.BoundSession(), strFirstSession);
    EXPECT_EQ(shortcuts.TriggerOf(QStringLiteral("desktop")), QStringLiteral("Press F10"));
    EXPECT_EQ(shortcuts.TriggerOf(QStringLiteral("rectangle")), QString());
}

TEST_F(PortalShortcutsTest, APortalWithoutGlobalShortcutsSaysSo) {
    CStandInPortal portal(m_bus.Connect(QStringLiteral("portal")), true, false);
    ASSERT_TRUE(portal.IsRegistered());
    CPortalShortcuts shortcuts(m_bus.Connect(QStringLiteral("client")));
    QSignalSpy unavailable(&shortcuts, &CPortalShortcuts::unavailable);
    shortcuts.Bind({{QStringLiteral("desktop"), QStringLiteral("Desktop"), QStringLiteral("F9")}});
    ASSERT_TRUE(unavailable.wait(10000));
    EXPECT_EQ(shortcuts.State(), CPortalShortcuts::EState::Unavailable);
    EXPECT_EQ(shortcuts.FailureText(),
              QStringLiteral("The desktop portal offers no global shortcuts."));
}

} // namespace
