// SPDX-License-Identifier: MIT
// The hotkeys of a Wayland session: the engine registers the table with the desktop's global
// shortcuts (a stand-in portal on a bus of the test's own), a press the desktop reports starts
// the capture through the portal's screenshot, and a changed table is registered again.
#include "EngineFixture.h"

#include "capture/portal/PortalShortcuts.h"
#include "support/portal/StandInPortal.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QUrl>

#include <algorithm>
#include <cstdlib>

namespace {

using testsupport::CStandInPortal;

class DesktopShortcutsTest : public CEngineTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bus.IsRunning()) << "dbus-daemon did not start";
        // The engine's session bus and session type, read when it starts.
        setenv("DBUS_SESSION_BUS_ADDRESS", m_bus.Address().toUtf8().constData(), 1);
        setenv("QUORVI_CAPTURE", "portal", 1);
        m_pPortal =
            std::make_unique<CStandInPortal>(m_bus.Connect(QStringLiteral("portal")), true, true);
        ASSERT_TRUE(m_pPortal->IsRegistered());
        CEngineTest::SetUp();
    }
    void TearDown() override {
        CEngineTest::TearDown();
        unsetenv("QUORVI_CAPTURE");
    }
    const CStandInPortal::Binding* BindingOf(const char* pszId) const {
        const auto& bindings = m_pPortal->Bindings();
        const auto it = std::find_if(bindings.begin(), bindings.end(),
                                     [&](const auto& b) { return b.strId == pszId; });
        return it == bindings.end() ? nullptr : &*it;
    }

    testsupport::CPrivateBus m_bus;
    std::unique_ptr<CStandInPortal> m_pPortal;
};

TEST_F(DesktopShortcutsTest, TheDesktopsShortcutStartsThePortalCapture) {
    ASSERT_TRUE(m_pEngine->UsesPortal());
    ASSERT_TRUE(PumpUntil([&] { return m_pPortal->BindCalls() == 1; }));
    // Ctrl+Alt+D, the table's desktop key; window captures cannot work here and are left out.
    const CStandInPortal::Binding* pDesktop = BindingOf("desktop");
    ASSERT_NE(pDesktop, nullptr);
    EXPECT_EQ(pDesktop->properties.value("preferred_trigger"), QStringLiteral("CTRL+ALT+d"));
    EXPECT_EQ(pDesktop->properties.value("description"), QStringLiteral("Quorvi Studio: Action9"));
    EXPECT_NE(BindingOf("rectangle"), nullptr);
    EXPECT_EQ(BindingOf("active"), nullptr);
    EXPECT_EQ(BindingOf("menu"), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return m_pEngine->KeyBindingNote().contains("global shortcuts"); }))
        << m_pEngine->KeyBindingNote().toStdString();

    const QString strFile =
        QDir::tempPath() +
        QStringLiteral("/quorvi-shortcut-%1.png").arg(QCoreApplication::applicationPid());
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    ASSERT_TRUE(picture.save(strFile, "PNG"));
    m_pPortal->SetScreenshotAnswer(CStandInPortal::EAnswer::Picture,
                                   QUrl::fromLocalFile(strFile).toString());
    m_pPortal->Activate(QStringLiteral("desktop"));
    ASSERT_TRUE(WaitForOutcome(0, 10000)) << "no capture";
    EXPECT_EQ(m_pPortal->ScreenshotCalls(), 1);
    EXPECT_EQ(LastCapture().Width(), 64);
    EXPECT_EQ(LastCapture().Height(), 48);
    EXPECT_EQ(PixelAt(LastCapture(), 5, 5).green, 200);

    // A new desktop key from the hotkeys page is registered at once, in a new session.
    platform::HotkeyTable table = m_host.m_settings.Hotkeys();
    table[platform::Desktop] = 0x8078; // Ctrl+F9
    m_pEngine->SetHotkeyTable(table.data());
    ASSERT_TRUE(PumpUntil([&] { return m_pPortal->BindCalls() == 2; }));
    EXPECT_EQ(m_pPortal->ClosedSessions(), 1);
    EXPECT_EQ(BindingOf("desktop")->properties.value("preferred_trigger"),
              QStringLiteral("CTRL+F9"));
}

} // namespace
