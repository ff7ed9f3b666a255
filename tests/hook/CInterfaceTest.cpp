// SPDX-License-Identifier: MIT
// The C interface as a C program sees it (CHeaderCheck.c is compiled as C99).
#include "hook/TavixHook.h"

#include <gtest/gtest.h>

extern "C" {
uint32_t CHeaderMouseMessageId(void);
int CHeaderPointX(uint32_t lParam);
int CHeaderPointY(uint32_t lParam);
int CHeaderHookWithoutProc(void);
}

TEST(CInterface, CCallersSeeTheSameInterface) {
    EXPECT_EQ(CHeaderMouseMessageId(), QRZM_ForwardMouseMessage);
    EXPECT_NE(QRZM_ForwardMouseMessage, QRZM_ForwardKeyboardMessage);
    // Both halves are signed 16-bit values.
    EXPECT_EQ(CHeaderPointX(0xFFFE0003u), 3);
    EXPECT_EQ(CHeaderPointY(0xFFFE0003u), -2);
    EXPECT_EQ(CHeaderPointX(0x7FFF8000u), -32768);
    EXPECT_EQ(CHeaderPointY(0x7FFF8000u), 32767);
    EXPECT_EQ(CHeaderHookWithoutProc(), QRZ_ERR_INVALID_ARGUMENT);
}
