// SPDX-License-Identifier: MIT
// Printing and print preview of an image through Qt's printer.
#include "views/ImagePrinter.h"

#include "framework/CommandIds.h"
#include "framework/GuardCommand.h"
#include "framework/UiServices.h"
#include "image/DisplayBitmap.h"
#include "image/LengthUnits.h"
#include "platform/AppSettings.h"
#include "views/BitmapPainter.h"
#include "views/TavixCaptureView.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

#include <cmath>

namespace {

void ReportPrinterTrouble(const CUiServices& ui) {
    ui.AppMessageBox(IDS_PRINTER_TROUBLE, EMsgButtons::Ok, EMsgIcon::Stop);
}

// Says why a layout gives no page instead of sending an empty job.
void ReportEmptyLayout(const CUiServices& ui, const CPrintLayout& layout) {
    if (layout.NeededPages() > CPrintLayout::kMaxPages) {
        ui.AppMessageBox(
            QStringLiteral(
                "The print layout needs %1 pages; at most %2 pages are printed in one job. "
                "Please make the print size smaller.")
                .arg(layout.NeededPages())
                .arg(CPrintLayout::kMaxPages),
            EMsgButtons::Ok, EMsgIcon::Exclamation);
    } else {
        ui.AppMessageBox(
            QStringLiteral(
                "There is nothing to print: the width or height of the print size is zero. "
                "Please set the print size in the print layout."),
            EMsgButtons::Ok, EMsgIcon::Exclamation);
    }
}

} // namespace

void CImagePrinter::PaintPage(QPainter& painter, const CImageBitmap& image,
                              const CPrintLayout& layout, int nPage) {
    const PrintPagePlacement place = layout.Page(nPage);
    const QRect rcSource = place.SourcePixels(image.Width(), image.Height());
    if (rcSource.isEmpty())
        return;
    painter.save();
    painter.setClipRect(place.rcClip, Qt::IntersectClip);
    painter.translate(place.rcImage.topLeft());
    painter.scale(double(place.rcImage.width()) / image.Width(),
                  double(place.rcImage.height()) / image.Height());
    // Pixels printed larger than a device dot stay sharp; smaller ones are averaged, as a
    // halftoning stretch would.
    const QTransform& t = painter.worldTransform();
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          std::abs(t.m11()) < 1.0 || std::abs(t.m22()) < 1.0);
    // Screen captures are text and flat colour: JPEG would smear them.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    CBitmapPainter::Draw(painter, image, rcSource);
    painter.restore();
}

CImagePrinter::CImagePrinter(platform::CAppSettings& settings, const CUiServices& ui)
    : m_settings(settings), m_ui(ui), m_printer(QPrinter::HighResolution) {
    // The layout measures margins from the paper's edges, so page coordinates start at the
    // paper's corner, not at the printable area's.
    m_printer.setFullPage(true);
}

CImagePrinter::~CImagePrinter() = default;

void CImagePrinter::Print(CTavixCaptureView& view, bool bDirect) {
    if (const CDisplayBitmap* pImage = view.Image(); pImage != nullptr)
        PrintImage(*pImage, bDirect, &view);
}

void CImagePrinter::PrintPreview(CTavixCaptureView& view) {
    if (const CDisplayBitmap* pImage = view.Image(); pImage != nullptr)
        PreviewImage(*pImage, &view);
}

CImagePrinter::EOutcome CImagePrinter::PrintImage(const CImageBitmap& image, bool bDirect,
                                                  QWidget* pParent) {
    const bool bDialog =
        !bDirect && (m_settings.m_dwOptionsA & platform::options::kPrintWithoutDialog) == 0;
    if (bDialog) {
        QPrintDialog dialog(&m_printer, pParent);
        // One image per job: no selection, no page ranges.
        dialog.setOptions(dialog.options() & ~(QAbstractPrintDialog::PrintSelection |
                                               QAbstractPrintDialog::PrintPageRange |
                                               QAbstractPrintDialog::PrintCurrentPage));
        if (dialog.exec() != QDialog::Accepted)
            return EOutcome::Cancelled;
        // Every page: the dialog has no range, but a range from an earlier job must not stay.
        m_printer.setPrintRange(QPrinter::AllPages);
        m_printer.setFromTo(0, 0);
    }
    return RunJob(m_printer, image, false) ? EOutcome::Printed : EOutcome::Failed;
}

void CImagePrinter::PreviewImage(const CImageBitmap& image, QWidget* pParent) {
    QPrintPreviewDialog dialog(&m_printer, pParent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this, &image](QPrinter* pPrinter) {
                         GuardCommand(m_ui, [&] { RunJob(*pPrinter, image, true); });
                     });
    dialog.exec();
}

CPrintLayout CImagePrinter::BeginPrinting(const QPrinter& printer, const CImageBitmap& image) {
    const QRectF rcPaper = printer.pageLayout().fullRect(QPageLayout::Millimeter);
    m_settings.m_sizePage.cx = static_cast<std::int32_t>(std::lround(rcPaper.width() * 10));
    m_settings.m_sizePage.cy = static_cast<std::int32_t>(std::lround(rcPaper.height() * 10));
    return CPrintLayout(PrintLayoutSettings::FromSettings(m_settings), image.Width(),
                        image.Height());
}

bool CImagePrinter::RunJob(QPrinter& printer, const CImageBitmap& image, bool bPreview) {
    // Without any printer Qt falls back to PDF output; with no file named either, the pages
    // would go nowhere.
    const bool bNowhere =
        printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty();
    if ((!bPreview && (bNowhere || !printer.isValid())) || printer.resolution() <= 0) {
        ReportPrinterTrouble(m_ui);
        return false;
    }
    const CPrintLayout layout = BeginPrinting(printer, image);
    if (m_settings.m_sizePage.cx <= 0 || m_settings.m_sizePage.cy <= 0) {
        ReportPrinterTrouble(m_ui);
        return false;
    }
    if (layout.PageCount() == 0) {
        ReportEmptyLayout(m_ui, layout);
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        ReportPrinterTrouble(m_ui);
        return false;
    }
    const bool bPainted = PaintPages(painter, printer, image, layout);
    if (!bPainted)
        printer.abort();
    const bool bEnded = painter.end();
    if (!bPainted || !bEnded || printer.printerState() == QPrinter::Error) {
        ReportPrinterTrouble(m_ui);
        return false;
    }
    return true;
}

bool CImagePrinter::PaintPages(QPainter& painter, QPrinter& printer, const CImageBitmap& image,
                               const CPrintLayout& layout) {
    const double dDotsPerTenth = printer.resolution() / img::kLayoutUnitsPerInch;
    for (int nPage = 1; nPage <= layout.PageCount(); ++nPage) {
        if (nPage > 1 && !printer.newPage())
            return false;
        painter.resetTransform();
        painter.scale(dDotsPerTenth, dDotsPerTenth);
        PaintPage(painter, image, layout, nPage);
    }
    return true;
}
