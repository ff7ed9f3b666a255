// SPDX-License-Identifier: MIT
// CImagePrinter: prints and previews the image of a view on the application's printer by the
// print layout of the settings, one image per job.
#pragma once

#include "views/ImageViewHost.h"
#include "views/PrintLayout.h"

#include <QPrinter>

class CImageBitmap;
class QPainter;

namespace platform {
class CAppSettings;
}
class CUiServices;

class CImagePrinter final : public IImagePrinter {
public:
    enum class EOutcome { Printed, Cancelled, Failed };

    // settings must outlive the printer; it reads the layout from them and writes "SizePage".
    // Printer trouble is reported through ui.
    CImagePrinter(platform::CAppSettings& settings, const CUiServices& ui);
    ~CImagePrinter() override;

    // IImagePrinter
    void Print(CTavixCaptureView& view, bool bDirect) override;
    void PrintPreview(CTavixCaptureView& view) override;

    // The application's printer: the choices of the print dialog stay for the next job.
    QPrinter& Printer() noexcept { return m_printer; }

    // One job: the print dialog unless bDirect or "OptionsA" 0x100, then every page. Printer
    // trouble shows the printer-trouble message; a layout with nothing to print says why.
    EOutcome PrintImage(const CImageBitmap& image, bool bDirect, QWidget* pParent = nullptr);
    // The preview window over the same page drawing; returns when it is closed.
    void PreviewImage(const CImageBitmap& image, QWidget* pParent = nullptr);

    // Begin printing: stores the printer's paper size as "SizePage" and returns the layout.
    CPrintLayout BeginPrinting(const QPrinter& printer, const CImageBitmap& image);
    // Draws every page of the layout on a painter opened on printer. False when the printer
    // refused a new page.
    static bool PaintPages(QPainter& painter, QPrinter& printer, const CImageBitmap& image,
                           const CPrintLayout& layout);

    // Draws what page nPage of the layout shows of the image. The painter maps tenths of a
    // millimetre of the page (origin at the paper's corner, y down) to its device: the printer's
    // dots, or the pixels of the layout dialog's preview, so that both show the same.
    static void PaintPage(QPainter& painter, const CImageBitmap& image, const CPrintLayout& layout,
                          int nPage);

private:
    // The whole job on printer (the real one, or the preview's, which needs no print device).
    // False after a failure that was reported.
    bool RunJob(QPrinter& printer, const CImageBitmap& image, bool bPreview);

    platform::CAppSettings& m_settings;
    const CUiServices& m_ui;
    QPrinter m_printer;
};
