// SPDX-License-Identifier: MIT
// CCustomSaveDlg: the save dialog with the five writers' file types and the JPEG options. The
// options edit the working JPEG set at once (a cancelled dialog keeps them for the next save);
// the stored set is not touched. A name typed without an extension gets the chosen type's.
#pragma once

#include <QFileDialog>

class QCheckBox;
class QGroupBox;
class QSpinBox;

namespace platform {
struct JpegOptions;
}

class CCustomSaveDlg : public QFileDialog {
    Q_OBJECT

public:
    CCustomSaveDlg(platform::JpegOptions& working, const QString& strTitle,
                   QWidget* pParent = nullptr);

    QGroupBox* JpegGroup() const noexcept { return m_pGroup; }
    QCheckBox* OptimizeCheck() const noexcept { return m_pOptimize; }
    QSpinBox* QualitySpin() const noexcept { return m_pQuality; }
    QSpinBox* SmoothingSpin() const noexcept { return m_pSmoothing; }
    QSpinBox* XDpiSpin() const noexcept { return m_pXDpi; }
    QSpinBox* YDpiSpin() const noexcept { return m_pYDpi; }

private:
    void BuildJpegGroup();
    void OnFilterSelected(const QString& strFilter);
    void StoreOptions();

    platform::JpegOptions& m_working;
    QStringList m_patterns; // upper-cased, one per file type
    bool m_bInitialised = false;
    QGroupBox* m_pGroup = nullptr;
    QCheckBox* m_pOptimize = nullptr;
    QSpinBox* m_pQuality = nullptr;
    QSpinBox* m_pSmoothing = nullptr;
    QSpinBox* m_pXDpi = nullptr;
    QSpinBox* m_pYDpi = nullptr;
};
