// SPDX-License-Identifier: MIT
// The public header compiled as C: C callers get the same ids, codes and point unpacking.
#include "hook/TavixHook.h"

static int Proc(void* context, uint32_t message, uint32_t wParam, uint32_t lParam) {
    (void)context;
    (void)message;
    (void)wParam;
    (void)lParam;
    return 1;
}

uint32_t CHeaderMouseMessageId(void) {
    return QRZM_ForwardMouseMessage;
}

int CHeaderPointX(uint32_t lParam) {
    return QRZ_POINT_X(lParam);
}

int CHeaderPointY(uint32_t lParam) {
    return QRZ_POINT_Y(lParam);
}

int CHeaderHookWithoutProc(void) {
    QRZ_NotifyProc proc = Proc;
    (void)proc;
    return QRZ_HookMouse(0, 0, QRZ_CURSOR_SHAPE(34));
}
