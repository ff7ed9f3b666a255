// SPDX-License-Identifier: MIT
// The "Color Select" page.
#include "dialogs/options/ColorSelectPage.h"

#include "dialogs/options/ColorSwatch.h"
#include "dialogs/options/OptionsOwner.h"
#include "image/Pixel.h"
#include "platform/AppSettings.h"

#include <QColorDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct ColorGroup {
    const char* pszGroup;
    const char* pszButton;
};

constexpr ColorGroup kGroups[CColorSelectPage::kColorCount] = {
    {"Background fill color of image &view window", "&Choose custom color"},
    {"Background fill color of &image ", "C&hoose custom color"},
    {"&Background fill color of capture (transparent color)", "Ch&oose custom color"},
};

QColor FromColorRef(std::uint32_t crColor) {
    const RGBQuad q = img::QuadFromColorRef(crColor);
    return QColor(q.red, q.green, q.blue);
}

std::uint32_t ToColorRef(const QColor& color) {
    return std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8) |
           (std::uint32_t(color.blue()) << 16);
}

} // namespace

CColorSelectPage::CColorSelectPage(const CUiServices& ui, platform::CAppSettings& settings,
                                   IOptionsOwner& owner)
    : COptionsSubDlg(ui, kTemplateID), m_settings(settings), m_owner(owner) {}

std::uint32_t& CColorSelectPage::Setting(int nIndex) const {
    switch (nIndex) {
    case 0:
        return m_settings.m_crViewBackground;
    case 1:
        return m_settings.m_crImageBackground;
    default:
        return m_settings.m_crTransparency;
    }
}

void CColorSelectPage::BuildControls() {
    auto* pLayout = new QVBoxLayout(this);
    for (int i = 0; i < kColorCount; ++i) {
        auto* pGroup = new QGroupBox(QString::fromLatin1(kGroups[i].pszGroup), this);
        auto* pSwatch = new CColorSwatch(pGroup);
        pSwatch->setMinimumSize(80, 28);
        auto* pButton = new QPushButton(QString::fromLatin1(kGroups[i].pszButton), pGroup);
        auto* pRow = new QHBoxLayout(pGroup);
        pRow->addWidget(pSwatch, 1);
        pRow->addSpacing(12);
        pRow->addWidget(pButton);
        pLayout->addWidget(pGroup);
        m_swatches[std::size_t(i)] = pSwatch;
        connect(pButton, &QPushButton::clicked, this, [this, i] { ChooseColor(i); });
        connect(pSwatch, &CColorSwatch::clicked, this, [this, i] { ChooseColor(i); });
    }
    auto* pReset = new QPushButton(QStringLiteral("&Reset Default Color"), this);
    auto* pBottom = new QHBoxLayout;
    pBottom->addStretch(1);
    pBottom->addWidget(pReset);
    pLayout->addLayout(pBottom);
    pLayout->addStretch(1);
    connect(pReset, &QPushButton::clicked, this, &CColorSelectPage::OnResetDefaultColors);
}

void CColorSelectPage::OnInitDialog() {
    ShowColors();
    COptionsSubDlg::OnInitDialog();
}

void CColorSelectPage::ShowColors() {
    for (int i = 0; i < kColorCount; ++i)
        m_swatches[std::size_t(i)]->SetColor(FromColorRef(Setting(i)));
}

void CColorSelectPage::ChooseColor(int nIndex) {
    CColorSwatch* pSwatch = m_swatches[std::size_t(nIndex)];
    QColorDialog dialog(pSwatch->Color(), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted)
        pSwatch->SetColor(dialog.currentColor());
}

void CColorSelectPage::OnResetDefaultColors() {
    // Acts at once on the colours in use (Cancel keeps them), and on this dialog's copy.
    m_owner.ResetDefaultColors();
    const platform::CAppSettings defaults{std::string()};
    m_settings.m_crViewBackground = defaults.m_crViewBackground;
    m_settings.m_crImageBackground = defaults.m_crImageBackground;
    m_settings.m_crTransparency = defaults.m_crTransparency;
    ShowColors();
}

void CColorSelectPage::OnOK() {
    for (int i = 0; i < kColorCount; ++i)
        Setting(i) = ToColorRef(m_swatches[std::size_t(i)]->Color());
}
