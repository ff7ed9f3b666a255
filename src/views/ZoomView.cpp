// SPDX-License-Identifier: MIT
// The zooming scroll view.
#include "views/ZoomView.h"

#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Scales compare equal within this: levels are hundredths.
constexpr double kScaleSlack = 1e-9;

double Level(int nPercent) {
    return nPercent * 0.01;
}

bool IsWhole(double d) {
    return std::abs(d - std::round(d)) < 1e-9;
}

// How far ptView lies outside [0, nExtent) along one axis: negative before, positive after.
double Outside(double d, int nExtent) {
    if (d < 0)
        return d;
    return d >= nExtent ? d - nExtent + 1 : 0.0;
}

// One auto-scroll tick's step for a pointer nDistance device pixels outside: a few pixels at
// the edge, growing with the distance, never more than half a window.
int AutoScrollStep(double dDistance, int nClient) {
    if (dDistance == 0)
        return 0;
    const int nStep =
        std::min(2 + static_cast<int>(std::abs(dDistance)) / 2, std::max(2, nClient / 2));
    return dDistance < 0 ? -nStep : nStep;
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

double CZoomView::DevicePixelRatio() const {
    return viewport()->devicePixelRatioF();
}

QPointF CZoomView::DeviceFraction() const {
    // The pointer's window positions count from the window's corner, which lies where the
    // window's place in the top-level window puts it on the device.
    return CZoomMapping::FractionOf(QPointF(viewport()->mapTo(viewport()->window(), QPoint(0, 0))) *
                                    DevicePixelRatio());
}

QSize CZoomView::ToDeviceSize(QSize sizeView) const {
    // Counted from the device pixel the window's corner lies in, to the last one it covers
    // whole.
    const double d = DevicePixelRatio();
    const QPointF ptFraction = DeviceFraction();
    return {static_cast<int>(std::floor(sizeView.width() * d + ptFraction.x() + 1e-6)),
            static_cast<int>(std::floor(sizeView.height() * d + ptFraction.y() + 1e-6))};
}

QSize CZoomView::ClientDeviceSize() const {
    return ToDeviceSize(viewport()->size());
}

QPointF CZoomView::PointerInView(const QSinglePointEvent& event) const {
    // Qt hands a widget the pointer rounded to whole window pixels, which on a screen scaled
    // by 1.5 leaves every third device pixel out of reach; the top-level window's point keeps
    // the fraction. Events made by hand carry their own point there instead.
    const QPointF ptView =
        event.scenePosition() - QPointF(viewport()->mapTo(viewport()->window(), QPoint(0, 0)));
    return (ptView - event.position()).manhattanLength() < 1.0 ? ptView : event.position();
}

void CZoomView::SetImageExtent(QSize sizeTotal, QSize sizePage, QSize sizeLine) {
    m_sizeBaseTotal = sizeTotal;
    m_sizeTotalDev = QSize(static_cast<int>(sizeTotal.width() * m_dScale),
                           static_cast<int>(sizeTotal.height() * m_dScale));
    m_sizeBasePage = sizePage;
    m_sizeBaseLine = sizeLine;
    UpdateViewport();
}

void CZoomView::SetScale(double dFactor) {
    const QSize client = ClientDeviceSize();
    ZoomAtDevice(dFactor, QPoint(client.width() / 2, client.height() / 2));
}

void CZoomView::ZoomAt(double dFactor, QPointF ptView) {
    ZoomAtDevice(dFactor, Mapping().ViewToDevice(ptView));
}

void CZoomView::ZoomAtDevice(double dFactor, QPoint ptDevice) {
    const QPointF ptImage = Mapping().DeviceToImageF(ptDevice);
    m_dScale = std::clamp(dFactor, kMinScale, kMaxScale);
    m_sizeTotalDev = QSize(static_cast<int>(m_sizeBaseTotal.width() * m_dScale),
                           static_cast<int>(m_sizeBaseTotal.height() * m_dScale));
    UpdateViewport();
    // Scrolled so that the image point lands on the device pixel again; an axis the image
    // fits in is centred instead.
    const QPointF ptShown(
        ptImage.x() * m_sizeTotalDev.width() / std::max(1, m_sizeBaseTotal.width()),
        ptImage.y() * m_sizeTotalDev.height() / std::max(1, m_sizeBaseTotal.height()));
    ScrollToPosition(ptShown.toPoint() - ptDevice);
    emit scaleChanged(m_dScale);
}

double CZoomView::FitScale() const {
    if (m_sizeBaseTotal.isEmpty())
        return m_dScale;
    const QSize room = ToDeviceSize(maximumViewportSize());
    const double dFit = std::min(double(room.width()) / m_sizeBaseTotal.width(),
                                 double(room.height()) / m_sizeBaseTotal.height());
    return std::clamp(dFit, kMinScale, kMaxScale);
}

void CZoomView::UpdateViewport() {
    m_sizePageDev = QSize(std::abs(m_sizeBasePage.width()), std::abs(m_sizeBasePage.height()));
    m_sizeLineDev = QSize(std::abs(m_sizeBaseLine.width()), std::abs(m_sizeBaseLine.height()));
    if (m_sizePageDev.width() == 0)
        m_sizePageDev.setWidth(WholeWindowPixels(m_sizeTotalDev.width() / 10));
    if (m_sizePageDev.height() == 0)
        m_sizePageDev.setHeight(WholeWindowPixels(m_sizeTotalDev.height() / 10));
    if (m_sizeLineDev.width() == 0)
        m_sizeLineDev.setWidth(WholeWindowPixels(m_sizePageDev.width() / 10));
    if (m_sizeLineDev.height() == 0)
        m_sizeLineDev.setHeight(WholeWindowPixels(m_sizePageDev.height() / 10));
    UpdateScrollBars();
    viewport()->update();
}

int CZoomView::WholeWindowPixels(int nDevice) const {
    const double d = DevicePixelRatio();
    for (int nQuantum = 1; nQuantum <= 8; ++nQuantum) {
        if (IsWhole(nQuantum / d))
            return (nDevice + nQuantum - 1) / nQuantum * nQuantum;
    }
    return nDevice;
}

QSize CZoomView::ClientSizeForScrolling() const {
    // Decided from the size without scroll bars: a total that fits once the bars are gone must
    // not keep them just because they are showing now.
    const QSize full = maximumViewportSize();
    const QSize bars(verticalScrollBar()->sizeHint().width(),
                     horizontalScrollBar()->sizeHint().height());
    const QSize room = ToDeviceSize(full);
    const QSize roomBesideBars = ToDeviceSize(full - bars);
    bool bH = m_sizeTotalDev.width() > room.width();
    bool bV = m_sizeTotalDev.height() > room.height();
    if (bH && !bV)
        bV = m_sizeTotalDev.height() > roomBesideBars.height();
    if (bV && !bH)
        bH = m_sizeTotalDev.width() > roomBesideBars.width();
    return ToDeviceSize(full - QSize(bV ? bars.width() : 0, bH ? bars.height() : 0));
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
    // Only the uncovered strip is repainted when the pixels shown can move by whole window
    // pixels; otherwise the window is painted afresh on the device's grid.
    const double d = DevicePixelRatio();
    if (!PaintsFixedBackdrop() && IsWhole(dx / d) && IsWhole(dy / d))
        viewport()->scroll(static_cast<int>(std::lround(dx / d)),
                           static_cast<int>(std::lround(dy / d)));
    else
        viewport()->update();
}

bool CZoomView::ScrollTowards(QPointF ptView) {
    const QPoint ptDevice = Mapping().ViewToDevice(ptView);
    const QSize client = ClientDeviceSize();
    const QPoint step(AutoScrollStep(Outside(ptDevice.x(), client.width()), client.width()),
                      AutoScrollStep(Outside(ptDevice.y(), client.height()), client.height()));
    const QPoint before = ScrollPosition();
    ScrollToPosition(before + step);
    return ScrollPosition() != before;
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
        const QSize client = ClientDeviceSize();
        if (m_sizeTotalDev.width() < client.width())
            origin.setX((client.width() - m_sizeTotalDev.width()) / 2);
        if (m_sizeTotalDev.height() < client.height())
            origin.setY((client.height() - m_sizeTotalDev.height()) / 2);
    }
    return origin;
}

CZoomMapping CZoomView::Mapping(QPointF ptFraction) const {
    return {DevicePixelRatio(), ptFraction, ViewportOrigin(), m_sizeBaseTotal, m_sizeTotalDev};
}

CZoomMapping CZoomView::Mapping() const {
    return Mapping(DeviceFraction());
}

QPoint CZoomView::ViewToImage(QPointF ptView) const {
    const CZoomMapping mapping = Mapping();
    return mapping.DeviceToImage(mapping.ViewToDevice(ptView));
}

QPoint CZoomView::ImageToView(QPoint ptImage) const {
    const CZoomMapping mapping = Mapping();
    return mapping.DeviceToView(QRect(mapping.ImageToDevice(ptImage), QSize(1, 1))).topLeft();
}

QRect CZoomView::ViewToImage(const QRect& rcView) const {
    const CZoomMapping mapping = Mapping();
    return mapping.DeviceToImage(mapping.ViewToDevice(rcView));
}

QRect CZoomView::ImageToView(const QRect& rcImage) const {
    const CZoomMapping mapping = Mapping();
    return mapping.DeviceToView(mapping.ImageToDevice(rcImage));
}

QRect CZoomView::ImageRectInView() const {
    const CZoomMapping mapping = Mapping();
    return mapping.DeviceToView(mapping.ImageRect());
}

QPoint CZoomView::GetImageCenter() const {
    const QSize client = ClientDeviceSize();
    return Mapping().DeviceToImage(QPoint(client.width() / 2, client.height() / 2));
}

void CZoomView::CenterOnImagePoint(QPoint ptImage) {
    const QPoint ptDevice = Mapping().ImageToDevice(ptImage) + ScrollPosition();
    const QSize client = ClientDeviceSize();
    // The scroll range may have just changed with the scroll bars' visibility.
    UpdateScrollBars();
    horizontalScrollBar()->setValue(ptDevice.x() - client.width() / 2);
    verticalScrollBar()->setValue(ptDevice.y() - client.height() / 2);
}

double CZoomView::PresetAbove() const {
    for (const int nLevel : kPresetLevels) {
        if (Level(nLevel) > m_dScale + kScaleSlack)
            return Level(nLevel);
    }
    return kMaxScale;
}

double CZoomView::PresetBelow() const {
    for (auto it = kPresetLevels.rbegin(); it != kPresetLevels.rend(); ++it) {
        if (Level(*it) < m_dScale - kScaleSlack)
            return Level(*it);
    }
    return kMinScale;
}

bool CZoomView::IsPresetChecked(int nPercent) const {
    return std::abs(m_dScale - Level(nPercent)) <= kScaleSlack;
}

bool CZoomView::CanZoomPresetUp() const {
    return m_dScale < kMaxScale - kScaleSlack;
}

bool CZoomView::CanZoomPresetDown() const {
    return m_dScale > kMinScale + kScaleSlack;
}
