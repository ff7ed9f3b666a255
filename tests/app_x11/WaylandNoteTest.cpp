// SPDX-License-Identifier: MIT
// Started in a Wayland session, the program runs on X11 through XWayland and says so once in
// the status bar.
#include "AppFixture.h"

#include "app/DisplayCheck.h"
#include "views/ImageViewHost.h"

#include <QByteArray>

namespace {

// The session variables of a Wayland desktop while the object lives; the X display stays.
class CWaylandSession {
public:
    CWaylandSession()
        : m_platform(qgetenv("QT_QPA_PLATFORM")), m_session(qgetenv("XDG_SESSION_TYPE")),
          m_wayland(qgetenv("WAYLAND_DISPLAY")) {
        qunsetenv("QT_QPA_PLATFORM");
        qputenv("XDG_SESSION_TYPE", "wayland");
        qputenv("WAYLAND_DISPLAY", "wayland-0");
    }
    ~CWaylandSession() {
        Restore("QT_QPA_PLATFORM", m_platform);
        Restore("XDG_SESSION_TYPE", m_session);
        Restore("WAYLAND_DISPLAY", m_wayland);
    }
    CWaylandSession(const CWaylandSession&) = delete;
    CWaylandSession& operator=(const CWaylandSession&) = delete;

private:
    static void Restore(const char* pszName, const QByteArray& value) {
        if (value.isEmpty())
            qunsetenv(pszName);
        else
            qputenv(pszName, value);
    }
    QByteArray m_platform, m_session, m_wayland;
};

using WaylandSession = apptest::AppTest;

} // namespace

TEST_F(WaylandSession, RunsThroughXWaylandAndSaysSoOnceInTheStatusBar) {
    DisplayChoice choice;
    {
        CWaylandSession session;
        QString strError;
        const auto chosen = ChooseDisplay(&strError);
        ASSERT_TRUE(chosen.has_value()) << strError.toStdString();
        choice = *chosen;
        EXPECT_TRUE(choice.bForcedXcb);
        EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));
    }
    EXPECT_EQ(
        choice.strStatusNote,
        QStringLiteral(
            "Wayland session: captures go through the desktop portal. To capture with a key, bind "
            "\"quorvi-studio --capture ACTION\" in the desktop's keyboard settings."));

    // An explicit platform choice is the user's: no note, nothing forced.
    {
        CWaylandSession session;
        qputenv("QT_QPA_PLATFORM", "xcb");
        const auto chosen = ChooseDisplay(nullptr);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_FALSE(chosen->bForcedXcb);
        EXPECT_TRUE(chosen->strStatusNote.isEmpty());
    }

    // Captures kept on an X server of their own: the platform is still forced, without the note.
    {
        CWaylandSession session;
        qputenv("QUORVI_CAPTURE", "x11");
        const auto chosen = ChooseDisplay(nullptr);
        qunsetenv("QUORVI_CAPTURE");
        ASSERT_TRUE(chosen.has_value());
        EXPECT_TRUE(chosen->bForcedXcb);
        EXPECT_TRUE(chosen->strStatusNote.isEmpty());
    }

    m_pApp = std::make_unique<CTavixCaptureApp>();
    m_pApp->SetHiveLocations(platform::HiveLocations::FromEnvironment());
    m_pApp->SetStartupNote(choice.strStatusNote);
    ASSERT_TRUE(m_pApp->InitInstance({}));
    ProcessEvents();
    EXPECT_EQ(Frame().Panes().PaneText(IImageViewHost::PaneMessage), choice.strStatusNote);
}
