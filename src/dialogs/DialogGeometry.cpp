// SPDX-License-Identifier: MIT
// The dialogs' sizes and places.
#include "dialogs/DialogGeometry.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QTreeView>

#include <algorithm>
#include <array>
#include <optional>

namespace dialogs {

namespace {

// The share of the screen's available area a file dialog starts with, in each direction.
constexpr double kFileDialogScreenShare = 0.6;
// Below this a file list shows too few names to choose from (logical pixels).
constexpr QSize kFileDialogMinimum{720, 480};
// Between the image window and a dialog beside it (logical pixels).
constexpr int kGap = 8;

QRect AvailableArea(const QWidget& widget) {
    const QScreen* pScreen = widget.screen();
    if (pScreen == nullptr)
        pScreen = QGuiApplication::primaryScreen();
    return pScreen != nullptr ? pScreen->availableGeometry() : QRect();
}

// Qt's own widths (the name 26 "w" wide, the size as wide as "128.88 GB") cut "602 bytes",
// file types and dates short while the rest of the list stays empty.
void FitColumns(QFileDialog& dialog) {
    auto* pTree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (pTree == nullptr)
        return;
    QHeaderView* pHeader = pTree->header();
    pHeader->setStretchLastSection(false);
    pHeader->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int nSection = 1; nSection < pHeader->count(); ++nSection)
        pHeader->setSectionResizeMode(nSection, QHeaderView::ResizeToContents);
}

// The part of the widget not hidden by its parents' edges (an image window scrolled partly out
// of the workspace), in global coordinates.
QRect VisibleGlobalRect(const QWidget& widget) {
    QRect rc(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    for (const QWidget* pParent = widget.parentWidget(); pParent != nullptr;
         pParent = pParent->parentWidget())
        rc &= QRect(pParent->mapToGlobal(QPoint(0, 0)), pParent->size());
    return rc;
}

// x (or y) moved so that a length starting there stays within [nStart, nStart + nRoom).
int KeepWithin(int nPos, int nLength, int nStart, int nRoom) {
    return std::max(nStart, std::min(nPos, nStart + nRoom - nLength));
}

// Beside rcImage on the first side with room in the order right, left, below, above; level
// with its top (or left edge) as far as the area allows.
std::optional<QPoint> SideWithRoom(const QRect& rcAvailable, const QRect& rcImage,
                                   const QSize& frameSize) {
    const int cx = frameSize.width();
    const int cy = frameSize.height();
    const int yBeside = KeepWithin(rcImage.top(), cy, rcAvailable.top(), rcAvailable.height());
    const int xBeside = KeepWithin(rcImage.left(), cx, rcAvailable.left(), rcAvailable.width());
    const int xRight = rcImage.right() + 1 + kGap;
    if (xRight + cx <= rcAvailable.right() + 1)
        return QPoint(xRight, yBeside);
    const int xLeft = rcImage.left() - kGap - cx;
    if (xLeft >= rcAvailable.left())
        return QPoint(xLeft, yBeside);
    const int yBelow = rcImage.bottom() + 1 + kGap;
    if (yBelow + cy <= rcAvailable.bottom() + 1)
        return QPoint(xBeside, yBelow);
    const int yAbove = rcImage.top() - kGap - cy;
    if (yAbove >= rcAvailable.top())
        return QPoint(xBeside, yAbove);
    return std::nullopt;
}

qint64 Area(const QRect& rc) {
    return rc.isEmpty() ? 0 : qint64(rc.width()) * rc.height();
}

// The corner of the area where the window covers the least of rcImage.
QPoint LeastCoveringCorner(const QRect& rcAvailable, const QRect& rcImage, const QSize& frameSize) {
    const int xLeft = rcAvailable.left();
    const int xRight = KeepWithin(rcAvailable.right() + 1 - frameSize.width(), frameSize.width(),
                                  rcAvailable.left(), rcAvailable.width());
    const int yTop = rcAvailable.top();
    const int yBottom = KeepWithin(rcAvailable.bottom() + 1 - frameSize.height(),
                                   frameSize.height(), rcAvailable.top(), rcAvailable.height());
    const std::array<QPoint, 4> corners{QPoint(xRight, yTop), QPoint(xLeft, yTop),
                                        QPoint(xRight, yBottom), QPoint(xLeft, yBottom)};
    // The centre counts as a whole image's worth of cover, so any corner that leaves it in
    // view wins over every one that hides it.
    const auto cost = [&](const QPoint& pt) {
        const QRect rcDialog(pt, frameSize);
        const qint64 nCentre = rcDialog.contains(rcImage.center()) ? Area(rcImage) + 1 : 0;
        return Area(rcDialog & rcImage) + nCentre;
    };
    return *std::min_element(corners.begin(), corners.end(),
                             [&](const QPoint& a, const QPoint& b) { return cost(a) < cost(b); });
}

// A file dialog's starting size on a screen with the available area, for controls that need
// controlsMinimum.
QSize FileDialogSize(const QSize& available, const QSize& controlsMinimum) {
    const QSize share(int(available.width() * kFileDialogScreenShare),
                      int(available.height() * kFileDialogScreenShare));
    const QSize lower = kFileDialogMinimum.expandedTo(controlsMinimum);
    // A screen smaller than the minimum still gets the whole dialog on it where it can.
    return share.expandedTo(lower).boundedTo(available.expandedTo(controlsMinimum));
}

// The top-left corner for a window of frameSize inside rcAvailable that leaves rcImage in view
// (all in global coordinates).
QPoint PlaceBeside(const QRect& rcAvailable, const QRect& rcImage, const QSize& frameSize) {
    if (const std::optional<QPoint> beside = SideWithRoom(rcAvailable, rcImage, frameSize))
        return *beside;
    return LeastCoveringCorner(rcAvailable, rcImage, frameSize);
}

} // namespace

void FitFileDialog(QFileDialog& dialog) {
    FitColumns(dialog);
    const QWidget& anchor =
        dialog.parentWidget() != nullptr ? *dialog.parentWidget()->window() : dialog;
    const QRect rcAvailable = AvailableArea(anchor);
    if (rcAvailable.isEmpty())
        return;
    dialog.resize(FileDialogSize(rcAvailable.size(), dialog.minimumSizeHint()));
}

void MoveBeside(QWidget& dialog, const QWidget& imageWindow) {
    const QRect rcImage = VisibleGlobalRect(imageWindow);
    const QRect rcAvailable = AvailableArea(imageWindow);
    if (rcImage.isEmpty() || rcAvailable.isEmpty())
        return;
    if (dialog.layout() != nullptr)
        dialog.layout()->activate();
    dialog.adjustSize();
    // The dialog has no frame before it shows; the image's top-level window has the frame the
    // window manager will give it too.
    const QWidget* pTop = imageWindow.window();
    const QSize frame = pTop->frameGeometry().size() - pTop->geometry().size();
    dialog.move(PlaceBeside(rcAvailable, rcImage, dialog.size() + frame));
}

} // namespace dialogs
