// SPDX-License-Identifier: Apache-2.0
#include "dialogs/CatalogIllustration.h"

#include <QPainter>
#include <QPainterPath>

namespace ordano {
namespace {

constexpr double kCanvas = 96.0;

// A database drum: three stacked discs.
void draw_drum(QPainter& p, const QRectF& box) {
    const double cap = box.height() / 5.0;
    p.setPen(QPen(QColor(24, 64, 120), 2.5));
    p.setBrush(QColor(66, 133, 214));
    QPainterPath body;
    body.moveTo(box.left(), box.top() + cap / 2);
    body.lineTo(box.left(), box.bottom() - cap / 2);
    body.arcTo(QRectF(box.left(), box.bottom() - cap, box.width(), cap), 180, 180);
    body.lineTo(box.right(), box.top() + cap / 2);
    p.drawPath(body);
    for (double y : {box.top() + box.height() / 3.0, box.top() + 2.0 * box.height() / 3.0}) {
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(box.left(), y - cap / 2, box.width(), cap), 180 * 16, 180 * 16);
    }
    p.setBrush(QColor(160, 200, 240));
    p.drawEllipse(QRectF(box.left(), box.top(), box.width(), cap));
}

// A downward arrow into the drum.
void draw_arrow(QPainter& p, double x, double top, double tip) {
    const QColor green(39, 139, 87);
    p.setPen(QPen(green, 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x, top), QPointF(x, tip - 10));
    QPainterPath head;
    head.moveTo(x, tip);
    head.lineTo(x - 13, tip - 15);
    head.lineTo(x + 13, tip - 15);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawPath(head);
}

// A page of the catalogue with its lines of codes.
void draw_sheet(QPainter& p, const QRectF& box) {
    p.setPen(QPen(QColor(80, 88, 100), 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(box, 3, 3);
    p.setPen(QPen(QColor(150, 160, 175), 2));
    for (int line = 1; line <= 3; ++line) {
        const double y = box.top() + line * box.height() / 4.0;
        p.drawLine(QPointF(box.left() + 5, y), QPointF(box.right() - 5, y));
    }
}

}  // namespace

QPixmap catalog_update_illustration(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kCanvas, size / kCanvas);
    draw_sheet(p, QRectF(8, 6, 30, 36));
    draw_arrow(p, 48, 10, 52);
    draw_drum(p, QRectF(24, 50, 48, 40));
    return pixmap;
}

}  // namespace ordano
