// SPDX-License-Identifier: MIT
// What the image views need from the main window: the status-bar panes they write, the
// colour settings, the clipboard's image, the view's context menu, the marquee's blink and the
// printing service. Whoever makes a view hands it its host,
// so that a view keeps it wherever its window goes (a full-screen window included).
#pragma once

#include <QColor>
#include <QPoint>
#include <QString>

#include <memory>

class CImageBitmap;
class CUiServices;
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
    // Message boxes for what goes wrong in the view's own mouse handling.
    virtual CUiServices& Ui() const = 0;
    // "ColorViewBackground": the view's colour around the image.
    virtual QColor ViewBackgroundColor() const = 0;
    // "ColorImageBackground": what pixels moved away leave behind.
    virtual QColor ImageBackgroundColor() const = 0;
    // The marquee's look now: one value for every view, flipped by the main window's timer.
    virtual bool MarqueeInverted() const = 0;
    // True while the clipboard offers something that pastes as an image.
    virtual bool ClipboardHasImage() const = 0;
    // The clipboard's image as a new 32-bpp bitmap, or null when it offers none. Throws
    // CTextException when a file named there cannot be read, or memory runs out.
    virtual std::unique_ptr<CImageBitmap> ImageFromClipboard() = 0;
    // Shows the view's context menu at ptGlobal; its commands go through the main window.
    virtual void TrackViewMenu(QPoint ptGlobal) = 0;
    // The printing service, or null while the program has none (print commands disabled).
    virtual IImagePrinter* ImagePrinter() { return nullptr; }
};
