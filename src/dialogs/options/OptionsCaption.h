// SPDX-License-Identifier: MIT
// COptionsCaption: the bar above the options pages: a gradient from black at the left to the
// button face at the right, the page title at the left and an embossed banner at the right.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QWidget>

class COptionsCaption : public QWidget {
    Q_OBJECT

public:
    explicit COptionsCaption(QWidget* pParent = nullptr);

    // Setting the title repaints the bar.
    void SetTitle(const QString& strTitle);
    QString Title() const { return m_strTitle; }
    void SetBannerText(const QString& strBanner);
    QString BannerText() const { return m_strBanner; }
    // The title font: face (empty: the parent's font), pixel height and weight.
    void SetTitleFont(const QString& strFace, int nHeight, int nWeight);
    void SetTextColor(const QColor& color);
    QColor TextColor() const { return m_crText; }

    // The gradient's colour at distance nFromRight of a bar nWidth wide, fading from face at the
    // right edge to black at the left.
    static QColor GradientColor(const QColor& face, int nFromRight, int nWidth);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void MakeGradient();
    QFont MakeFont(int nHeight, int nWeight) const;

    QString m_strTitle;
    QString m_strBanner;
    QString m_strFace;
    int m_nTitleHeight = 12;
    int m_nTitleWeight = 400;
    QColor m_crText;
    // Drawn once per size of the bar.
    QPixmap m_gradient;
};
