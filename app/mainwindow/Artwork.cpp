#include "app/mainwindow/Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor Navy(24, 52, 96);
const QColor Amber(240, 170, 30);

// A detector: a rounded body with a display window, beaming infrared arcs to its right.
void drawEmblem(QPainter &painter, const QRectF &area)
{
    const qreal unit = area.height() / 16.0;
    const QRectF body(area.left() + unit, area.top() + 2 * unit, 7 * unit, 12 * unit);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Navy);
    painter.drawRoundedRect(body, 1.5 * unit, 1.5 * unit);
    painter.setBrush(Amber);
    painter.drawRect(QRectF(body.left() + 1.5 * unit, body.top() + 2 * unit, 4 * unit, 3 * unit));

    QPen beam(Amber, std::max(1.0, 1.2 * unit), Qt::SolidLine, Qt::RoundCap);
    painter.setPen(beam);
    painter.setBrush(Qt::NoBrush);
    const QPointF source(body.right(), body.center().y());
    for (int arc = 1; arc <= 3; ++arc) {
        const qreal radius = arc * 2.2 * unit;
        painter.drawArc(
            QRectF(source.x() - radius, source.y() - radius, 2 * radius, 2 * radius), -45 * 16, 90 * 16);
    }
}

} // namespace

namespace Artwork {

QPixmap logo(qreal devicePixelRatio)
{
    const QSize size(125, 70);
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, size.height());
    background.setColorAt(0, QColor(250, 250, 252));
    background.setColorAt(1, QColor(206, 216, 230));
    painter.setPen(QPen(Navy, 1));
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 6, 6);

    drawEmblem(painter, QRectF(6, 8, 40, 40));

    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(17);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Navy);
    painter.drawText(QRectF(48, 10, 74, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lorimet"));
    QFont subtitle(QStringLiteral("Arial"));
    subtitle.setPixelSize(11);
    painter.setFont(subtitle);
    painter.drawText(QRectF(48, 31, 74, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Adapter"));

    painter.setPen(Qt::NoPen);
    painter.setBrush(Amber);
    painter.drawRect(QRectF(8, 54, size.width() - 16, 3));
    painter.setPen(Navy);
    QFont caption(QStringLiteral("Arial"));
    caption.setPixelSize(9);
    painter.setFont(caption);
    painter.drawText(QRectF(8, 57, size.width() - 16, 12), Qt::AlignCenter, QStringLiteral("H2S event logs"));
    return pixmap;
}

QIcon windowIcon()
{
    QIcon icon;
    for (const int side : { 16, 32, 48 })
        icon.addPixmap(QPixmap::fromImage(iconImage(side)));
    return icon;
}

QImage iconImage(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawEmblem(painter, QRectF(0, 0, side, side));
    return image;
}

} // namespace Artwork
