// SPDX-License-Identifier: MIT
// Where a reader of palette images puts its rows: straight into the caller's bitmap at 8 bpp,
// or, when 32 bpp was requested, into a temporary that Finish() expands through the palette.
#pragma once

#include "image/MemoryBitmap.h"

class CIndexedOutput {
public:
    CIndexedOutput(CImageBitmap& target, int requestedDepth) noexcept
        : m_target(target), m_bExpand(requestedDepth == 32) {}

    // An 8-bpp bitmap (grey-ramp palette installed) to fill with indexes and palette. alpha marks a
    // palette whose fourth bytes carry transparency, so a 32-bpp result keeps it.
    CImageBitmap& Create(int width, int height, bool alpha) {
        CImageBitmap& out = m_bExpand ? static_cast<CImageBitmap&>(m_temp) : m_target;
        out.Create(width, height, 8, alpha);
        return out;
    }

    void Finish() {
        if (m_bExpand)
            m_target.CreateCopy(m_temp, 32);
    }

private:
    CImageBitmap& m_target;
    bool m_bExpand;
    CMemoryBitmap m_temp;
};
