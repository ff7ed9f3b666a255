// SPDX-License-Identifier: MIT
// CFilePreviewDlg: the open dialog with a preview of the selected image, decoded by the
// program's own loader, and its colour depth and size.
#pragma once

#include <QFileDialog>

class CImagePreview;
class CPictureDecoder;
class CUiServices;
class QCheckBox;
class QLabel;

class CFilePreviewDlg : public QFileDialog {
    Q_OBJECT

public:
    CFilePreviewDlg(const CUiServices& ui, CPictureDecoder& decoder, const QString& strTitle,
                    QWidget* pParent = nullptr);

    CImagePreview* Preview() const noexcept { return m_pPreview; }
    QCheckBox* PreviewCheck() const noexcept { return m_pPreviewCheck; }
    QLabel* DepthLabel() const noexcept { return m_pDepth; }
    QLabel* SizeLabel() const noexcept { return m_pSize; }

private:
    void OnCurrentChanged(const QString& strPath);
    void OnPreviewToggled(bool bOn);
    // Blank labels: no file, no image, or the preview is off.
    void ShowBlankInfo();

    const CUiServices& m_ui;
    CPictureDecoder& m_decoder;
    QString m_strCurrent;
    QCheckBox* m_pPreviewCheck;
    QLabel* m_pDepth;
    QLabel* m_pSize;
    CImagePreview* m_pPreview;
};
