// SPDX-License-Identifier: MIT
// The dialogs' sizes.
#include "dialogs/DialogGeometry.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

namespace dialogs {

namespace {

// The share of the screen's available area a file dialog starts with, in each direction.
constexpr double kFileDialogScreenShare = 0.6;
// Below this a file list shows too few names to choose from (logical pixels).
constexpr QSize kFileDialogMinimum{720, 480};

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

// A file dialog's starting size on a screen with the available area, for controls that need
// controlsMinimum.
QSize FileDialogSize(const QSize& available, const QSize& controlsMinimum) {
    const QSize share(int(available.width() * kFileDialogScreenShare),
                      int(available.height() * kFileDialogScreenShare));
    const QSize lower = kFileDialogMinimum.expandedTo(controlsMinimum);
    // A screen smaller than the minimum still gets the whole dialog on it where it can.
    return share.expandedTo(lower).boundedTo(available.expandedTo(controlsMinimum));
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

} // namespace dialogs
