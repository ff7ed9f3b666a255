// SPDX-License-Identifier: MIT
// The program's icons: one SVG per command in resources/icons (named after the command id, for
// example ID_FILE_OPEN.svg), rendered at 16 px and at 2x, with a hot look for hovered toolbar
// buttons and a disabled look derived from the normal one.
#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

class CCommandIcons {
public:
    static const CCommandIcons& Get();

    bool Has(unsigned nID) const;
    // Normal, hot (QIcon::Active) and disabled images; a null icon for an id without one.
    QIcon Icon(unsigned nID) const;
    // The same from any of the program's SVG files (":/quorvi/icons/NAME.svg").
    static QIcon FromSvg(const QString& strResourcePath, int nLogicalSize = 16);

    // Looks derived from a normal image.
    static QImage HotImage(const QImage& normal);
    static QImage DisabledImage(const QImage& normal);

private:
    CCommandIcons() = default;
    mutable QHash<unsigned, QIcon> m_cache;
};
