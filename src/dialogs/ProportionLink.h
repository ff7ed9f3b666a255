// SPDX-License-Identifier: MIT
// CProportionLink: two size rows held in a proportion while a check box is on: a new value in
// either row (typed, stepped or slid) gives the other that value times the proportion.
#pragma once

#include <QObject>

class CValueRow;
class QCheckBox;

class CProportionLink : public QObject {
    Q_OBJECT

public:
    // dSecondPerFirst: the second row's value for each unit of the first (above 0). The rows
    // and the check box must outlive the link, which belongs to the check box.
    CProportionLink(CValueRow& first, CValueRow& second, double dSecondPerFirst, QCheckBox& check);

    // Shows both values as they are, neither following the other (a reverted size).
    void SetValues(int nFirst, int nSecond);

private:
    void Follow(const CValueRow& changed, CValueRow& other, double dOtherPerChanged);

    CValueRow& m_first;
    CValueRow& m_second;
    double m_dSecondPerFirst;
    QCheckBox& m_check;
    bool m_bFollowing = false;
};
