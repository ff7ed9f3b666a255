// SPDX-License-Identifier: MIT
// The exported C functions of libtavixhook: argument checks and the one library state.
#include "TavixHook.h"

#include "HookLibrary.h"
#include "HookUtil.h"

#include <new>

// Values in the range Windows gives registered messages, away from the program's own ids.
extern "C" QRZ_API const uint32_t QRZM_ForwardMouseMessage = 0xC3A1;
extern "C" QRZ_API const uint32_t QRZM_ForwardKeyboardMessage = 0xC3A2;

namespace {

// The C interface has no handle, so the state is one object per process; every call comes
// from the main thread, so it needs no lock.
hook::CHookLibrary& Library() {
    static hook::CHookLibrary s_library;
    return s_library;
}

// Nothing may escape into C callers; the only exception our code can raise is running out of
// memory while building grab lists.
template <class F> int Guarded(F&& call) noexcept {
    try {
        return call(Library());
    } catch (const std::bad_alloc&) {
        hook::Trace("out of memory");
    } catch (...) {
        hook::Trace("unexpected exception");
    }
    return QRZ_ERR_GRAB_FAILED;
}

} // namespace

extern "C" {

int QRZ_Connect(const char* displayName) noexcept {
    return Guarded([&](hook::CHookLibrary& lib) { return lib.Connect(displayName); });
}

int QRZ_GetConnectionFd(void) noexcept {
    return Guarded([](hook::CHookLibrary& lib) { return lib.ConnectionFd(); });
}

int QRZ_DispatchEvents(void) noexcept {
    return Guarded([](hook::CHookLibrary& lib) { return lib.DispatchEvents(); });
}

int QRZ_Shutdown(void) noexcept {
    return Guarded([](hook::CHookLibrary& lib) { return lib.Shutdown(); });
}

int QRZ_HookKeyboard(QRZ_NotifyProc proc, void* context, const uint16_t* table) noexcept {
    return Guarded([&](hook::CHookLibrary& lib) { return lib.HookKeyboard(proc, context, table); });
}

int QRZ_SetCaptureHotKey(const uint16_t* table) noexcept {
    return Guarded([&](hook::CHookLibrary& lib) { return lib.SetHotKeys(table); });
}

int QRZ_GetCaptureHotKey(uint16_t* table) noexcept {
    return Guarded([&](hook::CHookLibrary& lib) { return lib.GetHotKeys(table); });
}

int QRZ_GetHotKeyStatus(int index) noexcept {
    return Guarded([&](hook::CHookLibrary& lib) { return lib.HotKeyStatus(index); });
}

int QRZ_UnHookKeyboard(void) noexcept {
    return Guarded([](hook::CHookLibrary& lib) { return lib.UnHookKeyboard(); });
}

int QRZ_HookMouse(QRZ_NotifyProc proc, void* context, uint32_t cursor) noexcept {
    return Guarded([&](hook::CHookLibrary& lib) { return lib.HookMouse(proc, context, cursor); });
}

int QRZ_UnHookMouse(void) noexcept {
    return Guarded([](hook::CHookLibrary& lib) { return lib.UnHookMouse(); });
}

int QRZ_MovePointerBy(int dx, int dy) noexcept {
    return Guarded([&](hook::CHookLibrary& lib) { return lib.MovePointerBy(dx, dy); });
}

int QRZ_SetDoubleClickTime(uint32_t milliseconds) noexcept {
    return Guarded([&](hook::CHookLibrary& lib) { return lib.SetDoubleClickTime(milliseconds); });
}

} // extern "C"
