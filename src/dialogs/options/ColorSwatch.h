// SPDX-License-Identifier: MIT
// CColorSwatch: a patch of one colour; a click on it asks for another.
#pragma once

#include <QColor>
#include <QWidget>

class CColorSwatch : public QWidget {
    Q_OBJECT

public:
    explicit CColorSwatch(QWidget* pParent = nullptr);

    QColor Color() const { return m_color; }
    void SetColor(const QColor& color);

    QSize sizeHint() const override { return QSize(60, 24); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    QColor m_color{192, 192, 192};
};
