// SPDX-License-Identifier: MIT
// A native Wayland window over the whole output showing a known picture, so that a capture that
// is shifted, scaled or cut wrongly shows. Every pixel differs from its neighbours.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRasterWindow>

namespace {

QImage Pattern(int cx, int cy) {
    QImage image(cx, cy, QImage::Format_RGB32);
    for (int y = 0; y < cy; ++y) {
        auto* pRow = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < cx; ++x)
            pRow[x] = qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, ((x / 64) * 37 + (y / 64) * 91) & 0xFF);
    }
    return image;
}

class CPatternWindow final : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (m_image.size() != size())
            m_image = Pattern(width(), height());
        painter.drawImage(0, 0, m_image);
    }

private:
    QImage m_image;
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    CPatternWindow window;
    window.showFullScreen();
    return QGuiApplication::exec();
}
