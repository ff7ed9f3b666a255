// SPDX-License-Identifier: MIT
// The file-type lists of the open and save dialogs.
#include "dialogs/ImageFileFilters.h"

#include "framework/CommandIds.h"
#include "framework/StringTable.h"

#include <QRegularExpression>

namespace dialogs {

namespace {

struct OpenType {
    const char* pszName;
    const char* pszPatterns; // separated by ';'
};

constexpr OpenType kOpenTypes[] = {
    {"BMP File", "*.bmp;*.dib;*.rle"},
    {"JPEG File", "*.jpg;*.jpeg;*.jpe;*.jif;*.jfif"},
    {"PNG File", "*.png"},
    {"PICT File", "*.pct"},
    {"TIFF File", "*.tif;*.tiff;*.eps"},
    {"TARGA File", "*.tga"},
    {"Windows Metafile", "*.wmf"},
    {"Windows Enhanced Metafile", "*.emf"},
    {"PCX File", "*.pcx"},
    {"Portable Greymap File", "*.pgm"},
    {"GIF File", "*.gif"},
};

QString QtPatterns(const QString& strPatterns) {
    return strPatterns.split(u';').join(u' ');
}

} // namespace

QStringList OpenImageFilters() {
    QStringList filters;
    QStringList all;
    for (const OpenType& type : kOpenTypes) {
        const QString strPatterns = QtPatterns(QString::fromLatin1(type.pszPatterns));
        filters << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(type.pszName), strPatterns);
        all << strPatterns;
    }
    filters << QStringLiteral("All supported graphic formats (%1)").arg(all.join(u' '));
    // The dialog shows names only; "*.*" would leave out the files without an extension, which
    // are common here, so the pattern behind "All Files (*.*)" is "*".
    filters << QStringLiteral("%1 (*)").arg(LoadString(IDS_ALL_FILTER));
    return filters;
}

int OpenImageFilterDefault() {
    return int(std::size(kOpenTypes));
}

QStringList SaveImageFilters() {
    return {QStringLiteral("JPEG file (*.jpg)"), QStringLiteral("BMP file (*.bmp)"),
            QStringLiteral("PNG file (*.png)"), QStringLiteral("TIFF file (*.tif)"),
            QStringLiteral("GIF file (*.gif)")};
}

QString FilterExtension(const QString& strFilter) {
    static const QRegularExpression s_firstPattern(QStringLiteral("\\(\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = s_firstPattern.match(strFilter);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace dialogs
