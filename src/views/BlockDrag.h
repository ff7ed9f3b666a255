// SPDX-License-Identifier: MIT
// CBlockDrag: a block of pixels dragged over the image (the selected pixels, or a floating
// paste): where the block is now, and which parts of the image each step must repaint.
#pragma once

#include "views/ImagePoint.h"

#include <optional>

class CBlockDrag {
public:
    enum class EKind { None, Pixels, Floating };

    // What one step changed: the block's old and new places, each with a margin, cut to the
    // image. Only these need repainting.
    struct Step {
        ImageRect rcOld;
        ImageRect rcNew;
        int dx = 0;
        int dy = 0;
    };

    // Starts dragging the block rcSource from the press point ptPress.
    void Begin(EKind kind, const ImageRect& rcSource, ImagePoint ptPress, bool bCopy) noexcept;
    void End() noexcept { m_kind = EKind::None; }

    EKind Kind() const noexcept { return m_kind; }
    bool IsActive() const noexcept { return m_kind != EKind::None; }
    bool IsCopy() const noexcept { return m_bCopy; }
    // Where the block started; its pixels are always read from there.
    const ImageRect& Source() const noexcept { return m_rcSource; }
    // Where the block is now.
    ImageRect Block() const noexcept;
    // How far the block has moved since Begin.
    ImagePoint Displacement() const noexcept;

    // Moves the block with the pointer at pt; nothing when the pointer did not move to another
    // pixel. rcBounds: the image.
    std::optional<Step> MoveTo(ImagePoint pt, const ImageRect& rcBounds) noexcept;

    // Extra pixels repainted around the block's places: the outline and partly covered pixels.
    static constexpr int kRepaintMargin = 4;

private:
    EKind m_kind = EKind::None;
    bool m_bCopy = false;
    ImageRect m_rcSource;
    ImagePoint m_ptBlock;
    ImagePoint m_ptLast;
};
