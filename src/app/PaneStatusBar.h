// SPDX-License-Identifier: MIT
// CPaneStatusBar: the main window's status bar, painted by itself from one record per pane
// (texts for the enabled and disabled states, colours, font, content kind). A pane may show a
// progress bar instead of its text. The size grip is drawn only while the window is not
// maximised, and dragging it resizes the window.
#pragma once

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QString>

#include <vector>

class CUiServices;
class QMainWindow;

class CPaneStatusBar : public QStatusBar {
    Q_OBJECT

public:
    // Pane content kinds; progress with kSmooth draws a continuous bar.
    static constexpr unsigned kText = 0x100000;
    static constexpr unsigned kProgress = 0x800000;
    static constexpr unsigned kSmooth = 0x40000000;
    // Pane styles.
    static constexpr unsigned kNoBorders = 0x0100;
    static constexpr unsigned kPopOut = 0x0200;
    static constexpr unsigned kStretch = 0x0800;
    static constexpr int kGripSize = 17;

    struct PaneRecord {
        QString strText[2]; // enabled, disabled; empty: the pane's standard text
        QColor crText;
        QColor crShadow; // the text colour of a disabled pane
        QColor crBack[2];
        QFont font;
        unsigned nKind = kText;
        // Layout, as the indicators and SetPaneWidth give it.
        QString strStandard;
        unsigned nStyle = 0;
        int nWidth = 0;
        bool bDisabled = false;
    };

    explicit CPaneStatusBar(QWidget* pParent = nullptr);

    // Takes the place of pFrame's status bar with one pane per indicator: 0 is a separator (no
    // standard text), other ids name their standard text in the string table. Pane 0 gets
    // nStyle0. False (the user told "Unable to create Statusbar.") without indicators.
    bool CreateStatusBar(const CUiServices& ui, QMainWindow* pFrame,
                         const std::vector<unsigned>& indicators, unsigned nStyle0);
    int PaneCount() const { return static_cast<int>(m_panes.size()); }
    void SetPaneWidth(int nIndex, int nWidth);
    // The stretching pane never gets narrower than this; in a narrow window the fixed panes go
    // past the bar's right end instead.
    void SetMinStretchWidth(int nWidth);
    PaneRecord& GetPaneRecord(int nIndex) { return m_panes.at(std::size_t(nIndex)); }
    const PaneRecord& GetPaneRecord(int nIndex) const { return m_panes.at(std::size_t(nIndex)); }
    // Every pane's text and shadow colour; an invalid shadow selects the default (the menu
    // colour with each channel halved).
    void SetPaneColors(const QColor& crText, const QColor& crShadow = QColor());
    void SetPaneText(int nIndex, const QString& strText);
    QString PaneText(int nIndex) const;
    void SetPaneKind(int nIndex, unsigned nKind);
    // The progress bar of a pane in progress kind, or null.
    QProgressBar* ProgressControl() const { return m_pProgress; }

    QRect PaneRect(int nIndex) const;
    QRect GripRect() const;
    bool IsGripShown() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    bool event(QEvent* pEvent) override;

private:
    void PaintPane(QPainter& painter, int nIndex) const;
    void PaintGrip(QPainter& painter) const;
    void PlaceProgress();

    std::vector<PaneRecord> m_panes;
    QPointer<QProgressBar> m_pProgress;
    int m_nProgressPane = -1;
    int m_nMinStretch = 0;
};
