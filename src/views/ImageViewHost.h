// SPDX-License-Identifier: MIT
// What the image views need from the main window: the status-bar panes they write, the
// background colour setting, and the printing service. Whoever makes a view hands it its host,
// so that a view keeps it wherever its window goes (a full-screen window included).
#pragma once

#include <QColor>
#include <QString>

class CTavixCaptureView;

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
};
