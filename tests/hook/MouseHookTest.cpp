// SPDX-License-Identifier: MIT
// The pickers' mouse hook: grabs, mouse messages, double clicks, picker keys and nudges.
#include "HookFixture.h"

#include <xcb/xfixes.h>

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

#include <cstdlib>

using MouseHook = CHookTest;

namespace {

constexpr uint32_t kCrosshair = QRZ_CURSOR_SHAPE(34);

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};

// The hot spot and size of the cursor the server shows now, read through XFixes.
struct CursorShape {
    int cx, cy, xhot, yhot;
    bool operator==(const CursorShape&) const = default;
};

CursorShape CurrentCursor(xcb_connection_t* pConnection) {
    std::unique_ptr<xcb_xfixes_query_version_reply_t, FreeDeleter> version(
        xcb_xfixes_query_version_reply(pConnection, xcb_xfixes_query_version(pConnection, 4, 0),
                                       nullptr));
    std::unique_ptr<xcb_xfixes_get_cursor_image_reply_t, FreeDeleter> image(
        xcb_xfixes_get_cursor_image_reply(pConnection, xcb_xfixes_get_cursor_image(pConnection),
                                          nullptr));
    if (!image)
        return {-1, -1, -1, -1};
    return {image->width, image->height, image->xhot, image->yhot};
}

// A 9x7 bitmap cursor with its hot spot at (3, 5), made on the test's own connection the way
// the application makes its picker cursors.
xcb_cursor_t MakeCursor(xcb_connection_t* pConnection, xcb_window_t root) {
    const xcb_pixmap_t source = xcb_generate_id(pConnection);
    const xcb_pixmap_t mask = xcb_generate_id(pConnection);
    xcb_create_pixmap(pConnection, 1, source, root, 9, 7);
    xcb_create_pixmap(pConnection, 1, mask, root, 9, 7);
    const xcb_gcontext_t gc = xcb_generate_id(pConnection);
    const uint32_t foreground = 1;
    xcb_create_gc(pConnection, gc, source, XCB_GC_FOREGROUND, &foreground);
    const xcb_rectangle_t all{0, 0, 9, 7};
    xcb_poly_fill_rectangle(pConnection, source, gc, 1, &all);
    xcb_poly_fill_rectangle(pConnection, mask, gc, 1, &all);
    const xcb_cursor_t cursor = xcb_generate_id(pConnection);
    xcb_create_cursor(pConnection, cursor, source, mask, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF, 3, 5);
    xcb_free_gc(pConnection, gc);
    xcb_free_pixmap(pConnection, source);
    xcb_free_pixmap(pConnection, mask);
    xcb_flush(pConnection);
    return cursor;
}

} // namespace

TEST_F(MouseHook, DeliversMovesAndButtonsAtScreenPositions) {
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    m_pClient->MoveTo(100, 200);
    m_pClient->Click(1);
    m_pClient->MoveTo(1279, 1023);
    m_pClient->Click(3);
    m_pClient->Click(2);
    m_pClient->Click(4); // wheel: not reported
    MouseBarrier();
    EXPECT_EQ(
        Received(m_mouse),
        (std::vector<RecordedMessage>{
            Mouse(QRZ_MOUSE_MOVE, 100, 200), Mouse(QRZ_MOUSE_LEFT_DOWN, 100, 200),
            Mouse(QRZ_MOUSE_LEFT_UP, 100, 200), Mouse(QRZ_MOUSE_MOVE, 1279, 1023),
            Mouse(QRZ_MOUSE_RIGHT_DOWN, 1279, 1023), Mouse(QRZ_MOUSE_RIGHT_UP, 1279, 1023),
            Mouse(QRZ_MOUSE_MIDDLE_DOWN, 1279, 1023), Mouse(QRZ_MOUSE_MIDDLE_UP, 1279, 1023)}));
    EXPECT_TRUE(m_keyboard.messages.empty());
}

// A picker redraws on every move: moves that piled up while it was busy become the newest one.
TEST_F(MouseHook, QueuedMovesAreMerged) {
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    for (int i = 1; i <= 50; ++i)
        m_pClient->MoveTo(100 + i, 300);
    m_pClient->Click(1);
    m_pClient->Sync();
    MouseBarrier();
    const std::vector<RecordedMessage> received = Received(m_mouse);
    ASSERT_GE(received.size(), 3u);
    EXPECT_LT(received.size(), 50u);
    int lastX = 100;
    for (size_t i = 0; i + 2 < received.size(); ++i) {
        EXPECT_EQ(received[i].nWParam, QRZ_MOUSE_MOVE);
        EXPECT_GT(QRZ_POINT_X(received[i].nLParam), lastX); // in order, none invented
        lastX = QRZ_POINT_X(received[i].nLParam);
    }
    EXPECT_EQ(received[received.size() - 3], Mouse(QRZ_MOUSE_MOVE, 150, 300));
    EXPECT_EQ(received[received.size() - 2], Mouse(QRZ_MOUSE_LEFT_DOWN, 150, 300));
}

// Timestamps come from the server: XTest's delay spaces them without the test sleeping.
TEST_F(MouseHook, DoubleClickNeedsTheTimeLimitAndTheSameSpot) {
    ASSERT_EQ(QRZ_SetDoubleClickTime(300), QRZ_OK);
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    m_pClient->MoveTo(300, 300);
    m_pClient->Click(1);
    m_pClient->Click(1, 50);  // double
    m_pClient->Click(1, 50);  // a third click starts a new pair
    m_pClient->Click(1, 400); // too late
    m_pClient->MoveTo(302, 298);
    m_pClient->Click(1, 50); // 2 pixels away: still double
    m_pClient->MoveTo(310, 298);
    m_pClient->Click(1);
    m_pClient->MoveTo(313, 298);
    m_pClient->Click(1); // 3 pixels away: not double
    m_pClient->Click(3);
    m_pClient->Click(1); // a right click in between breaks the pair
    MouseBarrier();

    std::vector<uint32_t> downs;
    for (const RecordedMessage& m : Received(m_mouse))
        if (m.nWParam == QRZ_MOUSE_LEFT_DOWN || m.nWParam == QRZ_MOUSE_LEFT_DOUBLE)
            downs.push_back(m.nWParam);
    EXPECT_EQ(downs, (std::vector<uint32_t>{QRZ_MOUSE_LEFT_DOWN, QRZ_MOUSE_LEFT_DOUBLE,
                                            QRZ_MOUSE_LEFT_DOWN, QRZ_MOUSE_LEFT_DOWN,
                                            QRZ_MOUSE_LEFT_DOUBLE, QRZ_MOUSE_LEFT_DOWN,
                                            QRZ_MOUSE_LEFT_DOWN, QRZ_MOUSE_LEFT_DOWN}));
    EXPECT_EQ(QRZ_SetDoubleClickTime(0), QRZ_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(QRZ_SetDoubleClickTime(5001), QRZ_ERR_INVALID_ARGUMENT);
}

TEST_F(MouseHook, PickerKeysArriveAndOtherKeysDoNot) {
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    for (uint32_t keysym : {XK_Shift_L, XK_Shift_R, XK_Escape, XK_Left, XK_Up, XK_Right, XK_Down,
                            XK_a, XK_Return, XK_Control_L, XK_KP_Left, XK_KP_Down})
        m_pClient->Tap(keysym);
    m_pClient->Chord({XK_Control_L, XK_Right}); // modifiers do not matter
    m_pClient->Tap(XK_Num_Lock);
    m_pClient->Tap(XK_KP_Left); // now the digit 4
    m_pClient->Tap(XK_Num_Lock);
    m_pClient->Tap(XK_Escape);
    ASSERT_TRUE(PumpUntil([&] { return m_mouse.messages.size() >= 11; }));
    MouseBarrier();
    EXPECT_EQ(Received(m_mouse),
              (std::vector<RecordedMessage>{
                  PickerKey(QRZ_VK_SHIFT), PickerKey(QRZ_VK_SHIFT), PickerKey(QRZ_VK_ESCAPE),
                  PickerKey(QRZ_VK_LEFT), PickerKey(QRZ_VK_UP), PickerKey(QRZ_VK_RIGHT),
                  PickerKey(QRZ_VK_DOWN), PickerKey(QRZ_VK_LEFT), PickerKey(QRZ_VK_DOWN),
                  PickerKey(QRZ_VK_RIGHT), PickerKey(QRZ_VK_ESCAPE)}));
}

TEST_F(MouseHook, NudgeMovesThePointerOnePixel) {
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    m_pClient->MoveTo(50, 60);
    ASSERT_TRUE(WaitForCount(m_mouse, 1));
    ASSERT_EQ(QRZ_MovePointerBy(1, 0), QRZ_OK);
    ASSERT_TRUE(WaitForCount(m_mouse, 2));
    EXPECT_EQ(m_pClient->PointerPosition(), std::make_pair(51, 60));
    ASSERT_EQ(QRZ_MovePointerBy(0, -1), QRZ_OK);
    ASSERT_TRUE(WaitForCount(m_mouse, 3));
    EXPECT_EQ(m_pClient->PointerPosition(), std::make_pair(51, 59));
    EXPECT_EQ(m_mouse.messages, (std::vector<RecordedMessage>{Mouse(QRZ_MOUSE_MOVE, 50, 60),
                                                              Mouse(QRZ_MOUSE_MOVE, 51, 60),
                                                              Mouse(QRZ_MOUSE_MOVE, 51, 59)}));
    // At the edge the pointer stays and nothing is reported.
    m_pClient->MoveTo(0, 500);
    ASSERT_TRUE(WaitForCount(m_mouse, 4));
    ASSERT_EQ(QRZ_MovePointerBy(-1, 0), QRZ_OK);
    MouseBarrier();
    EXPECT_EQ(Received(m_mouse).back(), Mouse(QRZ_MOUSE_MOVE, 0, 500));
    EXPECT_EQ(QRZ_MovePointerBy(40000, 0), QRZ_ERR_INVALID_ARGUMENT);
}

TEST_F(MouseHook, ShowsTheGivenCursorUntilUnhooked) {
    const CursorShape before = CurrentCursor(m_pClient->Connection());
    const xcb_cursor_t cursor = MakeCursor(m_pClient->Connection(), m_pClient->Root());
    m_pClient->Sync(); // requests of two connections are not ordered: the cursor must exist
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, cursor), QRZ_OK);
    EXPECT_EQ(CurrentCursor(m_pClient->Connection()), (CursorShape{9, 7, 3, 5}));

    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    const CursorShape crosshair = CurrentCursor(m_pClient->Connection());
    EXPECT_NE(crosshair, (CursorShape{9, 7, 3, 5}));
    EXPECT_NE(crosshair, before);

    ASSERT_EQ(QRZ_UnHookMouse(), QRZ_OK);
    EXPECT_EQ(CurrentCursor(m_pClient->Connection()), before);
    xcb_free_cursor(m_pClient->Connection(), cursor);
}

TEST_F(MouseHook, BadCursorsLeaveNothingGrabbed) {
    EXPECT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, QRZ_CURSOR_SHAPE(35)),
              QRZ_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, QRZ_CURSOR_SHAPE(154)),
              QRZ_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, 0x1FFFFFFF), QRZ_ERR_BAD_CURSOR);
    EXPECT_EQ(QRZ_HookMouse(nullptr, nullptr, kCrosshair), QRZ_ERR_INVALID_ARGUMENT);
    testsupport::CXClient other(m_pServer->DisplayName());
    EXPECT_EQ(other.GrabPointer(), XCB_GRAB_STATUS_SUCCESS);
    EXPECT_EQ(other.GrabKeyboard(), XCB_GRAB_STATUS_SUCCESS);
}

TEST_F(MouseHook, UnhookReleasesPointerAndKeyboard) {
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    testsupport::CXClient other(m_pServer->DisplayName());
    EXPECT_EQ(other.GrabPointer(), XCB_GRAB_STATUS_ALREADY_GRABBED);
    EXPECT_EQ(other.GrabKeyboard(), XCB_GRAB_STATUS_ALREADY_GRABBED);

    ASSERT_EQ(QRZ_UnHookMouse(), QRZ_OK);
    EXPECT_EQ(other.GrabPointer(), XCB_GRAB_STATUS_SUCCESS);
    EXPECT_EQ(other.GrabKeyboard(), XCB_GRAB_STATUS_SUCCESS);
    other.UngrabPointer();
    other.UngrabKeyboard();

    // No more messages: a hotkey still arrives, the moves and keys before it do not.
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    m_pClient->MoveTo(400, 400);
    m_pClient->Click(1);
    m_pClient->Tap(XK_Escape);
    KeyboardBarrier();
    EXPECT_TRUE(m_mouse.messages.empty());
}

TEST_F(MouseHook, FailsWhileAnotherProgramHoldsThePointer) {
    testsupport::CXClient other(m_pServer->DisplayName());
    ASSERT_EQ(other.GrabPointer(), XCB_GRAB_STATUS_SUCCESS);
    EXPECT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_ERR_ALREADY_GRABBED);
    testsupport::CXClient third(m_pServer->DisplayName());
    EXPECT_EQ(third.GrabKeyboard(), XCB_GRAB_STATUS_SUCCESS);
}

// The pointer grab succeeds, the keyboard grab cannot: the pointer must be given back.
TEST_F(MouseHook, KeyboardHeldElsewhereRollsBackThePointerGrab) {
    testsupport::CXClient other(m_pServer->DisplayName());
    ASSERT_EQ(other.GrabKeyboard(), XCB_GRAB_STATUS_SUCCESS);
    EXPECT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_ERR_ALREADY_GRABBED);
    testsupport::CXClient third(m_pServer->DisplayName());
    EXPECT_EQ(third.GrabPointer(), XCB_GRAB_STATUS_SUCCESS);
}

// Another program's short grab (a closing menu) ends while the hook waits for it.
TEST_F(MouseHook, WaitsOutABriefGrabOfAnotherProgram) {
    testsupport::CXClient other(m_pServer->DisplayName());
    ASSERT_EQ(other.GrabPointer(), XCB_GRAB_STATUS_SUCCESS);
    // XTest's delay holds back the other program's next request, its ungrab, by 150 ms while
    // the library keeps asking.
    other.MoveTo(200, 200, 150);
    xcb_ungrab_pointer(other.Connection(), XCB_CURRENT_TIME);
    xcb_flush(other.Connection());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, kCrosshair), QRZ_OK);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(other.GrabPointer(), XCB_GRAB_STATUS_ALREADY_GRABBED);
}
