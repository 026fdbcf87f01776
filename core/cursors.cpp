#include "cursors.h"
#include <QPainter>
#include <QPainterPath>

namespace core {

QPixmap fishIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Body: a blue fish swimming to the left, nose at the hot spot.
    QPainterPath body;
    body.moveTo(1, 14);
    body.cubicTo(6, 5, 18, 5, 23, 14);
    body.cubicTo(18, 23, 6, 23, 1, 14);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(0, 0, 255));
    p.drawPath(body);
    QPolygon tail({QPoint(22, 14), QPoint(31, 6), QPoint(29, 14), QPoint(31, 22)});
    p.setBrush(QColor(0, 128, 128));
    p.drawPolygon(tail);
    p.setBrush(Qt::white);
    p.drawEllipse(QPoint(7, 12), 2, 2);
    p.setBrush(Qt::black);
    p.drawPoint(7, 12);
    p.setPen(QColor(0, 255, 255));
    p.drawArc(10, 9, 8, 10, -60 * 16, 120 * 16);
    return pm;
}

QPixmap catIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(QColor(255, 255, 0));
    // Ears, head, eyes and whiskers of a little yellow cat.
    p.drawPolygon(QPolygon({QPoint(2, 6), QPoint(3, 0), QPoint(7, 4)}));
    p.drawPolygon(QPolygon({QPoint(13, 6), QPoint(12, 0), QPoint(8, 4)}));
    p.drawEllipse(QRect(1, 3, 13, 11));
    p.setPen(Qt::black);
    p.drawPoint(5, 7);
    p.drawPoint(10, 7);
    p.setPen(QColor(255, 0, 0));
    p.drawPoint(7, 10);
    p.drawPoint(8, 10);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(0, 9, 4, 10);
    p.drawLine(11, 10, 15, 9);
    return pm;
}

QCursor programCursor(int resource) {
    if (resource == 3) return QCursor(catIcon(), 0, 0);
    return QCursor(fishIcon(), 0, 14);
}

QCursor pointerShape(int value) {
    switch (value) {
    case 1:
        return Qt::ArrowCursor;
    case 2:
        return Qt::CrossCursor;
    case 3:
        return Qt::IBeamCursor;
    case 5:
        return Qt::SizeAllCursor;
    case 6:
        return Qt::SizeBDiagCursor;
    case 7:
        return Qt::SizeVerCursor;
    case 8:
        return Qt::SizeFDiagCursor;
    case 9:
        return Qt::SizeHorCursor;
    case 10:
        return Qt::UpArrowCursor;
    case 11:
        return Qt::WaitCursor;
    case 12:
        return Qt::ForbiddenCursor;
    case 13:
        return Qt::BusyCursor;
    case 14:
        return Qt::WhatsThisCursor;
    case 15:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace core
