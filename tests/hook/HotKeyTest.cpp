// SPDX-License-Identifier: MIT
// Global hotkeys: passive grabs for the table, lock variants, conflicts with other programs.
#include "HookFixture.h"

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

#include <map>

using HotKeys = CHookTestBothPaths;

namespace {

constexpr uint16_t kMod2 = XCB_MOD_MASK_2; // NumLock on Xvfb's keymap
constexpr uint16_t kLock = XCB_MOD_MASK_LOCK;

} // namespace

// The default table's combinations differ only in their modifiers in places (Ctrl+Shift+C and
// Ctrl+Shift+Alt+C; Print and Alt+Print): each must reach exactly its own entry.
TEST_P(HotKeys, EachDefaultCombinationDeliversItsIndex) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    for (int index = 0; index <= 12; ++index)
        EXPECT_EQ(QRZ_GetHotKeyStatus(index), QRZ_HOTKEY_ACTIVE) << index;
    EXPECT_EQ(QRZ_GetHotKeyStatus(13), QRZ_HOTKEY_NONE);

    m_pClient->Chord({XK_Alt_L, XK_Print});
    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_Alt_L, XK_c});
    m_pClient->Chord({XK_Control_L, XK_n});
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_s});
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_r});
    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_c});
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_e});
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_p});
    m_pClient->Chord({XK_Control_R, XK_Shift_R, XK_m});
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_d});
    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_s});
    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_l});
    m_pClient->Tap(XK_Print);
    // Not in the table: plain letters, a wrong modifier set.
    m_pClient->Tap(XK_d);
    m_pClient->Chord({XK_Control_L, XK_d});
    m_pClient->Chord({XK_Shift_L, XK_Print});
    KeyboardBarrier();

    std::vector<RecordedMessage> expected;
    for (int index = 0; index <= 12; ++index)
        expected.push_back(Hotkey(index));
    EXPECT_EQ(Received(m_keyboard), expected);
}

TEST_P(HotKeys, FireWithNumLockAndCapsLockOn) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    m_pClient->Tap(XK_Num_Lock);
    m_pClient->Sync();
    ASSERT_TRUE(m_pClient->ModifierState() & kMod2) << "NumLock did not turn on";
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_d});
    m_pClient->Tap(XK_Caps_Lock);
    m_pClient->Sync();
    ASSERT_TRUE(m_pClient->ModifierState() & XCB_MOD_MASK_LOCK) << "CapsLock did not turn on";
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_r});
    m_pClient->Tap(XK_Num_Lock);
    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_m});
    m_pClient->Tap(XK_Caps_Lock);
    m_pClient->Tap(XK_Print);
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard),
              (std::vector<RecordedMessage>{Hotkey(9), Hotkey(4), Hotkey(8), Hotkey(12)}));
}

TEST_P(HotKeys, CombinationHeldByAnotherProgramFailsAloneAndIsReported) {
    testsupport::CXClient other(m_pServer->DisplayName());
    ASSERT_TRUE(other.GrabKey(XK_d, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));

    setenv("QUORVI_TRACE", "1", 1);
    testing::internal::CaptureStderr();
    const int result = HookKeyboard(DefaultTable());
    const std::string trace = testing::internal::GetCapturedStderr();
    unsetenv("QUORVI_TRACE");

    EXPECT_EQ(result, QRZ_ERR_HOTKEYS_FAILED);
    EXPECT_NE(trace.find("hotkey 9 (Ctrl+Alt+D) is held by another program"), std::string::npos)
        << trace;
    for (int index = 0; index <= 12; ++index)
        EXPECT_EQ(QRZ_GetHotKeyStatus(index), index == 9 ? QRZ_HOTKEY_TAKEN : QRZ_HOTKEY_ACTIVE)
            << index;

    xcb_flush(other.Connection());
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_d});
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_r});
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard), std::vector<RecordedMessage>{Hotkey(4)});
    // The other program got its key.
    bool bOtherGotIt = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(other.Connection())) {
        bOtherGotIt |= (event->response_type & 0x7F) == XCB_KEY_PRESS;
        free(event);
    }
    EXPECT_TRUE(bOtherGotIt);
}

// The other program holds only the NumLock variant: the entry fails, and the variants the
// library had already grabbed for it are given back.
TEST_P(HotKeys, PartlyHeldCombinationRollsBackItsOwnGrabs) {
    testsupport::CXClient other(m_pServer->DisplayName());
    ASSERT_TRUE(other.GrabKey(XK_d, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | kMod2));
    EXPECT_EQ(HookKeyboard(DefaultTable()), QRZ_ERR_HOTKEYS_FAILED);
    EXPECT_EQ(QRZ_GetHotKeyStatus(9), QRZ_HOTKEY_TAKEN);

    testsupport::CXClient third(m_pServer->DisplayName());
    for (int locks : {0, int(kLock), kLock | kMod2})
        EXPECT_TRUE(third.GrabKey(XK_d, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | locks)) << locks;
    // The library's other entries are still its own.
    EXPECT_FALSE(third.GrabKey(XK_r, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
    EXPECT_FALSE(third.GrabKey(XK_r, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | kMod2));
}

TEST_P(HotKeys, NewTableReplacesTheGrabs) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    std::vector<uint16_t> table = DefaultTable();
    table[9] = 0x78; // F9
    table[12] = 0;   // Print: none
    table[kMarkerIndex] = kMarkerWord;
    ASSERT_EQ(QRZ_SetCaptureHotKey(table.data()), QRZ_OK);

    std::vector<uint16_t> copy(QRZ_HOTKEY_COUNT, 0xFFFF);
    ASSERT_EQ(QRZ_GetCaptureHotKey(copy.data()), QRZ_OK);
    EXPECT_EQ(copy, table);
    EXPECT_EQ(QRZ_GetHotKeyStatus(12), QRZ_HOTKEY_NONE);

    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_d});
    m_pClient->Tap(XK_Print);
    m_pClient->Tap(XK_F9);
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard), std::vector<RecordedMessage>{Hotkey(9)});

    testsupport::CXClient other(m_pServer->DisplayName());
    EXPECT_TRUE(other.GrabKey(XK_d, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
    EXPECT_TRUE(other.GrabKey(XK_Print, 0));
    EXPECT_FALSE(other.GrabKey(XK_F9, 0));
}

// Grabbing anew (a keymap change, a new table) must keep the combinations that stay: a press
// made while they were released would go to another program.
TEST_P(HotKeys, PressesDuringARegrabAllArrive) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    std::vector<uint16_t> table = DefaultTable();
    table[kMarkerIndex] = kMarkerWord;
    constexpr size_t kPresses = 100;
    for (size_t i = 0; i < kPresses; ++i) {
        m_pClient->Tap(XK_Print);
        ASSERT_EQ(QRZ_SetCaptureHotKey(table.data()), QRZ_OK);
    }
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard), std::vector<RecordedMessage>(kPresses, Hotkey(12)));
}

TEST_P(HotKeys, UnhookReleasesEveryGrabAndKeepsTheTable) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    ASSERT_EQ(QRZ_UnHookKeyboard(), QRZ_OK);

    testsupport::CXClient other(m_pServer->DisplayName());
    for (int locks : {0, int(kLock), int(kMod2), kLock | kMod2}) {
        EXPECT_TRUE(other.GrabKey(XK_Print, locks));
        EXPECT_TRUE(other.GrabKey(XK_d, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | locks));
        EXPECT_TRUE(other.GrabKey(XK_c, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | locks));
    }
    std::vector<uint16_t> copy(QRZ_HOTKEY_COUNT, 0);
    ASSERT_EQ(QRZ_GetCaptureHotKey(copy.data()), QRZ_OK);
    std::vector<uint16_t> expected = DefaultTable();
    expected[kMarkerIndex] = kMarkerWord;
    EXPECT_EQ(copy, expected);
    EXPECT_EQ(QRZ_GetHotKeyStatus(9), QRZ_HOTKEY_INACTIVE);

    ASSERT_EQ(QRZ_Shutdown(), QRZ_OK);
    ASSERT_EQ(QRZ_GetCaptureHotKey(copy.data()), QRZ_OK);
    EXPECT_EQ(copy, expected);
}

TEST_P(HotKeys, DuplicateAndUnknownEntriesAreReported) {
    std::vector<uint16_t> table = DefaultTable();
    table[13] = 0xA044; // Ctrl+Alt+D again
    table[14] = 0x002A; // VK_PRINT: the same key as Print Screen
    table[15] = 0x00FF; // no such virtual key
    table[16] = 0x8000; // Ctrl and no key
    EXPECT_EQ(HookKeyboard(table), QRZ_ERR_HOTKEYS_FAILED);
    EXPECT_EQ(QRZ_GetHotKeyStatus(9), QRZ_HOTKEY_ACTIVE);
    EXPECT_EQ(QRZ_GetHotKeyStatus(13), QRZ_HOTKEY_DUPLICATE);
    EXPECT_EQ(QRZ_GetHotKeyStatus(14), QRZ_HOTKEY_DUPLICATE);
    EXPECT_EQ(QRZ_GetHotKeyStatus(15), QRZ_HOTKEY_NO_KEY);
    EXPECT_EQ(QRZ_GetHotKeyStatus(16), QRZ_HOTKEY_NO_KEY);
    EXPECT_EQ(QRZ_GetHotKeyStatus(QRZ_HOTKEY_COUNT), QRZ_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(QRZ_GetHotKeyStatus(-1), QRZ_ERR_INVALID_ARGUMENT);

    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_d});
    m_pClient->Tap(XK_Print);
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard), (std::vector<RecordedMessage>{Hotkey(9), Hotkey(12)}));
}

// Virtual-key codes as Windows defines them, each with the X key a person would press.
TEST_P(HotKeys, VirtualKeyCodesReachTheirKeys) {
    const std::vector<std::pair<uint16_t, uint32_t>> keys{{'0', XK_0},
                                                          {'7', XK_7},
                                                          {'A', XK_a},
                                                          {'Z', XK_z},
                                                          {0x70, XK_F1},
                                                          {0x7A, XK_F11},
                                                          {0x2C, XK_Print},
                                                          {0x25, XK_Left},
                                                          {0x26, XK_Up},
                                                          {0x27, XK_Right},
                                                          {0x28, XK_Down},
                                                          {0x2D, XK_Insert},
                                                          {0x2E, XK_Delete},
                                                          {0x24, XK_Home},
                                                          {0x23, XK_End},
                                                          {0x21, XK_Prior},
                                                          {0x22, XK_Next},
                                                          {0x60, XK_KP_0},
                                                          {0x69, XK_KP_9},
                                                          {0x6A, XK_KP_Multiply},
                                                          {0x6B, XK_KP_Add},
                                                          {0x6D, XK_KP_Subtract},
                                                          {0x6F, XK_KP_Divide},
                                                          {0xBA, XK_semicolon},
                                                          {0xBB, XK_equal},
                                                          {0xBC, XK_comma},
                                                          {0xBD, XK_minus},
                                                          {0xBE, XK_period},
                                                          {0xBF, XK_slash},
                                                          {0xC0, XK_grave},
                                                          {0xDB, XK_bracketleft},
                                                          {0xDC, XK_backslash},
                                                          {0xDD, XK_bracketright},
                                                          {0xDE, XK_apostrophe}};
    std::vector<uint16_t> table;
    for (const auto& [vk, keysym] : keys)
        table.push_back(static_cast<uint16_t>(QRZ_HOTKEY_CTRL | vk));
    ASSERT_LE(table.size(), static_cast<size_t>(kMarkerIndex));
    ASSERT_EQ(HookKeyboard(table), QRZ_OK);

    m_pClient->Tap(XK_Num_Lock); // keypad digits as digits
    std::vector<RecordedMessage> expected;
    for (size_t index = 0; index < keys.size(); ++index) {
        m_pClient->Chord({XK_Control_L, keys[index].second});
        expected.push_back(Hotkey(static_cast<int>(index)));
    }
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard), expected);
}

TEST_P(HotKeys, HeldKeyFiresOnce) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    m_pClient->KeyDown(XK_Print);
    // Held past the auto-repeat delay (660 ms by default) and several repeats (25 per second).
    m_pClient->KeyUp(XK_Print, 1200);
    m_pClient->Tap(XK_Print);
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard), (std::vector<RecordedMessage>{Hotkey(12), Hotkey(12)}));
}

// An open menu holds the keyboard, and the menu-capture hotkey is pressed exactly then.
TEST_P(HotKeys, FireWhileAnotherProgramHoldsTheKeyboard) {
    if (GetParam())
        GTEST_SKIP() << "without raw key events X gives a grabbed keyboard's keys to the grabber";
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    testsupport::CXClient menu(m_pServer->DisplayName());
    ASSERT_EQ(menu.GrabKeyboard(), XCB_GRAB_STATUS_SUCCESS);
    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_m});
    m_pClient->Chord({XK_Control_L, XK_m}); // not in the table
    m_pClient->Tap(XK_Print);
    m_pClient->Tap(XK_Print);
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard),
              (std::vector<RecordedMessage>{Hotkey(8), Hotkey(12), Hotkey(12)}));
    // The keys reached the menu as well.
    int menuPresses = 0;
    while (xcb_generic_event_t* event = xcb_poll_for_event(menu.Connection())) {
        menuPresses += (event->response_type & 0x7F) == XCB_KEY_PRESS;
        free(event);
    }
    EXPECT_GE(menuPresses, 7);
}

// Holding Ctrl across a picker: pressed before the hook's keyboard grab, released after it.
TEST_P(HotKeys, ModifierHeldAcrossAPickStillCounts) {
    ASSERT_EQ(HookKeyboard(DefaultTable()), QRZ_OK);
    m_pClient->KeyDown(XK_Control_L);
    m_pClient->Sync();
    ASSERT_EQ(QRZ_HookMouse(&CRecorder::Proc, &m_mouse, QRZ_CURSOR_SHAPE(34)), QRZ_OK);
    m_pClient->KeyDown(XK_Alt_L);
    m_pClient->Tap(XK_d); // under the picker's grab
    m_pClient->Sync();
    ASSERT_TRUE(WaitForCount(m_keyboard, 1));
    ASSERT_EQ(QRZ_UnHookMouse(), QRZ_OK);
    m_pClient->Tap(XK_r); // Ctrl and Alt still down
    m_pClient->KeyUp(XK_Alt_L);
    m_pClient->KeyUp(XK_Control_L);
    m_pClient->Tap(XK_r); // nothing held
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard), (std::vector<RecordedMessage>{Hotkey(9), Hotkey(4)}));
}

namespace {

// A keycode the server's keymap leaves without symbols, or 0.
xcb_keycode_t UnusedKeycode(xcb_connection_t* pConnection) {
    const xcb_setup_t* setup = xcb_get_setup(pConnection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&free)> reply(
        xcb_get_keyboard_mapping_reply(
            pConnection, xcb_get_keyboard_mapping(pConnection, setup->min_keycode, count), nullptr),
        &free);
    if (!reply)
        return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    for (int i = count - 1; i >= 0; --i) {
        bool bEmpty = true;
        for (int level = 0; level < reply->keysyms_per_keycode; ++level)
            bEmpty &= syms[i * reply->keysyms_per_keycode + level] == 0;
        if (bEmpty)
            return static_cast<xcb_keycode_t>(setup->min_keycode + i);
    }
    return 0;
}

} // namespace

// A layout switch (setxkbmap, xmodmap) changes which keys exist: the grabs follow it.
TEST_P(HotKeys, GrabsFollowAKeymapChange) {
    if (m_pClient->Keycode(XK_F24))
        GTEST_SKIP() << "this keymap already has F24";
    const xcb_keycode_t keycode = UnusedKeycode(m_pClient->Connection());
    ASSERT_NE(keycode, 0) << "no free keycode in the keymap";
    std::vector<uint16_t> table = DefaultTable();
    table[13] = 0x87; // F24
    ASSERT_EQ(HookKeyboard(table), QRZ_ERR_HOTKEYS_FAILED);
    EXPECT_EQ(QRZ_GetHotKeyStatus(13), QRZ_HOTKEY_NO_KEY);

    const xcb_keysym_t f24 = XK_F24;
    std::unique_ptr<xcb_generic_error_t, decltype(&free)> error(
        xcb_request_check(
            m_pClient->Connection(),
            xcb_change_keyboard_mapping_checked(m_pClient->Connection(), 1, keycode, 1, &f24)),
        &free);
    ASSERT_FALSE(error) << "X error " << int(error->error_code);
    ASSERT_TRUE(PumpUntil([] { return QRZ_GetHotKeyStatus(13) == QRZ_HOTKEY_ACTIVE; }));
    m_pClient->TapKeycode(keycode);
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_d});
    KeyboardBarrier();
    EXPECT_EQ(Received(m_keyboard), (std::vector<RecordedMessage>{Hotkey(13), Hotkey(9)}));
}

TEST_P(HotKeys, TableWithoutHookIsOnlyStored) {
    std::vector<uint16_t> table = DefaultTable();
    ASSERT_EQ(QRZ_SetCaptureHotKey(table.data()), QRZ_OK);
    EXPECT_EQ(QRZ_GetHotKeyStatus(9), QRZ_HOTKEY_INACTIVE);
    testsupport::CXClient other(m_pServer->DisplayName());
    EXPECT_TRUE(other.GrabKey(XK_d, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
    EXPECT_EQ(QRZ_SetCaptureHotKey(nullptr), QRZ_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(QRZ_GetCaptureHotKey(nullptr), QRZ_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(QRZ_HookKeyboard(nullptr, nullptr, table.data()), QRZ_ERR_INVALID_ARGUMENT);
    // Hooking later with the stored table (NULL keeps it) grabs it, and finds the conflict.
    EXPECT_EQ(QRZ_HookKeyboard(&CRecorder::Proc, &m_keyboard, nullptr), QRZ_ERR_HOTKEYS_FAILED);
    EXPECT_EQ(QRZ_GetHotKeyStatus(9), QRZ_HOTKEY_TAKEN);
    EXPECT_EQ(QRZ_GetHotKeyStatus(12), QRZ_HOTKEY_ACTIVE);
}

INSTANTIATE_TEST_SUITE_P(KeyPaths, HotKeys, ::testing::Bool(), KeyPathName);
