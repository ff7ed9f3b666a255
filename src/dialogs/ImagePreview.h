// SPDX-License-Identifier: MIT
// CImagePreview: draws an image, centred and never enlarged, for the operation dialogs (the
// parameters applied to the document's image) and the open dialog (the selected file). It keeps
// a copy reduced to what a preview can show, so a filter runs on that copy and follows a dragged
// slider even for a desktop-sized image.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class CImageBitmap;
class CImageFilter;
class CPictureDecoder;
class CUiServices;

// What the open dialog tells about a previewed file: the decoded bitmap's depth and size.
struct PreviewFileInfo {
    int nDepth = 0;
    int nWidth = 0;
    int nHeight = 0;
};

class CImagePreview : public QWidget {
    Q_OBJECT

public:
    // The longest side of the kept copy, in pixels: about what the dialogs' preview area shows
    // at twice the device scale, and small enough for the slowest filter (intensity) to follow
    // a dragged slider.
    static constexpr int kMaxCopySide = 800;

    explicit CImagePreview(QWidget* pParent = nullptr);
    ~CImagePreview() override;

    // Takes a copy of image (32 bpp, reduced when larger than kMaxCopySide) and shows it.
    void SetImage(const CImageBitmap& image);
    // Shows filter applied to a fresh copy of the image given last, so that changes never add
    // up. Nothing happens without an image.
    void ShowFiltered(CImageFilter& filter);
    // Decodes the file with the application's loader and shows it. A folder, a file that
    // cannot be read or decoded empties the preview and gives nothing.
    std::optional<PreviewFileInfo> LoadFile(const QString& strPath, CPictureDecoder& decoder,
                                            const CUiServices& ui);
    // No image: the area is drawn in the shadow colour.
    void Clear();

    bool HasImage() const noexcept { return m_pCopy != nullptr; }
    // What is drawn now (reduced), or null.
    const CImageBitmap* ShownImage() const noexcept { return m_pShown.get(); }
    // Where the image is drawn in the widget, in logical pixels; empty without an image.
    QRect ImageRect() const;

    QSize sizeHint() const override { return {240, 180}; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void Show(std::unique_ptr<CImageBitmap> pShown);

    std::unique_ptr<CImageBitmap> m_pCopy;
    std::unique_ptr<CImageBitmap> m_pShown;
    QImage m_shownImage; // wraps m_pShown's pixels
    // Full-size pixels per pixel of the copy (1 when it was not reduced).
    double m_dReduction = 1.0;
};
