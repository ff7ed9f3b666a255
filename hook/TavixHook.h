// SPDX-License-Identifier: MIT
// Public C interface of libtavixhook: global capture hotkeys and the pickers' mouse hook on X11.
//
// Threading and delivery
//   Every function must be called from one thread, the application's main thread. The library
//   keeps its own X connection; the application watches its descriptor (QRZ_GetConnectionFd)
//   and calls QRZ_DispatchEvents when it is readable AND whenever its event loop is about to
//   block (a reply read by any library call can pull events into the connection's queue
//   without the descriptor becoming readable again). Messages are delivered only from inside
//   QRZ_DispatchEvents, by calling the registered QRZ_NotifyProc on that same thread. The proc
//   is never re-entered: if it runs a nested event loop that calls QRZ_DispatchEvents again,
//   the nested call only queues the new events, and they are delivered in order after the proc
//   has returned. The proc may call any QRZ_ function, QRZ_Shutdown included. It must not throw.
//
// Results
//   Functions return QRZ_OK (0) or one of the negative QRZ_ERR_ codes below, unless documented
//   otherwise. No function throws or aborts on bad input.
#pragma once

#include <stdint.h>

#if defined(__cplusplus)
#define QRZ_NOEXCEPT noexcept
extern "C" {
#else
#define QRZ_NOEXCEPT
#endif

#define QRZ_API __attribute__((visibility("default")))

/* ---- Hotkey table -------------------------------------------------------------------------- */

/* The table has 35 16-bit words; entries 0 to 12 are the capture action indexes, the rest are
 * normally zero but are honoured like the others. A word holds a Windows virtual-key code in its
 * low byte and the modifier bits below; 0 means no hotkey. */
#define QRZ_HOTKEY_COUNT 35
#define QRZ_HOTKEY_CTRL 0x8000u
#define QRZ_HOTKEY_SHIFT 0x4000u
#define QRZ_HOTKEY_ALT 0x2000u

/* Per-entry state, answered by QRZ_GetHotKeyStatus. */
#define QRZ_HOTKEY_NONE 0      /* the word is 0: no hotkey */
#define QRZ_HOTKEY_ACTIVE 1    /* grabbed; pressing it delivers the keyboard message */
#define QRZ_HOTKEY_INACTIVE 2  /* stored, but the keyboard hook is not installed */
#define QRZ_HOTKEY_TAKEN 3     /* another program holds this key combination */
#define QRZ_HOTKEY_DUPLICATE 4 /* an earlier entry of the table has the same key combination */
#define QRZ_HOTKEY_NO_KEY 5    /* unknown virtual-key code, or no such key on this keyboard */
#define QRZ_HOTKEY_FAILED 6    /* the X server refused the grab for another reason */

/* ---- Result codes --------------------------------------------------------------------------- */

#define QRZ_OK 0
#define QRZ_ERR_INVALID_ARGUMENT (-1) /* null pointer, index or value out of range */
#define QRZ_ERR_NO_DISPLAY (-2)       /* no X connection could be made, or it was lost */
#define QRZ_ERR_HOTKEYS_FAILED (-3)   /* table stored, but some entries are not active */
#define QRZ_ERR_ALREADY_GRABBED (-4)  /* another program holds the pointer or the keyboard */
#define QRZ_ERR_BAD_CURSOR (-5)       /* the X server rejected the cursor */
#define QRZ_ERR_GRAB_FAILED (-6)      /* the pointer or keyboard grab failed for another reason */

/* ---- Messages ------------------------------------------------------------------------------- */

/* The two message ids (distinct, constant for the life of the process). */
extern QRZ_API const uint32_t QRZM_ForwardMouseMessage;
extern QRZ_API const uint32_t QRZM_ForwardKeyboardMessage;

/* Mouse message (QRZM_ForwardMouseMessage), delivered to the mouse hook's proc:
 *   wParam: one of the QRZ_MOUSE_ codes;
 *   lParam: pointer position in root-window (screen) pixels, x in the low 16 bits and y in the
 *           high 16 bits, both signed; read them with QRZ_POINT_X / QRZ_POINT_Y.
 * A second left press within the double-click time (QRZ_SetDoubleClickTime) and within 2 pixels
 * of the first is reported as QRZ_MOUSE_LEFT_DOUBLE instead of QRZ_MOUSE_LEFT_DOWN; a press after
 * a double click starts a new pair. Consecutive queued moves are merged into the last one. */
#define QRZ_MOUSE_MOVE 0x200u
#define QRZ_MOUSE_LEFT_DOWN 0x201u
#define QRZ_MOUSE_LEFT_UP 0x202u
#define QRZ_MOUSE_LEFT_DOUBLE 0x203u
#define QRZ_MOUSE_RIGHT_DOWN 0x204u
#define QRZ_MOUSE_RIGHT_UP 0x205u
#define QRZ_MOUSE_MIDDLE_DOWN 0x207u
#define QRZ_MOUSE_MIDDLE_UP 0x208u

#define QRZ_POINT_X(lParam) ((int)(int16_t)((uint32_t)(lParam)&0xFFFFu))
#define QRZ_POINT_Y(lParam) ((int)(int16_t)(((uint32_t)(lParam) >> 16) & 0xFFFFu))

/* Keyboard message (QRZM_ForwardKeyboardMessage), two forms:
 *   hotkey:     wParam = the table index (0 to 34) of the pressed hotkey, lParam = 0. Delivered to
 *               the keyboard hook's proc, once per press (key auto-repeat does not repeat it).
 *               The press is taken from other programs, except while another program holds the
 *               whole keyboard (an open menu): then that program gets the keys as well, and the
 *               hotkey still fires when the server has XInput 2.1 (it says so on the trace
 *               otherwise, and hotkeys are silent while the keyboard is held).
 *   picker key: wParam = QRZ_PICKER_KEY, lParam = QRZ_VK_SHIFT, QRZ_VK_ESCAPE or one of the
 *               arrows. Delivered to the mouse hook's proc, only while the mouse hook is in
 *               place, for every press including auto-repeat, whatever modifiers are held. Keypad
 *               arrows count as arrows while NumLock is off. Other keys pressed while the mouse
 *               hook holds the keyboard are matched against the hotkey table instead. */
#define QRZ_PICKER_KEY 0xFFFFFFFFu
#define QRZ_VK_SHIFT 16u
#define QRZ_VK_ESCAPE 27u
#define QRZ_VK_LEFT 37u
#define QRZ_VK_UP 38u
#define QRZ_VK_RIGHT 39u
#define QRZ_VK_DOWN 40u

/* The application's receiver of both messages; the return value is ignored (answer 1).
 * context is the pointer given when the hook was installed. */
typedef int (*QRZ_NotifyProc)(void* context, uint32_t message, uint32_t wParam, uint32_t lParam);

/* ---- Cursor for the mouse hook -------------------------------------------------------------- */

/* QRZ_HookMouse takes one of:
 *   - an X cursor id, created on any connection to the same display and already known to the
 *     server (requests of two connections are not ordered: make a round trip on yours after
 *     creating it). The library does not free it;
 *   - 0: the root window's cursor;
 *   - a glyph of the standard X cursor font wrapped by QRZ_CURSOR_SHAPE (an even number below
 *     154, for example 34 for the crosshair), which the library creates and frees itself. */
#define QRZ_CURSOR_SHAPE(shape) (0x80000000u | (uint32_t)(shape))

/* ---- Connection ----------------------------------------------------------------------------- */

/* Opens the library's X connection to displayName (NULL: $DISPLAY). Optional: the other
 * functions connect to $DISPLAY on first use. QRZ_OK when already connected. */
QRZ_API int QRZ_Connect(const char* displayName) QRZ_NOEXCEPT;

/* The connection's file descriptor (>= 0), connecting first if needed; or a QRZ_ERR_ code. The
 * descriptor stays valid until QRZ_Shutdown. */
QRZ_API int QRZ_GetConnectionFd(void) QRZ_NOEXCEPT;

/* Reads every pending event and delivers the resulting messages. Returns the number of messages
 * delivered (0 when called from inside a proc), or QRZ_ERR_NO_DISPLAY when there is no
 * connection or it broke (the application should then stop watching the descriptor). */
QRZ_API int QRZ_DispatchEvents(void) QRZ_NOEXCEPT;

/* Releases every grab (free for other programs on return), forgets both procs and closes the
 * connection. The hotkey table copy is kept, so QRZ_GetCaptureHotKey still answers (settings
 * are saved after the frame is gone). */
QRZ_API int QRZ_Shutdown(void) QRZ_NOEXCEPT;

/* ---- Keyboard hook and hotkeys -------------------------------------------------------------- */

/* Installs the keyboard hook: from now on pressing an entry of the table delivers the keyboard
 * message (hotkey form) to proc. table points to QRZ_HOTKEY_COUNT words, copied; NULL keeps the
 * current table. Calling it again replaces proc, context and table.
 * QRZ_OK, or QRZ_ERR_HOTKEYS_FAILED when the hook is in place but some non-zero entries could
 * not be grabbed (see QRZ_GetHotKeyStatus; the other entries work), QRZ_ERR_NO_DISPLAY,
 * QRZ_ERR_INVALID_ARGUMENT (proc NULL). */
QRZ_API int QRZ_HookKeyboard(QRZ_NotifyProc proc, void* context,
                             const uint16_t* table) QRZ_NOEXCEPT;

/* Replaces the library's copy of the table (QRZ_HOTKEY_COUNT words) and, when the keyboard hook
 * is installed, its grabs; later presses match the new table. Results as QRZ_HookKeyboard.
 * Without the keyboard hook the table is only stored (QRZ_OK, entries QRZ_HOTKEY_INACTIVE). */
QRZ_API int QRZ_SetCaptureHotKey(const uint16_t* table) QRZ_NOEXCEPT;

/* Copies the library's current table into table (QRZ_HOTKEY_COUNT words). Works at any time,
 * also after QRZ_UnHookKeyboard and QRZ_Shutdown. */
QRZ_API int QRZ_GetCaptureHotKey(uint16_t* table) QRZ_NOEXCEPT;

/* The state of entry index (0 to QRZ_HOTKEY_COUNT - 1): one of the QRZ_HOTKEY_ states, or
 * QRZ_ERR_INVALID_ARGUMENT. */
QRZ_API int QRZ_GetHotKeyStatus(int index) QRZ_NOEXCEPT;

/* Removes the keyboard hook: releases the hotkey grabs (free for other programs on return); no
 * more hotkey messages. The table copy is kept. QRZ_OK also when it was not installed. */
QRZ_API int QRZ_UnHookKeyboard(void) QRZ_NOEXCEPT;

/* ---- Mouse hook ----------------------------------------------------------------------------- */

/* Installs the mouse hook: grabs the pointer (showing cursor, see QRZ_CURSOR_SHAPE) and the
 * keyboard, so that all mouse input anywhere on the screen and the picker keys are delivered to
 * proc. Waits up to half a second for another program's grab to end. Calling it while hooked
 * replaces proc, context and cursor. On failure nothing stays grabbed: QRZ_ERR_ALREADY_GRABBED,
 * QRZ_ERR_BAD_CURSOR, QRZ_ERR_GRAB_FAILED, QRZ_ERR_NO_DISPLAY, QRZ_ERR_INVALID_ARGUMENT (proc
 * NULL or a cursor shape out of range). */
QRZ_API int QRZ_HookMouse(QRZ_NotifyProc proc, void* context, uint32_t cursor) QRZ_NOEXCEPT;

/* Removes the mouse hook: releases the pointer and keyboard grabs (free for other programs on
 * return) and drops mouse messages and picker keys not yet delivered. QRZ_OK also when it was not
 * installed. */
QRZ_API int QRZ_UnHookMouse(void) QRZ_NOEXCEPT;

/* Moves the pointer by (dx, dy) pixels from where it is (the picker's arrow-key nudge). While the
 * mouse hook is in place the move is reported as an ordinary QRZ_MOUSE_MOVE with the new
 * position; at a screen edge the pointer stops there and no move is reported. */
QRZ_API int QRZ_MovePointerBy(int dx, int dy) QRZ_NOEXCEPT;

/* Sets the double-click time in milliseconds (1 to 5000; 500 until set). The application passes
 * the desktop's setting. */
QRZ_API int QRZ_SetDoubleClickTime(uint32_t milliseconds) QRZ_NOEXCEPT;

#if defined(__cplusplus)
}
#endif
