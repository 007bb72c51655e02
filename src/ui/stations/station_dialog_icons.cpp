#include "ui/stations/station_dialog_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace varnex {
namespace {

constexpr int kSize = 32;

void DrawDrum(QPainter& painter) {
    const QRectF body(3, 6, 18, 20);
    const QColor side(70, 110, 170);
    painter.setPen(QPen(QColor(30, 50, 90), 1.2));
    painter.setBrush(side);
    QPainterPath drum;
    drum.moveTo(body.left(), body.top() + 3);
    drum.lineTo(body.left(), body.bottom() - 3);
    drum.arcTo(QRectF(body.left(), body.bottom() - 6, body.width(), 6), 180, 180);
    drum.lineTo(body.right(), body.top() + 3);
    drum.closeSubpath();
    painter.drawPath(drum);
    painter.setBrush(side.lighter(150));
    painter.drawEllipse(QRectF(body.left(), body.top(), body.width(), 6));
}

void DrawMark(QPainter& painter, StationIcon kind) {
    const QRectF badge(15, 15, 16, 16);
    QColor colour;
    switch (kind) {
        case StationIcon::Add:
            colour = QColor(30, 150, 40);
            break;
        case StationIcon::Edit:
            colour = QColor(220, 150, 0);
            break;
        case StationIcon::Delete:
            colour = QColor(200, 30, 30);
            break;
        case StationIcon::DatabaseOptions:
            colour = QColor(90, 90, 90);
            break;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(badge);
    painter.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = badge.center();
    switch (kind) {
        case StationIcon::Add:
            painter.drawLine(QPointF(c.x() - 5, c.y()), QPointF(c.x() + 5, c.y()));
            painter.drawLine(QPointF(c.x(), c.y() - 5), QPointF(c.x(), c.y() + 5));
            break;
        case StationIcon::Edit:
            painter.drawLine(QPointF(c.x() - 4, c.y() + 4), QPointF(c.x() + 4, c.y() - 4));
            painter.drawPoint(QPointF(c.x() - 5, c.y() + 5));
            break;
        case StationIcon::Delete:
            painter.drawLine(QPointF(c.x() - 4, c.y() - 4), QPointF(c.x() + 4, c.y() + 4));
            painter.drawLine(QPointF(c.x() - 4, c.y() + 4), QPointF(c.x() + 4, c.y() - 4));
            break;
        case StationIcon::DatabaseOptions:
            for (int dot = -1; dot <= 1; ++dot) {
                painter.drawPoint(QPointF(c.x() + 4 * dot, c.y()));
            }
            break;
    }
}

}  // namespace

QIcon StationDialogIcon(StationIcon kind) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawDrum(painter);
    DrawMark(painter, kind);
    painter.end();
    return QIcon(pixmap);
}

}  // namespace varnex
