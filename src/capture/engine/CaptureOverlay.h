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

    // Where no hook may take the pointer and keyboard (a Wayland session), the overlay takes its
    // own input and reports it in root pixels. Set before ShowFrozen.
    void SetTakesInput(bool bTakesInput);
    bool TakesInput() const noexcept { return m_bTakesInput; }

signals:
    void mouseInput(const capture::MouseInput& input);
    void pickerKey(int nVirtKey);
    // The frozen screen has been painted for the first time since ShowFrozen.
    void frozenShown();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void DrawFeedback(QPainter& painter) const;
    void ReportMouse(capture::MouseKind kind, const QMouseEvent& event);

    QImage m_screen; // wraps the frozen bitmap's rows
    capture::Rect m_rcRoot;
    capture::PickerFeedback m_feedback;
    bool m_bTakesInput = false;
    bool m_bFirstPaintPending = false;
};
