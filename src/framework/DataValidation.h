// SPDX-License-Identifier: MIT
// Reading numbers typed into dialog fields and checking their ranges, with the framework's
// own messages ("Please enter an integer between %1 and %2." and so on).
#pragma once

#include <QString>

#include <optional>

namespace fw {

// An integer as typed in a field: blanks around it, an optional sign, decimal digits. Nothing
// for anything else (letters, a fraction, an empty field, a value beyond 64 bits).
std::optional<long long> ParseInteger(const QString& strText);
// A number as typed in a field (a decimal point, an exponent); nothing for other text.
std::optional<double> ParseReal(const QString& strText);

// The message for a value outside [nMin, nMax], or nothing when it is inside.
std::optional<QString> CheckIntRange(long long nValue, long long nMin, long long nMax);
std::optional<QString> CheckRealRange(double dValue, double dMin, double dMax);
std::optional<QString> CheckMaxChars(const QString& strValue, int nMaxChars);

// The range bounds as the messages show them (a double with up to 15 significant digits).
QString RangeBoundText(double dValue);

} // namespace fw
