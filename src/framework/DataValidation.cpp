// SPDX-License-Identifier: MIT
// Reading and range-checking of dialog field values.
#include "framework/DataValidation.h"

#include "framework/CommandIds.h"
#include "framework/StringTable.h"

#include <cmath>

namespace fw {

std::optional<long long> ParseInteger(const QString& strText) {
    const QString strTrimmed = strText.trimmed();
    if (strTrimmed.isEmpty())
        return std::nullopt;
    qsizetype i = (strTrimmed[0] == u'+' || strTrimmed[0] == u'-') ? 1 : 0;
    if (i == strTrimmed.size())
        return std::nullopt;
    for (qsizetype k = i; k < strTrimmed.size(); ++k) {
        if (strTrimmed[k] < u'0' || strTrimmed[k] > u'9')
            return std::nullopt;
    }
    bool bOk = false;
    const long long nValue = strTrimmed.toLongLong(&bOk, 10);
    if (!bOk)
        return std::nullopt;
    return nValue;
}

std::optional<double> ParseReal(const QString& strText) {
    const QString strTrimmed = strText.trimmed();
    if (strTrimmed.isEmpty())
        return std::nullopt;
    bool bOk = false;
    // The C locale: a dialog field takes "1.5" whatever the desktop's language.
    const double dValue = strTrimmed.toDouble(&bOk);
    if (!bOk || !std::isfinite(dValue))
        return std::nullopt;
    return dValue;
}

std::optional<QString> CheckIntRange(long long nValue, long long nMin, long long nMax) {
    if (nValue >= nMin && nValue <= nMax)
        return std::nullopt;
    return FormatString2(IDP_PARSE_INT_RANGE, QString::number(nMin), QString::number(nMax));
}

std::optional<QString> CheckRealRange(double dValue, double dMin, double dMax) {
    if (dValue >= dMin && dValue <= dMax)
        return std::nullopt;
    return FormatString2(IDP_PARSE_REAL_RANGE, RangeBoundText(dMin), RangeBoundText(dMax));
}

std::optional<QString> CheckMaxChars(const QString& strValue, int nMaxChars) {
    if (strValue.size() <= nMaxChars)
        return std::nullopt;
    return FormatString1(IDP_PARSE_STRING_SIZE, QString::number(nMaxChars));
}

QString RangeBoundText(double dValue) {
    return QString::number(dValue, 'g', 15);
}

} // namespace fw
