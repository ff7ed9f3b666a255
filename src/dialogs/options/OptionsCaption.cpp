// SPDX-License-Identifier: MIT
// The caption bar of the options dialog.
#include "dialogs/options/OptionsCaption.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kTextInset = 5; // px from either end
constexpr int kBannerHeight = 18;
constexpr int kBannerWeight = 700;

// Windows-style weights (100-900) to Qt's.
QFont::Weight QtWeight(int nWeight) {
    return static_cast<QFont::Weight>(std::clamp(nWeight, 100, 900));
}

} // namespace

COptionsCaption::COptionsCaption(QWidget* pParent)
    : QWidget(pParent), m_crText(palette().color(QPalette::Button)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A dialog short of room would otherwise take the whole bar away first.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void COptionsCaption::SetTitle(const QString& strTitle) {
    m_strTitle = strTitle;
    update();
}

void COptionsCaption::SetBannerText(const QString& strBanner) {
    m_strBanner = strBanner;
    update();
}

void COptionsCaption::SetTitleFont(const QString& strFace, int nHeight, int nWeight) {
    m_strFace = strFace;
    m_nTitleHeight = nHeight;
    m_nTitleWeight = nWeight;
    update();
}

void COptionsCaption::SetTextColor(const QColor& color) {
    m_crText = color;
    update();
}

QColor COptionsCaption::GradientColor(const QColor& face, int nFromRight, int nWidth) {
    if (nWidth <= 0)
        return face;
    const long long d2 = static_cast<long long>(nFromRight) * nFromRight;
    const long long w2 = static_cast<long long>(nWidth) * nWidth;
    const auto fade = [&](int c) { return static_cast<int>(c - c * d2 / w2); };
    return QColor(fade(face.red()), fade(face.green()), fade(face.blue()));
}

QSize COptionsCaption::sizeHint() const {
    return QSize(300, kBannerHeight + 6);
}

void COptionsCaption::MakeGradient() {
    // In device pixels, so that the bands stay as fine on a scaled screen.
    const qreal dRatio = devicePixelRatioF();
    const int nWidth = std::max(1, static_cast<int>(width() * dRatio));
    const int nHeight = std::max(1, static_cast<int>(height() * dRatio));
    m_gradient = QPixmap(nWidth, nHeight);
    const QColor face = palette().color(QPalette::Button);
    const int nBand = std::max(1, nWidth / 128);
    QPainter painter(&m_gradient);
    int x = nWidth;
    while (x > nBand) {
        x -= nBand;
        painter.fillRect(x, 0, nBand, nHeight, GradientColor(face, nWidth - x, nWidth));
    }
    painter.fillRect(0, 0, x, nHeight, Qt::black);
    painter.end();
    m_gradient.setDevicePixelRatio(dRatio);
}

QFont COptionsCaption::MakeFont(int nHeight, int nWeight) const {
    QFont result =
        m_strFace.isEmpty() && parentWidget() != nullptr ? parentWidget()->font() : this->font();
    if (!m_strFace.isEmpty())
        result.setFamily(m_strFace);
    result.setPixelSize(nHeight);
    result.setWeight(QtWeight(nWeight));
    return result;
}

void COptionsCaption::paintEvent(QPaintEvent*) {
    // Kept while the size stays; a bar that grew (a wider page widened the dialog) would show
    // black past the old end.
    if (m_gradient.isNull() || m_gradient.deviceIndependentSize().toSize() != size())
        MakeGradient();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_gradient);
    const QRect rcText = rect().adjusted(kTextInset, 0, -kTextInset, 0);
    if (!m_strBanner.isEmpty()) {
        // Embossed: the light copy one pixel down and right, the shadow on top.
        painter.setFont(MakeFont(kBannerHeight, kBannerWeight));
        const int nFlags = Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine;
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(rcText.translated(1, 1), nFlags, m_strBanner);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawText(rcText, nFlags, m_strBanner);
    }
    if (!m_strTitle.isEmpty()) {
        painter.setFont(MakeFont(m_nTitleHeight, m_nTitleWeight));
        painter.setPen(m_crText);
        painter.drawText(rcText, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_strTitle);
    }
}
