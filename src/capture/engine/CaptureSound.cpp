// SPDX-License-Identifier: MIT
// The capture sound through libcanberra.
#include "capture/engine/CaptureSound.h"

#include <canberra.h>

#include <cstdint>

namespace {

constexpr std::uint32_t kSoundId = 339;

} // namespace

CCaptureSound::CCaptureSound() = default;

CCaptureSound::~CCaptureSound() {
    if (m_pContext)
        ca_context_destroy(m_pContext); // cancels what plays and runs the callbacks
}

void CCaptureSound::Finished(ca_context*, std::uint32_t, int, void* pUserData) {
    // Owns one reference to the state, so it may run after the sound object is gone.
    auto* pState = static_cast<std::shared_ptr<State>*>(pUserData);
    (*pState)->bPlaying.store(false);
    delete pState;
}

bool CCaptureSound::Play() {
    if (m_bBroken || m_pState->bPlaying.load())
        return false;
    if (!m_pContext) {
        if (ca_context_create(&m_pContext) != CA_SUCCESS) {
            m_pContext = nullptr;
            m_bBroken = true;
            return false;
        }
        ca_context_change_props(m_pContext, CA_PROP_APPLICATION_NAME, "Quorvi Studio",
                                CA_PROP_APPLICATION_ID, "org.quorvi.Studio", nullptr);
    }
    ca_proplist* pProps = nullptr;
    if (ca_proplist_create(&pProps) != CA_SUCCESS)
        return false;
    ca_proplist_sets(pProps, CA_PROP_EVENT_ID, "screen-capture");
    ca_proplist_sets(pProps, CA_PROP_EVENT_DESCRIPTION, "Screen captured");
    ca_proplist_sets(pProps, CA_PROP_CANBERRA_CACHE_CONTROL, "permanent");
    m_pState->bPlaying.store(true);
    auto* pRef = new std::shared_ptr<State>(m_pState);
    const int nResult =
        ca_context_play_full(m_pContext, kSoundId, pProps, &CCaptureSound::Finished, pRef);
    ca_proplist_destroy(pProps);
    if (nResult != CA_SUCCESS) {
        // No callback comes for a sound that never started.
        delete pRef;
        m_pState->bPlaying.store(false);
        // Without a device every later try fails the same way: stop asking.
        if (nResult == CA_ERROR_NODRIVER || nResult == CA_ERROR_NOTAVAILABLE)
            m_bBroken = true;
        return false;
    }
    return true;
}
