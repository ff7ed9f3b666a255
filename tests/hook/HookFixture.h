// SPDX-License-Identifier: MIT
// Fixture of the hook tests: a private X server, the library connected to it, an XTest client,
// and a recorder for the messages the library delivers.
#pragma once

#include "hook/TavixHook.h"
#include "support/XClient.h"
#include "support/XServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

struct RecordedMessage {
    uint32_t nMessage;
    uint32_t nWParam;
    uint32_t nLParam;
    bool operator==(const RecordedMessage&) const = default;
};
void PrintTo(const RecordedMessage& message, std::ostream* os);

// The application's receiver: keeps every message; an optional action runs inside the proc.
struct CRecorder {
    std::vector<RecordedMessage> messages;
    std::function<void(const RecordedMessage&)> onMessage;

    static int Proc(void* context, uint32_t message, uint32_t wParam, uint32_t lParam);
    size_t Count(uint32_t message) const;
};

RecordedMessage Hotkey(int index);
RecordedMessage PickerKey(uint32_t vk);
RecordedMessage Mouse(uint32_t code, int x, int y);

// The hotkey table as stored by default: Alt+Print, Ctrl+Shift+Alt+C, Ctrl+N, ... Print.
std::vector<uint16_t> DefaultTable();

class CHookTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual testsupport::CXServer::Options ServerOptions() const { return {}; }

    // Runs the library's event loop (descriptor watch plus dispatch) until done() or timeout.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Pumps until recorder holds at least count messages.
    bool WaitForCount(const CRecorder& recorder, size_t count);

    // Installs the keyboard hook with table plus a marker hotkey (F12) in the last entry.
    int HookKeyboard(std::vector<uint16_t> table);
    // Presses the marker and pumps until it arrives: every earlier key event has been handled.
    void KeyboardBarrier();
    // Moves the pointer to a spot used for nothing else and pumps until that move arrives.
    void MouseBarrier();
    // Messages received so far, markers removed.
    std::vector<RecordedMessage> Received(const CRecorder& recorder) const;

    std::unique_ptr<testsupport::CXServer> m_pServer;
    std::unique_ptr<testsupport::CXClient> m_pClient;
    CRecorder m_keyboard;
    CRecorder m_mouse;

    // The server without XInput 2 events (no Generic Event Extension): hotkeys from core events
    // alone, as on servers too old or too restricted for raw key events.
    static testsupport::CXServer::Options WithoutRawKeyEvents();

    static constexpr int kMarkerIndex = QRZ_HOTKEY_COUNT - 1;
    static constexpr uint16_t kMarkerWord = 0x7B; // F12
    static constexpr int kMouseBarrierX = 1;
    int m_nMouseBarrierY = 1;
};

// The same tests with and without raw key events: true runs on a server without them.
class CHookTestBothPaths : public CHookTest, public ::testing::WithParamInterface<bool> {
protected:
    testsupport::CXServer::Options ServerOptions() const override {
        return GetParam() ? WithoutRawKeyEvents() : testsupport::CXServer::Options{};
    }
};

std::string KeyPathName(const ::testing::TestParamInfo<bool>& info);
