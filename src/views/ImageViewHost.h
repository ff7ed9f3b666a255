// SPDX-License-Identifier: MIT
// What the image views need from the main window: the status-bar panes they write, the
// background colour setting, and the printing service.
#pragma once

#include <QColor>
#include <QString>

class CTavixCaptureView;
class QWidget;

// Prints the image of a view (the print and print-preview commands of the view).
class IImagePrinter {
public:
    virtual ~IImagePrinter() = default;
    // With bDirect the print dialog is skipped (File Print Direct and the 0x100 option).
    virtual void Print(CTavixCaptureView& view, bool bDirect) = 0;
    virtual void PrintPreview(CTavixCaptureView& view) = 0;
};

class IImageViewHost {
public:
    // Status-bar panes: 0 messages, 1 mouse position, 2 colour depth, 3 image size.
    enum EPane { PaneMessage = 0, PaneMousePosition = 1, PaneColor = 2, PaneImageSize = 3 };

    virtual ~IImageViewHost() = default;
    virtual void SetPaneText(int nPane, const QString& strText) = 0;
    // "ColorViewBackground": the view's colour around the image.
    virtual QColor ViewBackgroundColor() const = 0;
    // The printing service, or null while the program has none (print commands disabled).
    virtual IImagePrinter* ImagePrinter() { return nullptr; }
    // The first update of a view whose document holds a fresh capture: the capture's outputs
    // (clipboard, automatic save, print) run now.
    virtual void OnCaptureShown(CTavixCaptureView& view) { (void)view; }

    // The host of the window pWidget sits in, or null.
    static IImageViewHost* Of(const QWidget* pWidget);
};
