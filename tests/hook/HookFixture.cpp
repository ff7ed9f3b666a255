// SPDX-License-Identifier: MIT
// The hook tests' fixture.
#include "HookFixture.h"

#include "support/Wait.h"

#define XK_MISCELLANY
#include <X11/keysymdef.h>

#include <poll.h>

#include <algorithm>
#include <ostream>

void PrintTo(const RecordedMessage& message, std::ostream* os) {
    *os << std::hex << "{0x" << message.nMessage << ", 0x" << message.nWParam << ", 0x"
        << message.nLParam << "}" << std::dec;
}

int CRecorder::Proc(void* context, uint32_t message, uint32_t wParam, uint32_t lParam) {
    auto* recorder = static_cast<CRecorder*>(context);
    recorder->messages.push_back({message, wParam, lParam});
    if (recorder->onMessage)
        recorder->onMessage(recorder->messages.back());
    return 1;
}

size_t CRecorder::Count(uint32_t message) const {
    return std::count_if(messages.begin(), messages.end(),
                         [&](const RecordedMessage& m) { return m.nMessage == message; });
}

RecordedMessage Hotkey(int index) {
    return {QRZM_ForwardKeyboardMessage, static_cast<uint32_t>(index), 0};
}

RecordedMessage PickerKey(uint32_t vk) {
    return {QRZM_ForwardKeyboardMessage, QRZ_PICKER_KEY, vk};
}

RecordedMessage Mouse(uint32_t code, int x, int y) {
    return {QRZM_ForwardMouseMessage, code,
            static_cast<uint16_t>(x) | static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16};
}

std::vector<uint16_t> DefaultTable() {
    std::vector<uint16_t> table{0x202C, 0xE043, 0x804E, 0xA053, 0xA052, 0xC043, 0xA045,
                                0xA050, 0xC04D, 0xA044, 0xC053, 0xC04C, 0x002C};
    table.resize(QRZ_HOTKEY_COUNT, 0);
    return table;
}

testsupport::CXServer::Options CHookTest::WithoutRawKeyEvents() {
    testsupport::CXServer::Options options;
    options.extraArguments = {"-extension", "Generic Event Extension"};
    return options;
}

std::string KeyPathName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "CoreEventsOnly" : "RawKeyEvents";
}

void CHookTest::SetUp() {
    REQUIRE_X_SERVER_PROGRAMS();
    m_pServer = std::make_unique<testsupport::CXServer>(ServerOptions());
    m_pClient = std::make_unique<testsupport::CXClient>(m_pServer->DisplayName());
    ASSERT_EQ(QRZ_Connect(m_pServer->DisplayName().c_str()), QRZ_OK);
    ASSERT_EQ(QRZ_SetDoubleClickTime(500), QRZ_OK);
    m_pClient->MoveTo(640, 512);
    m_pClient->Sync();
}

void CHookTest::TearDown() {
    QRZ_Shutdown();
    m_pClient.reset();
    m_pServer.reset();
}

bool CHookTest::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const int fd = QRZ_GetConnectionFd();
    if (fd < 0)
        return false;
    bool bLost = false;
    const bool bDone = testsupport::WaitUntil(
        [&] {
            bLost = QRZ_DispatchEvents() < 0;
            return bLost || done();
        },
        timeout,
        [fd](std::chrono::milliseconds slice) {
            pollfd pfd{fd, POLLIN, 0};
            poll(&pfd, 1, static_cast<int>(slice.count()));
        });
    return bDone && !bLost;
}

bool CHookTest::WaitForCount(const CRecorder& recorder, size_t count) {
    return PumpUntil([&] { return recorder.messages.size() >= count; });
}

int CHookTest::HookKeyboard(std::vector<uint16_t> table) {
    table.resize(QRZ_HOTKEY_COUNT, 0);
    table[kMarkerIndex] = kMarkerWord;
    return QRZ_HookKeyboard(&CRecorder::Proc, &m_keyboard, table.data());
}

void CHookTest::KeyboardBarrier() {
    const size_t markers =
        std::count(m_keyboard.messages.begin(), m_keyboard.messages.end(), Hotkey(kMarkerIndex));
    m_pClient->Tap(XK_F12);
    ASSERT_TRUE(PumpUntil([&] {
        return static_cast<size_t>(std::count(m_keyboard.messages.begin(),
                                              m_keyboard.messages.end(), Hotkey(kMarkerIndex))) >
               markers;
    })) << "the marker hotkey never arrived";
}

void CHookTest::MouseBarrier() {
    const RecordedMessage marker = Mouse(QRZ_MOUSE_MOVE, kMouseBarrierX, ++m_nMouseBarrierY);
    m_pClient->MoveTo(kMouseBarrierX, m_nMouseBarrierY);
    ASSERT_TRUE(PumpUntil([&] {
        return std::find(m_mouse.messages.begin(), m_mouse.messages.end(), marker) !=
               m_mouse.messages.end();
    })) << "the marker move never arrived";
}

std::vector<RecordedMessage> CHookTest::Received(const CRecorder& recorder) const {
    std::vector<RecordedMessage> result;
    for (const RecordedMessage& m : recorder.messages) {
        const bool bKeyMarker = m == Hotkey(kMarkerIndex);
        const bool bMouseMarker = m.nMessage == QRZM_ForwardMouseMessage &&
                                  m.nWParam == QRZ_MOUSE_MOVE &&
                                  QRZ_POINT_X(m.nLParam) == kMouseBarrierX;
        if (!bKeyMarker && !bMouseMarker)
            result.push_back(m);
    }
    return result;
}
