// SPDX-License-Identifier: MIT
// The string table and the %1/%2 formatting of its entries.
#include "framework/StringTable.h"

#include "framework/CommandIds.h"
#include "framework/GuardCommand.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

const CStringTable& CStringTable::Get() {
    static const CStringTable s_table = [] {
        QFile file(QStringLiteral(":/quorvi/strings.json"));
        QStringList errors;
        if (!file.open(QIODevice::ReadOnly))
            errors << QStringLiteral("strings.json is missing from the program's resources");
        CStringTable table = FromJson(file.readAll(), &errors);
        for (const QString& error : errors)
            qCCritical(lcFramework, "string table: %s", qUtf8Printable(error));
        return table;
    }();
    return s_table;
}

CStringTable CStringTable::FromJson(const QByteArray& json, QStringList* pErrors) {
    CStringTable table;
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (!doc.isObject()) {
        if (pErrors != nullptr)
            *pErrors << QStringLiteral("not a JSON object: %1").arg(parseError.errorString());
        return table;
    }
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QByteArray key = it.key().toUtf8();
        const auto id = ResourceIdFromName(std::string_view(key.constData(), key.size()));
        if (!id || !it.value().isString()) {
            if (pErrors != nullptr)
                *pErrors << QStringLiteral("bad entry \"%1\"").arg(it.key());
            continue;
        }
        table.m_strings.insert(*id, it.value().toString());
    }
    return table;
}

QString CStringTable::Prompt(unsigned nID) const {
    const QString strText = Text(nID);
    const qsizetype nNewline = strText.indexOf(u'\n');
    return nNewline < 0 ? strText : strText.left(nNewline);
}

QString CStringTable::ToolTip(unsigned nID) const {
    const QString strText = Text(nID);
    const qsizetype nNewline = strText.indexOf(u'\n');
    return nNewline < 0 ? QString() : strText.mid(nNewline + 1);
}

QString FormatString(const QString& strFormat, std::initializer_list<QString> args) {
    QString strResult;
    strResult.reserve(strFormat.size());
    const qsizetype nLength = strFormat.size();
    for (qsizetype i = 0; i < nLength; ++i) {
        const QChar ch = strFormat[i];
        if (ch == u'%' && i + 1 < nLength) {
            const QChar digit = strFormat[i + 1];
            if (digit >= u'1' && digit <= u'9') {
                const auto nArg = static_cast<size_t>(digit.unicode() - u'1');
                if (nArg < args.size()) {
                    strResult += *(args.begin() + nArg);
                    ++i;
                    continue;
                }
            }
        }
        strResult += ch;
    }
    return strResult;
}

QString LoadString(unsigned nID) {
    return CStringTable::Get().Text(nID);
}

QString FormatString1(unsigned nID, const QString& str1) {
    return FormatString(LoadString(nID), {str1});
}

QString FormatString2(unsigned nID, const QString& str1, const QString& str2) {
    return FormatString(LoadString(nID), {str1, str2});
}
