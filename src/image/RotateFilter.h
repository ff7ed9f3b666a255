// SPDX-License-Identifier: MIT
// Rotation by any angle with nearest-neighbour sampling; pixels that come from outside the
// source take the background.
#pragma once

#include "image/ImageFilter.h"
#include "image/Pixel.h"

class CRotateFilter : public CImageFilter {
public:
    // angle in radians, positive turns the picture counter-clockwise on screen. background in
    // memory order blue, green, red, fourth byte; palette images use its nearest palette entry.
    CRotateFilter(double angle, RGBQuad background, CProgressSink* pProgress = nullptr)
        : CImageFilter(pProgress), m_dAngle(angle), m_background(background) {}

    // Destination is the bounding box of the turned source, at the source's depth, palette and
    // alpha flag. Turns by multiples of 90 degrees are plain copies with the same result.
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override;

    double Angle() const noexcept { return m_dAngle; }
    RGBQuad Background() const noexcept { return m_background; }

    // Angles the document passes for the 90-degree commands, and its degrees-to-radians factor.
    static constexpr double kQuarterTurnCounterClockwise = 1.57079633;
    static constexpr double kQuarterTurnClockwise = -1.57079633;
    static constexpr double kRadiansPerDegree = 0.01745329255555556;

private:
    double m_dAngle;
    RGBQuad m_background;
};
