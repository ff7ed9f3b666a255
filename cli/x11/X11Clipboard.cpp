// SPDX-License-Identifier: MIT
// CLIPBOARD ownership over xcb, as ICCCM and the clipboard-manager convention describe it.
#include "x11/X11Clipboard.h"

#include "image/Trace.h"

#include <poll.h>

#include <algorithm>
#include <cstring>

using x11::XcbReply;

namespace {

constexpr auto kStaleTransfer = std::chrono::seconds(10);

void SendNotify(xcb_connection_t* c, const xcb_selection_request_event_t& e, xcb_atom_t property) {
    xcb_selection_notify_event_t n{};
    n.response_type = XCB_SELECTION_NOTIFY;
    n.time = e.time;
    n.requestor = e.requestor;
    n.selection = e.selection;
    n.target = e.target;
    n.property = property;
    static_assert(sizeof n <= 32);
    char buffer[32] = {}; // events always travel as 32 bytes
    std::memcpy(buffer, &n, sizeof n);
    xcb_send_event(c, 0, e.requestor, XCB_EVENT_MASK_NO_EVENT, buffer);
}

} // namespace

CX11ClipboardOwner::CX11ClipboardOwner(CX11Connection& conn) : m_conn(conn) {
    m_conn.PrefetchAtoms({"CLIPBOARD", "TARGETS", "MULTIPLE", "TIMESTAMP", "INCR", "ATOM_PAIR",
                          "SAVE_TARGETS", "CLIPBOARD_MANAGER", "QUORVI_SELECTION"});
    m_clipboard = m_conn.Atom("CLIPBOARD");
    m_targets = m_conn.Atom("TARGETS");
    m_multiple = m_conn.Atom("MULTIPLE");
    m_timestamp = m_conn.Atom("TIMESTAMP");
    m_incr = m_conn.Atom("INCR");
    m_atomPair = m_conn.Atom("ATOM_PAIR");
    m_saveTargets = m_conn.Atom("SAVE_TARGETS");
    m_manager = m_conn.Atom("CLIPBOARD_MANAGER");
    m_saveProperty = m_conn.Atom("QUORVI_SELECTION");

    xcb_connection_t* c = m_conn.Get();
    m_window = xcb_generate_id(c);
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, m_conn.Root(), -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
}

CX11ClipboardOwner::~CX11ClipboardOwner() {
    xcb_connection_t* c = m_conn.Get();
    for (const auto& [key, transfer] : m_transfers) {
        const std::uint32_t none = 0;
        xcb_change_window_attributes(c, key.first, XCB_CW_EVENT_MASK, &none);
    }
    xcb_destroy_window(c, m_window); // gives up the selection as well
    xcb_flush(c);
}

// A timestamp from the server: ICCCM wants the owner's time, not CurrentTime, so that requests
// made before this ownership can be told apart.
xcb_timestamp_t CX11ClipboardOwner::ServerTime() {
    xcb_connection_t* c = m_conn.Get();
    xcb_change_property(c, XCB_PROP_MODE_APPEND, m_window, m_saveProperty, XCB_ATOM_ATOM, 32, 0,
                        nullptr);
    xcb_flush(c);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        XcbReply<xcb_generic_event_t> owned(event);
        if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
            const auto& p = reinterpret_cast<const xcb_property_notify_event_t&>(*event);
            if (p.window == m_window && p.atom == m_saveProperty)
                return p.time;
        }
        Handle(event);
    }
    m_bBroken = true;
    return XCB_CURRENT_TIME;
}

bool CX11ClipboardOwner::Own(std::vector<Target> targets) {
    xcb_connection_t* c = m_conn.Get();
    std::vector<Offer> offers;
    for (Target& t : targets) {
        const xcb_atom_t atom = m_conn.Atom(t.mime);
        if (atom != XCB_ATOM_NONE)
            offers.push_back(Offer{atom, std::move(t), nullptr});
    }
    const xcb_timestamp_t time = ServerTime();
    if (m_bBroken)
        return false;
    m_offers = std::move(offers);
    m_ownTime = time;
    m_bSaved = m_bSaveRefused = false;
    xcb_set_selection_owner(c, m_window, m_clipboard, time);
    XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_clipboard), nullptr));
    m_bOwner = owner && owner->owner == m_window;
    return m_bOwner;
}

bool CX11ClipboardOwner::RequestSave() {
    xcb_connection_t* c = m_conn.Get();
    XcbReply<xcb_get_selection_owner_reply_t> manager(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_manager), nullptr));
    if (!manager || manager->owner == XCB_NONE || !m_bOwner)
        return false;
    // The targets worth keeping: the image types, not the protocol ones.
    std::vector<xcb_atom_t> keep;
    for (const Offer& o : m_offers)
        keep.push_back(o.atom);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, m_saveProperty, XCB_ATOM_ATOM, 32,
                        std::uint32_t(keep.size()), keep.data());
    xcb_convert_selection(c, m_window, m_manager, m_saveTargets, m_saveProperty, m_ownTime);
    xcb_flush(c);
    return true;
}

CX11ClipboardOwner::Offer* CX11ClipboardOwner::FindOffer(xcb_atom_t atom) {
    for (Offer& o : m_offers)
        if (o.atom == atom)
            return &o;
    return nullptr;
}

bool CX11ClipboardOwner::Answer(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property) {
    xcb_connection_t* c = m_conn.Get();
    if (target == m_targets) {
        std::vector<xcb_atom_t> atoms{m_targets, m_multiple, m_timestamp};
        for (const Offer& o : m_offers)
            atoms.push_back(o.atom);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_ATOM, 32,
                            std::uint32_t(atoms.size()), atoms.data());
        return true;
    }
    if (target == m_timestamp) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_INTEGER, 32, 1,
                            &m_ownTime);
        return true;
    }
    Offer* offer = FindOffer(target);
    if (!offer)
        return false;
    if (!offer->data) {
        try {
            offer->data = std::make_shared<const std::vector<std::uint8_t>>(offer->target.make());
        } catch (const std::exception& e) {
            img::Trace("clipboard: making %s failed: %s\n", offer->target.mime.c_str(), e.what());
            return false;
        }
    }
    const std::vector<std::uint8_t>& data = *offer->data;
    // A request must fit the server's limit (header included); stay well below it.
    const std::size_t maxRequest = std::size_t(xcb_get_maximum_request_length(c)) * 4;
    const std::size_t chunk = std::max<std::size_t>(std::min(m_cbChunk, maxRequest - 1024), 4096);
    if (data.size() <= chunk) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, target, 8,
                            std::uint32_t(data.size()), data.data());
        return true;
    }
    const auto key = std::make_pair(requestor, property);
    if (m_transfers.contains(key))
        return false; // one transfer per property at a time
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, requestor, XCB_CW_EVENT_MASK, &mask);
    const std::uint32_t size = std::uint32_t(std::min<std::size_t>(data.size(), 0xFFFFFFFFu));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, m_incr, 32, 1, &size);
    m_transfers[key] = Transfer{offer->data, 0, target, std::chrono::steady_clock::now()};
    return true;
}

bool CX11ClipboardOwner::AnswerMultiple(xcb_window_t requestor, xcb_atom_t property) {
    xcb_connection_t* c = m_conn.Get();
    XcbReply<xcb_get_property_reply_t> pairs(xcb_get_property_reply(
        c, xcb_get_property(c, 0, requestor, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr));
    if (!pairs || pairs->format != 32)
        return false;
    const int count = xcb_get_property_value_length(pairs.get()) / 4;
    std::vector<xcb_atom_t> list(
        static_cast<const xcb_atom_t*>(xcb_get_property_value(pairs.get())),
        static_cast<const xcb_atom_t*>(xcb_get_property_value(pairs.get())) + count);
    for (std::size_t i = 0; i + 1 < list.size(); i += 2)
        if (list[i] == m_multiple || list[i + 1] == XCB_ATOM_NONE ||
            !Answer(requestor, list[i], list[i + 1]))
            list[i + 1] = XCB_ATOM_NONE; // tells the requestor this conversion failed
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, m_atomPair, 32,
                        std::uint32_t(list.size()), list.data());
    return true;
}

void CX11ClipboardOwner::OnSelectionRequest(const xcb_selection_request_event_t& e) {
    xcb_atom_t answered = XCB_ATOM_NONE;
    const bool bCurrent = e.time == XCB_CURRENT_TIME || e.time >= m_ownTime;
    if (e.selection == m_clipboard && e.owner == m_window && m_bOwner && bCurrent) {
        // Clients from before ICCCM 2 leave the property out: the target names it then.
        const xcb_atom_t property = e.property != XCB_ATOM_NONE ? e.property : e.target;
        const bool ok = e.target == m_multiple
                            ? e.property != XCB_ATOM_NONE && AnswerMultiple(e.requestor, e.property)
                            : Answer(e.requestor, e.target, property);
        if (ok)
            answered = property;
    }
    SendNotify(m_conn.Get(), e, answered);
}

void CX11ClipboardOwner::OnPropertyNotify(const xcb_property_notify_event_t& e) {
    if (e.state != XCB_PROPERTY_DELETE)
        return;
    auto it = m_transfers.find({e.window, e.atom});
    if (it == m_transfers.end())
        return;
    xcb_connection_t* c = m_conn.Get();
    Transfer& t = it->second;
    const std::vector<std::uint8_t>& data = *t.data;
    const std::size_t maxRequest = std::size_t(xcb_get_maximum_request_length(c)) * 4;
    const std::size_t chunk = std::max<std::size_t>(std::min(m_cbChunk, maxRequest - 1024), 4096);
    const std::size_t n = std::min(chunk, data.size() - t.sent);
    // The last piece is followed by an empty one, which ends the transfer.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, e.window, e.atom, t.type, 8, std::uint32_t(n),
                        data.data() + t.sent);
    t.lastActivity = std::chrono::steady_clock::now();
    t.sent += n;
    if (n == 0) {
        m_transfers.erase(it);
        const bool bMore = std::any_of(m_transfers.begin(), m_transfers.end(),
                                       [&](const auto& kv) { return kv.first.first == e.window; });
        if (!bMore) {
            const std::uint32_t none = 0;
            xcb_change_window_attributes(c, e.window, XCB_CW_EVENT_MASK, &none);
        }
    }
}

void CX11ClipboardOwner::DropStaleTransfers() {
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(m_transfers, [&](const auto& kv) {
        if (now - kv.second.lastActivity < kStaleTransfer)
            return false;
        img::Trace("clipboard: receiver 0x%x stopped reading; transfer dropped\n",
                   unsigned(kv.first.first));
        return true;
    });
}

void CX11ClipboardOwner::Handle(xcb_generic_event_t* event) {
    switch (event->response_type & 0x7F) {
    case XCB_SELECTION_REQUEST:
        OnSelectionRequest(reinterpret_cast<const xcb_selection_request_event_t&>(*event));
        break;
    case XCB_SELECTION_CLEAR: {
        const auto& e = reinterpret_cast<const xcb_selection_clear_event_t&>(*event);
        if (e.selection == m_clipboard && e.owner == m_window)
            m_bOwner = false;
        break;
    }
    case XCB_SELECTION_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_selection_notify_event_t&>(*event);
        if (e.selection == m_manager && e.target == m_saveTargets) {
            m_bSaved = e.property != XCB_ATOM_NONE;
            m_bSaveRefused = !m_bSaved;
        }
        break;
    }
    case XCB_PROPERTY_NOTIFY:
        OnPropertyNotify(reinterpret_cast<const xcb_property_notify_event_t&>(*event));
        break;
    default:
        break; // errors from requestors that went away, and events not meant for us
    }
}

void CX11ClipboardOwner::ServePending() {
    xcb_connection_t* c = m_conn.Get();
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        XcbReply<xcb_generic_event_t> owned(event);
        Handle(event);
    }
    DropStaleTransfers();
    xcb_flush(c);
    if (xcb_connection_has_error(c))
        m_bBroken = true;
}

CX11ClipboardOwner::Ending CX11ClipboardOwner::Serve() {
    xcb_connection_t* c = m_conn.Get();
    for (;;) {
        ServePending();
        if (m_bBroken)
            return Ending::ConnectionLost;
        if (m_transfers.empty()) {
            if (m_bSaved)
                return Ending::SavedByManager;
            if (!m_bOwner)
                return Ending::OwnershipLost;
        }
        pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&pfd, 1, 1000);
    }
}
