// SPDX-License-Identifier: MIT
// The capture sound through libcanberra: played asynchronously, skipped while the previous one
// still plays, quiet and quick when there is no sound device.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

struct ca_context;

class CCaptureSound {
public:
    CCaptureSound();
    ~CCaptureSound();
    CCaptureSound(const CCaptureSound&) = delete;
    CCaptureSound& operator=(const CCaptureSound&) = delete;

    // Starts the sound unless one is playing. False when nothing was started (no device, no
    // sound, or still playing).
    bool Play();
    bool IsPlaying() const noexcept { return m_pState->bPlaying.load(); }

private:
    struct State {
        std::atomic<bool> bPlaying{false};
    };
    static void Finished(ca_context* pContext, std::uint32_t id, int nError, void* pUserData);

    ca_context* m_pContext = nullptr;
    bool m_bBroken = false;
    // Shared with libcanberra's thread, which may report the end after we are gone.
    std::shared_ptr<State> m_pState = std::make_shared<State>();
};
