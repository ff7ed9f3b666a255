// SPDX-License-Identifier: MIT
// What an image document needs from the application object and the main frame: settings, the
// file loader, the tab-bar notification, the clipboard and the operation dialogs. The desktop
// program implements it with widgets; tests implement it without a display.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class CImageBitmap;
class CPictureDecoder;
class CTavixCaptureDoc;

namespace platform {
class CAppSettings;
}

// Values the preview dialogs hand back on OK, in the dialogs' own units.
struct RotateDialogResult {
    int nAngleDegrees = 0;          // -360..360
    std::uint32_t crBackground = 0; // COLORREF 0x00BBGGRR
};

struct ContrastDialogResult {
    double dContrast = 10; // slider position 1..100; the document uses x 0.1
    std::uint8_t byOffset = 125;
};

struct IntensityDialogResult {
    double dIntensity = 20; // 0..255
    std::uint8_t byOffset = 128;
    double dExponent = 1.0; // already x 0.1 of the dialog's 1..100
};

// The live-apply size dialogs.
enum class ESizeDialog { Resize, Scale, Stretch };

// The image operation dialogs, run modally for one document. Every preview dialog returns its
// values on OK and nothing when cancelled or confirmed without a change.
class IImageDialogs {
public:
    virtual ~IImageDialogs() = default;

    virtual std::optional<int> RunBrightness(CTavixCaptureDoc& doc) = 0; // -100..100
    virtual std::optional<ContrastDialogResult> RunContrast(CTavixCaptureDoc& doc) = 0;
    virtual std::optional<IntensityDialogResult> RunIntensity(CTavixCaptureDoc& doc) = 0;
    virtual std::optional<RotateDialogResult> RunRotate(CTavixCaptureDoc& doc) = 0;
    // Runs a size dialog; it applies, reverts and commits through the document's pending slot
    // (CTavixCaptureDoc::ApplySizeChange, RevertPending, CommitPending) while the document
    // holds its original snapshot.
    virtual void RunSizeDialog(ESizeDialog kind, CTavixCaptureDoc& doc) = 0;
};

class IDocumentHost {
public:
    virtual ~IDocumentHost() = default;

    // The settings record: the stored and working JPEG option sets, "ColorImageBackground".
    virtual platform::CAppSettings& Settings() = 0;
    // The application's file loader.
    virtual CPictureDecoder& PictureDecoder() = 0;
    // Tells the main window, later and from its event loop, that documents were opened or
    // closed (it shows or hides the file tab bar). Must not run the notification at once: the
    // document is in the middle of opening or closing.
    virtual void PostDocumentChange() = 0;
    // Replaces the clipboard's content by the image. False when the clipboard refused.
    virtual bool CopyImageToClipboard(const CImageBitmap& image) = 0;
    virtual IImageDialogs& Dialogs() = 0;
};
