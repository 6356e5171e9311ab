#include "gui/app_icon.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace pv {

QImage appIconImage() {
    QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // A dusk-blue tile with a pale mist band: the pavilion in the clouds.
    QLinearGradient sky(0, 0, 0, 128);
    sky.setColorAt(0, QColor(28, 52, 110));
    sky.setColorAt(1, QColor(12, 24, 58));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 24, 24);
    QRadialGradient mist(64, 92, 60);
    mist.setColorAt(0, QColor(255, 255, 255, 70));
    mist.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(mist);
    p.drawEllipse(QPointF(64, 92), 60, 26);

    // A maple leaf: five lobes around the centre, each a pointed petal.
    QPainterPath leaf;
    const QPointF centre(64, 60);
    const double lobes[5][2] = {{-90, 40}, {-30, 36}, {-150, 36}, {30, 28}, {150, 28}};
    for (const auto& lobe : lobes) {
        const double a = lobe[0] * M_PI / 180.0, len = lobe[1];
        const QPointF tip = centre + QPointF(std::cos(a) * len, std::sin(a) * len);
        const QPointF side(std::cos(a + M_PI / 2) * len * 0.32,
                           std::sin(a + M_PI / 2) * len * 0.32);
        QPainterPath petal;
        petal.moveTo(centre);
        petal.quadTo(centre + (tip - centre) * 0.5 + side, tip);
        petal.quadTo(centre + (tip - centre) * 0.5 - side, centre);
        leaf = leaf.united(petal);
    }
    QLinearGradient red(40, 20, 90, 100);
    red.setColorAt(0, QColor(255, 120, 60));
    red.setColorAt(1, QColor(200, 30, 30));
    p.setBrush(red);
    p.setPen(QPen(QColor(120, 10, 10), 2));
    p.drawPath(leaf);
    p.setPen(QPen(QColor(110, 40, 20), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(6, 40));

    // Five gold digits' worth of dots along the bottom: the draw.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 205, 70));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(28 + i * 18, 110), 5, 5);
    return image;
}

QIcon appIcon() {
    return QIcon(QPixmap::fromImage(appIconImage()));
}

}  // namespace pv
