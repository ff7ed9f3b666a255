// SPDX-License-Identifier: MIT
// Owner of the X CLIPBOARD selection for one image: answers other programs' requests (TARGETS,
// TIMESTAMP, MULTIPLE, the image types, INCR for large data) and hands the data to a clipboard
// manager (SAVE_TARGETS) when one runs.
#pragma once

#include "capture/x11/X11Connection.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CX11ClipboardOwner {
public:
    // One type offered, e.g. "image/png". The bytes are made on the first request and kept.
    struct Target {
        std::string mime;
        std::function<std::vector<std::uint8_t>()> make;
    };

    enum class Ending {
        OwnershipLost,  // another program took the clipboard
        SavedByManager, // a clipboard manager has copied the data
        ConnectionLost, // the X server went away
    };

    // Works on conn, which must outlive this object.
    explicit CX11ClipboardOwner(CX11Connection& conn);
    ~CX11ClipboardOwner();
    CX11ClipboardOwner(const CX11ClipboardOwner&) = delete;
    CX11ClipboardOwner& operator=(const CX11ClipboardOwner&) = delete;

    // Takes CLIPBOARD for these targets (replacing what this object offered before). False when
    // the server did not make this client the owner.
    bool Own(std::vector<Target> targets);
    bool Owns() const noexcept { return m_bOwner; }

    // Asks a running clipboard manager to copy the data; false when none runs.
    bool RequestSave();

    // Answers requests until ownership is lost, a manager saved the data, or the connection
    // fails. Transfers under way when ownership goes are finished (or given up after a pause of
    // the receiver) before it returns.
    Ending Serve();
    // Handles what has arrived without waiting; for callers with their own loop.
    void ServePending();
    // True once a manager reported the data saved (after RequestSave).
    bool SavedByManager() const noexcept { return m_bSaved; }

    // Largest property written in one piece; larger data goes in INCR chunks of this size.
    void SetChunkBytes(std::size_t bytes) noexcept { m_cbChunk = bytes; }
    // Number of INCR transfers still running.
    std::size_t PendingTransfers() const noexcept { return m_transfers.size(); }

private:
    struct Transfer {
        std::shared_ptr<const std::vector<std::uint8_t>> data;
        std::size_t sent = 0;
        xcb_atom_t type = XCB_ATOM_NONE;
        std::chrono::steady_clock::time_point lastActivity;
    };
    struct Offer {
        xcb_atom_t atom = XCB_ATOM_NONE;
        Target target;
        std::shared_ptr<const std::vector<std::uint8_t>> data;
    };

    void Handle(xcb_generic_event_t* event);
    void OnSelectionRequest(const xcb_selection_request_event_t& e);
    // Puts the answer to one (target, property) pair on the requestor; false to refuse it.
    bool Answer(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property);
    bool AnswerMultiple(xcb_window_t requestor, xcb_atom_t property);
    void OnPropertyNotify(const xcb_property_notify_event_t& e);
    void DropStaleTransfers();
    xcb_timestamp_t ServerTime();
    Offer* FindOffer(xcb_atom_t atom);

    CX11Connection& m_conn;
    xcb_window_t m_window = XCB_NONE;
    xcb_atom_t m_clipboard, m_targets, m_multiple, m_timestamp, m_incr, m_atomPair, m_saveTargets,
        m_manager, m_saveProperty;
    std::vector<Offer> m_offers;
    xcb_timestamp_t m_ownTime = 0;
    bool m_bOwner = false;
    bool m_bSaved = false;
    bool m_bSaveRefused = false;
    bool m_bBroken = false;
    std::size_t m_cbChunk = 256 * 1024;
    std::map<std::pair<xcb_window_t, xcb_atom_t>, Transfer> m_transfers;
};
