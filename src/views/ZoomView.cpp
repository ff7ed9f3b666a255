// SPDX-License-Identifier: MIT
// The zooming scroll view.
#include "views/ZoomView.h"

#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// a * num / den rounded towards minus infinity; den > 0.
int ScaleFloor(int a, int num, int den) {
    const std::int64_t p = std::int64_t(a) * num;
    std::int64_t q = p / den;
    if (p % den != 0 && p < 0)
        --q;
    return static_cast<int>(q);
}

int TruncPercent(double dFactor) {
    return static_cast<int>(dFactor * 100.0);
}

} // namespace

CZoomView::CZoomView(QWidget* pParent) : QAbstractScrollArea(pParent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The page step of a click in the trough or a Page key is the view's own (a tenth of the
    // image by default), not the window size that sizes the slider.
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int nAction) { OnScrollAction(Qt::Horizontal, nAction); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int nAction) { OnScrollAction(Qt::Vertical, nAction); });
}

void CZoomView::SetImageExtent(QSize sizeTotal, QSize sizePage, QSize sizeLine) {
    m_sizeBaseTotal = sizeTotal;
    m_sizeTotalDev = sizeTotal;
    m_sizeBasePage = sizePage;
    m_sizeBaseLine = sizeLine;
    UpdateViewport();
}

void CZoomView::SetScale(double dFactor) {
    const QPoint ptCenter = GetImageCenter();
    m_dScale = dFactor;
    m_sizeTotalDev = QSize(static_cast<int>(m_sizeBaseTotal.width() * dFactor),
                           static_cast<int>(m_sizeBaseTotal.height() * dFactor));
    UpdateViewport();
    CenterOnImagePoint(ptCenter);
    emit scaleChanged(m_dScale);
}

void CZoomView::UpdateViewport() {
    m_sizePageDev = QSize(std::abs(m_sizeBasePage.width()), std::abs(m_sizeBasePage.height()));
    m_sizeLineDev = QSize(std::abs(m_sizeBaseLine.width()), std::abs(m_sizeBaseLine.height()));
    if (m_sizePageDev.width() == 0)
        m_sizePageDev.setWidth(m_sizeTotalDev.width() / 10);
    if (m_sizePageDev.height() == 0)
        m_sizePageDev.setHeight(m_sizeTotalDev.height() / 10);
    if (m_sizeLineDev.width() == 0)
        m_sizeLineDev.setWidth(m_sizePageDev.width() / 10);
    if (m_sizeLineDev.height() == 0)
        m_sizeLineDev.setHeight(m_sizePageDev.height() / 10);
    UpdateScrollBars();
    viewport()->update();
}

QSize CZoomView::ClientSizeForScrolling() const {
    // Decided from the size without scroll bars: a total that fits once the bars are gone must
    // not keep them just because they are showing now.
    const QSize full = maximumViewportSize();
    const int cxBar = verticalScrollBar()->sizeHint().width();
    const int cyBar = horizontalScrollBar()->sizeHint().height();
    bool bH = m_sizeTotalDev.width() > full.width();
    bool bV = m_sizeTotalDev.height() > full.height();
    if (bH && !bV)
        bV = m_sizeTotalDev.height() > full.height() - cyBar;
    if (bV && !bH)
        bH = m_sizeTotalDev.width() > full.width() - cxBar;
    return {full.width() - (bV ? cxBar : 0), full.height() - (bH ? cyBar : 0)};
}

void CZoomView::UpdateScrollBars() {
    const QSize client = ClientSizeForScrolling();
    QScrollBar* pH = horizontalScrollBar();
    QScrollBar* pV = verticalScrollBar();
    pH->setRange(0, std::max(0, m_sizeTotalDev.width() - client.width()));
    pV->setRange(0, std::max(0, m_sizeTotalDev.height() - client.height()));
    // The slider's size follows the window; the step of a page is handled in OnScrollAction.
    pH->setPageStep(std::max(1, client.width()));
    pV->setPageStep(std::max(1, client.height()));
    pH->setSingleStep(std::max(1, m_sizeLineDev.width()));
    pV->setSingleStep(std::max(1, m_sizeLineDev.height()));
}

void CZoomView::OnScrollAction(Qt::Orientation orientation, int nAction) {
    if (nAction != QAbstractSlider::SliderPageStepAdd &&
        nAction != QAbstractSlider::SliderPageStepSub)
        return;
    QScrollBar* pBar = orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    const int nPage =
        orientation == Qt::Horizontal ? m_sizePageDev.width() : m_sizePageDev.height();
    const int nStep = nAction == QAbstractSlider::SliderPageStepAdd ? nPage : -nPage;
    pBar->setSliderPosition(std::clamp(pBar->value() + nStep, pBar->minimum(), pBar->maximum()));
}

void CZoomView::resizeEvent(QResizeEvent* pEvent) {
    QAbstractScrollArea::resizeEvent(pEvent);
    UpdateScrollBars();
}

void CZoomView::scrollContentsBy(int dx, int dy) {
    // Only the uncovered strip is repainted.
    viewport()->scroll(dx, dy);
}

QPoint CZoomView::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CZoomView::ScrollToPosition(QPoint pt) {
    horizontalScrollBar()->setValue(pt.x());
    verticalScrollBar()->setValue(pt.y());
}

bool CZoomView::HasHorizontalScroll() const {
    return horizontalScrollBar()->maximum() > 0;
}

bool CZoomView::HasVerticalScroll() const {
    return verticalScrollBar()->maximum() > 0;
}

QPoint CZoomView::ViewportOrigin() const {
    QPoint origin = -ScrollPosition();
    if (m_bCenter) {
        const QSize client = viewport()->size();
        if (m_sizeTotalDev.width() < client.width())
            origin.setX((client.width() - m_sizeTotalDev.width()) / 2);
        if (m_sizeTotalDev.height() < client.height())
            origin.setY((client.height() - m_sizeTotalDev.height()) / 2);
    }
    return origin;
}

QTransform CZoomView::ImageTransform() const {
    const QPoint origin = ViewportOrigin();
    const double sx = m_sizeBaseTotal.width() > 0
                          ? double(m_sizeTotalDev.width()) / m_sizeBaseTotal.width()
                          : 1.0;
    const double sy = m_sizeBaseTotal.height() > 0
                          ? double(m_sizeTotalDev.height()) / m_sizeBaseTotal.height()
                          : 1.0;
    return QTransform(sx, 0, 0, sy, origin.x(), origin.y());
}

QPoint CZoomView::ImageToView(QPoint ptImage) const {
    const QPoint origin = ViewportOrigin();
    int x = ptImage.x(), y = ptImage.y();
    if (m_sizeBaseTotal.width() > 0)
        x = ScaleFloor(x, m_sizeTotalDev.width(), m_sizeBaseTotal.width());
    if (m_sizeBaseTotal.height() > 0)
        y = ScaleFloor(y, m_sizeTotalDev.height(), m_sizeBaseTotal.height());
    return QPoint(x, y) + origin;
}

QPoint CZoomView::ViewToImage(QPoint ptView) const {
    const QPoint pt = ptView - ViewportOrigin();
    int x = pt.x(), y = pt.y();
    if (m_sizeTotalDev.width() > 0)
        x = ScaleFloor(x, m_sizeBaseTotal.width(), m_sizeTotalDev.width());
    if (m_sizeTotalDev.height() > 0)
        y = ScaleFloor(y, m_sizeBaseTotal.height(), m_sizeTotalDev.height());
    return {x, y};
}

QRect CZoomView::ViewToImage(const QRect& rcView) const {
    // Corners as points: the right and bottom edges are exclusive, like the rectangle's pixels.
    const QRect rc = rcView.normalized();
    const QPoint tl = ViewToImage(rc.topLeft());
    const QPoint br = ViewToImage(QPoint(rc.x() + rc.width(), rc.y() + rc.height()));
    return QRect(tl, QSize(br.x() - tl.x(), br.y() - tl.y())).normalized();
}

QRect CZoomView::ImageToView(const QRect& rcImage) const {
    const QRect rc = rcImage.normalized();
    const QPoint tl = ImageToView(rc.topLeft());
    const QPoint br = ImageToView(QPoint(rc.x() + rc.width(), rc.y() + rc.height()));
    return QRect(tl, QSize(br.x() - tl.x(), br.y() - tl.y())).normalized();
}

QRect CZoomView::ImageRectInView() const {
    return QRect(ViewportOrigin(), m_sizeTotalDev);
}

QPoint CZoomView::GetImageCenter() const {
    const QSize client = viewport()->size();
    return ViewToImage(QPoint(client.width() / 2, client.height() / 2));
}

void CZoomView::CenterOnImagePoint(QPoint ptImage) {
    const QPoint ptDevice = ClientToScroll(ImageToView(ptImage));
    const QSize client = viewport()->size();
    // The scroll range may have just changed with the scroll bars' visibility.
    UpdateScrollBars();
    horizontalScrollBar()->setValue(ptDevice.x() - client.width() / 2);
    verticalScrollBar()->setValue(ptDevice.y() - client.height() / 2);
}

void CZoomView::SetPresetScale(double dFactor) {
    m_dPresetScale = dFactor;
    SetScale(dFactor);
}

int CZoomView::PresetIndex() const {
    const int nCurrent = TruncPercent(m_dPresetScale);
    const auto it = std::find(kPresetLevels.begin(), kPresetLevels.end(), nCurrent);
    return it == kPresetLevels.end() ? -1 : int(it - kPresetLevels.begin());
}

void CZoomView::ZoomPresetUp() {
    int i = PresetIndex();
    if (i == int(kPresetLevels.size()) - 1)
        return;
    if (i < 0)
        i = 2;
    SetPresetScale(kPresetLevels[std::min<std::size_t>(i + 1, kPresetLevels.size() - 1)] * 0.01);
}

void CZoomView::ZoomPresetDown() {
    int i = PresetIndex();
    if (i == 0)
        return;
    if (i < 0)
        i = 2;
    SetPresetScale(kPresetLevels[std::max(i - 1, 0)] * 0.01);
}

bool CZoomView::IsPresetChecked(int nPercent) const {
    return TruncPercent(m_dPresetScale) == nPercent;
}

bool CZoomView::CanZoomPresetUp() const {
    return TruncPercent(m_dPresetScale) < kPresetLevels.back();
}

bool CZoomView::CanZoomPresetDown() const {
    return TruncPercent(m_dPresetScale) > kPresetLevels.front();
}
