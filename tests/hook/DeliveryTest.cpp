// SPDX-License-Identifier: MIT
// How messages reach the application: order, no re-entry, hooks changed from inside the proc,
// hotkeys during a pick, and a lost X connection.
#include "HookFixture.h"

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

#include <poll.h>

#include <algorithm>

using Delivery = CHookTestBothPaths;

namespace {
constexpr uint32_t kCrosshair = QRZ_CURSOR_SHAPE(34);
}

// The capture engine runs a nested event loop inside its handler (the waits before a grab);
// the library must neither call it again meanwhile nor lose or reorder what arrives.
TEST_P(Delivery, ProcIsNeverReenteredAndOrderIsKept) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    int depth = 0;
    int maxDepth = 0;
    int nestedResult = -100;
    m_keyboard.onMessage = [&](const RecordedMessage& message) {
        maxDepth = std::max(maxDepth, ++depth);
        if (message == Hotkey(9)) {
            m_pClient->Tap(XK_Print);
            m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_r});
            m_pClient->Sync();
            // A nested loop as long as the engine's timed waits before a grab; it has to last
            // while the keys above come in, so it runs for a time rather than until an event.
            PumpUntil([] { return false; }, std::chrono::milliseconds(200));
            nestedResult = QRZ_DispatchEvents();
        }
        --depth;
    };
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_d});
    KeyboardBarrier();
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(nestedResult, 0);
    EXPECT_EQ(Received(m_keyboard),
              (std::vector<RecordedMessage>{Hotkey(9), Hotkey(12), Hotkey(4)}));
}

TEST_P(Delivery, UnhookInsideTheProcDropsWhatIsQueued) {
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    m_mouse.onMessage = [](const RecordedMessage& message) {
        if (message.nWParam == QRZ_MOUSE_LEFT_DOWN)
            QRZ_UnHookMouse();
    };
    m_pClient->MoveTo(200, 200);
    m_pClient->Click(1);
    m_pClient->MoveTo(300, 300);
    m_pClient->Click(3);
    m_pClient->Tap(XK_Escape);
    m_pClient->Sync();
    KeyboardBarrier();
    EXPECT_EQ(m_mouse.messages,
              (std::vector<RecordedMessage>{Mouse(QRZ_MOUSE_MOVE, 200, 200),
                                            Mouse(QRZ_MOUSE_LEFT_DOWN, 200, 200)}));
}

TEST_P(Delivery, ShutdownInsideTheProcEndsDispatchSafely) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    m_keyboard.onMessage = [](const RecordedMessage&) { QRZ_Shutdown(); };
    m_pClient->Tap(XK_Print);
    m_pClient->Tap(XK_Print);
    m_pClient->Sync();
    const int fd = QRZ_GetConnectionFd();
    ASSERT_GE(fd, 0);
    int result = 0;
    for (int i = 0; i < 50 && result >= 0; ++i) {
        pollfd pfd{fd, POLLIN, 0};
        poll(&pfd, 1, 100);
        result = QRZ_DispatchEvents();
    }
    EXPECT_EQ(result, QRZ_ERR_NO_DISPLAY);
    EXPECT_EQ(m_keyboard.messages, std::vector<RecordedMessage>{Hotkey(12)});
    testsupport::CXClient other(m_pServer->DisplayName());
    EXPECT_TRUE(other.GrabKey(XK_Print, 0));
}

// While picking, the library holds the keyboard: picker keys go to the mouse hook's proc and
// hotkeys still reach the keyboard hook's proc.
TEST_P(Delivery, HotkeysStillArriveWhilePicking) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_d});
    m_pClient->Tap(XK_Escape);
    m_pClient->Tap(XK_d);
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard), std::vector<RecordedMessage>{Hotkey(9)});
    // Ctrl and Alt are not picker keys; Escape is.
    EXPECT_EQ(m_mouse.messages, std::vector<RecordedMessage>{PickerKey(QRZ_VK_ESCAPE)});
}

// The usual road: the hotkey's proc starts a picker while the keys are still down. Releasing
// them must not end the picker's keyboard grab.
TEST_P(Delivery, PickerStartedFromAHotkeyKeepsTheKeyboard) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    int hookResult = -100;
    m_keyboard.onMessage = [&](const RecordedMessage& message) {
        if (message == Hotkey(4))
            hookResult = QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair);
    };
    m_pClient->KeyDown(XK_Control_L);
    m_pClient->KeyDown(XK_Alt_L);
    m_pClient->KeyDown(XK_r);
    ASSERT_TRUE(WaitForCount(m_keyboard, 1));
    ASSERT_EQ(hookResult, QRZ_OK);
    m_pClient->KeyUp(XK_r);
    m_pClient->KeyUp(XK_Alt_L);
    m_pClient->KeyUp(XK_Control_L);
    m_pClient->Tap(XK_Shift_L);
    ASSERT_TRUE(WaitForCount(m_mouse, 1));
    EXPECT_EQ(m_mouse.messages, std::vector<RecordedMessage>{PickerKey(QRZ_VK_SHIFT)});
    testsupport::CXClient other(m_pServer->DisplayName());
    EXPECT_EQ(other.GrabKeyboard(), XCB_GRAB_STATUS_ALREADY_GRABBED);
    // The hotkey works again once the picker is done.
    ASSERT_EQ(QRZ_UnHookMouse(), QRZ_OK);
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_r});
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard), (std::vector<RecordedMessage>{Hotkey(4), Hotkey(4)}));
}

TEST_P(Delivery, LostServerIsReportedNotCrashed) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    const int fd = QRZ_GetConnectionFd();
    m_pClient.reset();
    m_pServer.reset();
    pollfd pfd{fd, POLLIN, 0};
    poll(&pfd, 1, 5000);
    EXPECT_EQ(QRZ_DispatchEvents(), QRZ_ERR_NO_DISPLAY);
    EXPECT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_ERR_NO_DISPLAY);
    EXPECT_EQ(QRZ_SetCaptureHotKey(DefaultTable().data()), QRZ_ERR_NO_DISPLAY);
    EXPECT_EQ(QRZ_MovePointerBy(1, 1), QRZ_ERR_NO_DISPLAY);
    EXPECT_EQ(QRZ_UnHookMouse(), QRZ_OK);
    EXPECT_EQ(QRZ_UnHookKeyboard(), QRZ_OK);
    EXPECT_EQ(QRZ_Shutdown(), QRZ_OK);
    EXPECT_EQ(QRZ_Connect(":0x"), QRZ_ERR_NO_DISPLAY);
    EXPECT_EQ(QRZ_DispatchEvents(), QRZ_ERR_NO_DISPLAY);
}

INSTANTIATE_TEST_SUITE_P(KeyPaths, Delivery, ::testing::Bool(), KeyPathName);
