// SPDX-License-Identifier: MIT
// The pickers' full-screen window over the frozen screen.
#include "capture/engine/CaptureOverlay.h"

#include "image/ImageBitmap.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QScreen>

#include <algorithm>
#include <utility>

using capture::FeedbackShape;
using capture::Rect;

namespace {

QRect ToQRect(const Rect& rc, const Rect& rcRoot) {
    return QRect(rc.left - rcRoot.left, rc.top - rcRoot.top, rc.Width(), rc.Height());
}

} // namespace

CCaptureOverlay::CCaptureOverlay(QWidget* pParent)
    : QWidget(pParent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::CrossCursor);
}

QFont CCaptureOverlay::TipFont() {
    // The program's own UI font, so the box reads like the rest of the desktop. The overlay
    // paints in root (device) pixels, so the font's logical size is scaled to them.
    QFont font = QGuiApplication::font();
    const QScreen* pScreen = QGuiApplication::primaryScreen();
    const qreal dpr = pScreen != nullptr ? pScreen->devicePixelRatio() : 1.0;
    font.setPixelSize(std::max(1, qRound(QFontInfo(font).pixelSize() * dpr)));
    return font;
}

capture::Size CCaptureOverlay::TextExtent(const QString& strText) {
    const QFontMetrics metrics(TipFont());
    return {metrics.horizontalAdvance(strText), metrics.height()};
}

void CCaptureOverlay::ShowFrozen(const CImageBitmap& screen, const Rect& rcRoot) {
    // Rows are read through Line(0) with the bitmap's own stride; a bottom-up bitmap would need
    // a negative one, which QImage cannot take: the grabber gives top-down rows.
    m_screen = QImage(static_cast<const uchar*>(screen.Line(0)), screen.Width(), screen.Height(),
                      qsizetype(screen.BytesPerLine()), QImage::Format_RGB32);
    m_rcRoot = rcRoot;
    m_feedback = {};
    m_bFirstPaintPending = true;
    const qreal dpr = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
    setGeometry(QRect(int(rcRoot.left / dpr), int(rcRoot.top / dpr), int(rcRoot.Width() / dpr),
                      int(rcRoot.Height() / dpr)));
    if (m_bTakesInput)
        showFullScreen();
    else
        show();
    raise();
    if (m_bTakesInput) {
        activateWindow();
        setFocus(Qt::OtherFocusReason);
    }
    update();
}

void CCaptureOverlay::SetTakesInput(bool bTakesInput) {
    m_bTakesInput = bTakesInput;
    // A Wayland compositor shows a window that bypasses it (an XWayland override-redirect one)
    // under a full-screen program and gives it no keys: the overlay is a full-screen window of
    // its own there, which comes over any other and gets the focus.
    setWindowFlag(Qt::X11BypassWindowManagerHint, !bTakesInput);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, !bTakesInput);
    setAttribute(Qt::WA_ShowWithoutActivating, !bTakesInput);
    setFocusPolicy(bTakesInput ? Qt::StrongFocus : Qt::NoFocus);
    setMouseTracking(bTakesInput);
}

void CCaptureOverlay::ReportMouse(capture::MouseKind kind, const QMouseEvent& event) {
    if (!m_bTakesInput || m_screen.isNull())
        return;
    const qreal dpr = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
    const QPointF pos = event.position() * dpr;
    const capture::Point pt{m_rcRoot.left + qRound(pos.x()), m_rcRoot.top + qRound(pos.y())};
    emit mouseInput({kind, pt, std::uint32_t(event.timestamp())});
}

void CCaptureOverlay::mouseMoveEvent(QMouseEvent* pEvent) {
    ReportMouse(capture::MouseKind::Move, *pEvent);
}

void CCaptureOverlay::mousePressEvent(QMouseEvent* pEvent) {
    // A double click arrives here too (QWidget's default): the pickers time presses themselves.
    if (pEvent->button() == Qt::LeftButton)
        ReportMouse(capture::MouseKind::LeftDown, *pEvent);
    else if (pEvent->button() == Qt::RightButton)
        ReportMouse(capture::MouseKind::RightDown, *pEvent);
}

void CCaptureOverlay::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton)
        ReportMouse(capture::MouseKind::LeftUp, *pEvent);
}

void CCaptureOverlay::keyPressEvent(QKeyEvent* pEvent) {
    if (!m_bTakesInput)
        return;
    static constexpr std::pair<int, int> kKeys[] = {
        {Qt::Key_Escape, capture::vk::kEscape}, {Qt::Key_Shift, capture::vk::kShift},
        {Qt::Key_Left, capture::vk::kLeft},     {Qt::Key_Up, capture::vk::kUp},
        {Qt::Key_Right, capture::vk::kRight},   {Qt::Key_Down, capture::vk::kDown}};
    for (const auto& [nQtKey, nVirtKey] : kKeys) {
        if (pEvent->key() == nQtKey) {
            emit pickerKey(nVirtKey);
            return;
        }
    }
}

void CCaptureOverlay::SetFeedback(const capture::PickerFeedback& feedback) {
    if (feedback == m_feedback)
        return;
    m_feedback = feedback;
    update();
}

void CCaptureOverlay::HideOverlay() {
    hide();
    m_feedback = {};
    m_screen = QImage();
}

void CCaptureOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal dpr = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
    painter.scale(1.0 / dpr, 1.0 / dpr); // work in root pixels
    painter.drawImage(QPoint(0, 0), m_screen);
    DrawFeedback(painter);
    if (std::exchange(m_bFirstPaintPending, false))
        emit frozenShown();
}

QImage CCaptureOverlay::Render() const {
    QImage image = m_screen.copy();
    if (image.isNull())
        return image;
    QPainter painter(&image);
    DrawFeedback(painter);
    return image;
}

void CCaptureOverlay::DrawFeedback(QPainter& painter) const {
    const capture::PickerFeedback& f = m_feedback;
    painter.save();
    if (f.inverted != FeedbackShape::None) {
        QPainterPath path;
        if (f.inverted == FeedbackShape::Rectangle) {
            path.addRect(ToQRect(f.rcInverted, m_rcRoot));
        } else if (f.inverted == FeedbackShape::Ellipse) {
            path.addEllipse(ToQRect(f.rcInverted, m_rcRoot));
        } else {
            QPolygon polygon;
            for (const capture::Point& p : f.polygon)
                polygon << QPoint(p.x - m_rcRoot.left, p.y - m_rcRoot.top);
            path.addPolygon(polygon);
            path.setFillRule(f.fillRule == capture::FillRule::Winding ? Qt::WindingFill
                                                                      : Qt::OddEvenFill);
        }
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillPath(path, Qt::black); // the source does not matter: every pixel is inverted
    }
    if (f.bFocusRect) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(ToQRect(f.rcFocus, m_rcRoot).adjusted(0, 0, -1, -1));
    }
    if (f.bRubberBand) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(QPoint(f.bandFrom.x - m_rcRoot.left, f.bandFrom.y - m_rcRoot.top),
                         QPoint(f.bandTo.x - m_rcRoot.left, f.bandTo.y - m_rcRoot.top));
    }
    painter.restore();
    if (f.bTipVisible && !f.rcTip.IsEmpty()) {
        const QRect rcTip = ToQRect(f.rcTip, m_rcRoot);
        painter.fillRect(rcTip, Qt::black);
        painter.setPen(Qt::white);
        painter.setFont(TipFont());
        // One line, vertically centred, against the box's right edge.
        painter.drawText(rcTip.adjusted(2, 0, -3, 0),
                         Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromStdString(f.strTipText));
    }
}
