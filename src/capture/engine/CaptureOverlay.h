// SPDX-License-Identifier: MIT
// The pickers' full-screen window: the frozen screen with the picker's feedback drawn over it
// (inverted region, focus rectangle, rubber band, info box).
#pragma once

#include "capture/PickerTypes.h"

#include <QImage>
#include <QWidget>

class CImageBitmap;

class CCaptureOverlay : public QWidget {
    Q_OBJECT

public:
    explicit CCaptureOverlay(QWidget* pParent = nullptr);

    // Covers rcRoot (root pixels) showing `screen`, whose top-left pixel is rcRoot's corner.
    // The bitmap must stay unchanged while the overlay shows it.
    void ShowFrozen(const CImageBitmap& screen, const capture::Rect& rcRoot);
    void SetFeedback(const capture::PickerFeedback& feedback);
    void HideOverlay();

    // The font of the info box (the application's UI font, sized in root pixels) and the
    // extents of a text in it, in pixels.
    static QFont TipFont();
    static capture::Size TextExtent(const QString& strText);

    // What the overlay shows now, drawn at device pixels (for tests and for paintEvent).
    QImage Render() const;
    const capture::PickerFeedback& Feedback() const noexcept { return m_feedback; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void DrawFeedback(QPainter& painter) const;

    QImage m_screen; // wraps the frozen bitmap's rows
    capture::Rect m_rcRoot;
    capture::PickerFeedback m_feedback;
};
