// SPDX-License-Identifier: MIT
// CWorkspaceBackground: paints the empty workspace behind the image windows: a colour, or a
// picture tiled, centred or stretched over it, and the embossed logo text in the lower right.
// It paints in place of the MDI area's own background and reports right clicks on it.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

class QPainter;
class QWidget;

class CWorkspaceBackground : public QObject {
    Q_OBJECT

public:
    enum EDispType { Tile = 0, Center = 1, Stretch = 2 };

    // pViewport: the MDI area's viewport, which this paints from now on.
    explicit CWorkspaceBackground(QWidget* pViewport);

    void SetBackColor(const QColor& color);
    void SetLogo(const QString& strText, const QFont& font, const QColor& color);
    void SetDispType(int nDispType) { m_nDispType = nDispType; }
    // A background picture larger than this is no background picture.
    static constexpr qint64 kMaxPictureBytes = 256LL << 20;

    // Loads the picture (a regular file only); a file that does not load keeps what was there.
    // False then.
    bool LoadBitmap(const QString& strFile);
    const QString& BitmapFile() const noexcept { return m_strBitmapFile; }
    const QImage& Bitmap() const noexcept { return m_bmpBack; }

    // The rectangle the logo text takes in a client area of this size.
    QRect LogoRect(const QSize& client) const;
    void Paint(QPainter& painter, const QRect& rcClient) const;

signals:
    void contextMenuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void PaintBitmap(QPainter& painter, const QRect& rcClient) const;
    void PaintLogo(QPainter& painter, const QRect& rcClient) const;

    QWidget* m_pViewport;
    QColor m_crBack;
    QColor m_crLogo;
    QFont m_fontLogo;
    QString m_strLogo;
    QImage m_bmpBack;
    QString m_strBitmapFile;
    int m_nDispType = Center;
    QSize m_sizeClient;
};
