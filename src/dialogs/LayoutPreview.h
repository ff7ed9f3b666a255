// SPDX-License-Identifier: MIT
// CLayoutPreview: the pages of a print layout as they will print, drawn small: each page with
// its margins and the part of the image it shows, by the same page drawing the printer uses.
#pragma once

#include "views/PrintLayout.h"

#include <QWidget>

class CImageBitmap;

class CLayoutPreview : public QWidget {
    Q_OBJECT

public:
    static const QColor kBackground; // light grey
    static const QColor kMarginLine; // RGB(192, 192, 192)

    // record and pImage (may be null) must outlive the preview; it repaints on Refresh.
    CLayoutPreview(const PrintLayoutSettings& record, const CImageBitmap* pImage,
                   QWidget* pParent = nullptr);

    // Where page nPage (from 1, in reading order) is drawn, in widget pixels; empty when the
    // layout has no such page.
    QRect PageRect(int nPage) const;
    // The record changed: draw again.
    void Refresh() { update(); }

    QSize sizeHint() const override { return {220, 260}; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    CPrintLayout Layout() const;
    // The transform from page tenths of a millimetre to the widget for a page drawn in rcPage.
    QTransform PageTransform(const QRect& rcPage) const;
    void PaintPageFrame(QPainter& painter, const QRect& rcPage) const;

    const PrintLayoutSettings& m_record;
    const CImageBitmap* m_pImage;
};
