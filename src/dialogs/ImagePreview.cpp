// SPDX-License-Identifier: MIT
// The image preview of the operation and open dialogs.
#include "dialogs/ImagePreview.h"

#include "codecs/PictureDecoder.h"
#include "framework/UiServices.h"
#include "image/ImageFilter.h"
#include "image/MemoryBitmap.h"
#include "image/ResampleFilter.h"
#include "image/TextException.h"
#include "views/BitmapPainter.h"

#include <QFileInfo>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// A box filter of half a source pixel's reach averages every source pixel a reduced pixel
// covers; the copy looks like the image, not like a sample of it.
constexpr double kReductionRadius = 0.5;

std::unique_ptr<CImageBitmap> ReducedCopy(const CImageBitmap& image, double& dReduction) {
    auto pCopy = std::make_unique<CMemoryBitmap>();
    const int nLongest = std::max(image.Width(), image.Height());
    if (nLongest <= CImagePreview::kMaxCopySide) {
        pCopy->CreateCopy(image, 32);
        dReduction = 1.0;
        return pCopy;
    }
    dReduction = double(nLongest) / CImagePreview::kMaxCopySide;
    const int nWidth = std::max(1, int(std::lround(image.Width() / dReduction)));
    const int nHeight = std::max(1, int(std::lround(image.Height() / dReduction)));
    CResampleFilter reduce(nWidth, nHeight, kReductionRadius, img::ResampleKernel::Box);
    reduce.Apply(image, *pCopy);
    return pCopy;
}

} // namespace

CImagePreview::CImagePreview(QWidget* pParent) : QWidget(pParent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

CImagePreview::~CImagePreview() = default;

void CImagePreview::SetImage(const CImageBitmap& image) {
    m_pCopy = ReducedCopy(image, m_dReduction);
    auto pShown = std::make_unique<CMemoryBitmap>();
    pShown->CreateCopy(*m_pCopy);
    Show(std::move(pShown));
}

void CImagePreview::ShowFiltered(CImageFilter& filter) {
    if (!m_pCopy)
        return;
    auto pShown = std::make_unique<CMemoryBitmap>();
    filter.Apply(*m_pCopy, *pShown);
    Show(std::move(pShown));
}

void CImagePreview::Show(std::unique_ptr<CImageBitmap> pShown) {
    m_pShown = std::move(pShown);
    m_shownImage = CBitmapPainter::WrapRows(*m_pShown);
    update();
}

std::optional<PreviewFileInfo>
CImagePreview::LoadFile(const QString& strPath, CPictureDecoder& decoder, const CUiServices& ui) {
    Clear();
    const QFileInfo info(strPath);
    if (strPath.isEmpty() || !info.exists() || info.isDir())
        return std::nullopt;
    try {
        CWaitCursor wait(ui);
        CMemoryBitmap decoded;
        decoder.LoadFromFile(strPath.toStdString(), decoded, 0, &ui.Progress());
        SetImage(decoded);
        return PreviewFileInfo{decoded.Depth(), decoded.Width(), decoded.Height()};
    } catch (const CTextException&) {
    } catch (const std::bad_alloc&) {
    }
    // A file that does not decode is shown as no image; the dialog goes on.
    ui.Progress().SetProgress(1.0);
    Clear();
    return std::nullopt;
}

void CImagePreview::Clear() {
    m_pCopy.reset();
    m_pShown.reset();
    m_shownImage = QImage();
    m_dReduction = 1.0;
    update();
}

QRect CImagePreview::ImageRect() const {
    if (!m_pShown)
        return {};
    const QRect rcArea = rect().adjusted(1, 1, -1, -1);
    // The image's own size, never enlarged; larger ones shrink to fit, keeping their shape.
    const double dWidth = m_pShown->Width() * m_dReduction;
    const double dHeight = m_pShown->Height() * m_dReduction;
    const double dShrink = std::max(
        {1.0, dWidth / std::max(1, rcArea.width()), dHeight / std::max(1, rcArea.height())});
    const QSize size(std::max(1, int(dWidth / dShrink)), std::max(1, int(dHeight / dShrink)));
    return {rcArea.center() - QPoint(size.width() / 2, size.height() / 2), size};
}

void CImagePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect rcArea = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(rcArea, palette().color(HasImage() ? QPalette::Button : QPalette::Dark));
    if (m_shownImage.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(ImageRect(), m_shownImage);
}
