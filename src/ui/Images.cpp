// SPDX-License-Identifier: Apache-2.0
#include "ui/Images.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <array>
#include <cmath>
#include <functional>

// Every picture is drawn here on a 64 x 64 canvas and scaled, so the program ships no art files.
namespace ordano::images {

namespace {

using Drawing = std::function<void(QPainter&)>;

constexpr double kCanvas = 64.0;

QPixmap render(const Drawing& draw, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size / kCanvas, size / kCanvas);
    draw(painter);
    return pixmap;
}

QIcon make_icon(const Drawing& draw) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(render(draw, size));
    }
    return icon;
}

QPen outline(const QColor& color, double width = 3.0) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void draw_text(QPainter& p, const QRectF& box, const QString& text, const QColor& color) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(text.size() > 2 ? 18 : (text.size() > 1 ? 22 : 30));
    p.setFont(font);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
}

// A sheet of paper with a folded corner.
void draw_page(QPainter& p, const QColor& accent) {
    QPainterPath page;
    page.moveTo(12, 4);
    page.lineTo(42, 4);
    page.lineTo(54, 16);
    page.lineTo(54, 60);
    page.lineTo(12, 60);
    page.closeSubpath();
    p.setPen(outline(QColor(80, 88, 100), 2.5));
    p.setBrush(Qt::white);
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(42, 4);
    fold.lineTo(42, 16);
    fold.lineTo(54, 16);
    p.setBrush(QColor(218, 222, 228));
    p.drawPath(fold);
    p.fillRect(QRectF(13.5, 9, 24, 5), accent);
}

void draw_check(QPainter& p, const QColor& color, double width) {
    QPainterPath tick;
    tick.moveTo(20, 38);
    tick.lineTo(29, 48);
    tick.lineTo(46, 26);
    p.setPen(outline(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

struct RowPicture {
    QColor accent;
    const char* label;    // nullptr: a check mark instead of a label
    const char* meaning;  // what the picture stands for, as its tooltip says
};

// Image numbers 1 to 13 of the main window's image list.
const std::array<RowPicture, kRowImageCount>& row_pictures() {
    static const std::array<RowPicture, kRowImageCount> pictures = {{
        {QColor(230, 126, 34), nullptr, "Respuesta de prevalidación"},
        {QColor(31, 95, 168), "M", "Archivo SAAI M3 (M, C o D)"},
        {QColor(39, 139, 87), "$5", "Pago electrónico, operación 5"},
        {QColor(26, 120, 120), "$8", "Pago electrónico, operación 8"},
        {QColor(20, 100, 60), "$11", "Pago electrónico, operación 11"},
        {QColor(110, 120, 130), "T", "Archivo T"},
        {QColor(60, 150, 40), "$9", "Pago electrónico, operación 9"},
        {QColor(107, 142, 35), "S", "Archivo de SAGARPA"},
        {QColor(110, 120, 130), "B", "Archivo B"},
        {QColor(39, 139, 87), "$", "Pago electrónico, otra operación"},
        {QColor(110, 120, 130), "X", "Archivo X"},
        {QColor(30, 130, 100), "$3", "Pago electrónico, operación 3"},
        {QColor(142, 68, 173), "P", "Archivo P"},
    }};
    return pictures;
}

void draw_row_picture(QPainter& p, const RowPicture& picture) {
    draw_page(p, picture.accent);
    if (picture.label == nullptr) {
        draw_check(p, picture.accent, 6);
        return;
    }
    draw_text(p, QRectF(12, 18, 42, 40), QString::fromUtf8(picture.label), picture.accent);
}

// An open tray with an arrow leaving it (up) or entering it (down).
void draw_tray_arrow(QPainter& p, const QColor& color, bool up) {
    p.setPen(outline(QColor(70, 78, 90), 4));
    p.setBrush(Qt::NoBrush);
    QPainterPath tray;
    tray.moveTo(8, 40);
    tray.lineTo(8, 56);
    tray.lineTo(56, 56);
    tray.lineTo(56, 40);
    p.drawPath(tray);
    const double tip = up ? 6 : 46;
    const double tail = up ? 46 : 6;
    const double head = up ? 22 : 30;
    p.setPen(outline(color, 7));
    p.drawLine(QPointF(32, tail), QPointF(32, tip + (up ? 6 : -6)));
    QPainterPath arrow;
    arrow.moveTo(32, tip);
    arrow.lineTo(18, head);
    arrow.lineTo(46, head);
    arrow.closeSubpath();
    p.setPen(outline(color, 2));
    p.setBrush(color);
    p.drawPath(arrow);
}

void draw_stop(QPainter& p) {
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const double angle = qDegreesToRadians(22.5 + 45.0 * i);
        octagon << QPointF(32 + 27 * std::cos(angle), 32 + 27 * std::sin(angle));
    }
    p.setPen(outline(QColor(140, 20, 20), 2.5));
    p.setBrush(QColor(204, 36, 36));
    p.drawPolygon(octagon);
    p.fillRect(QRectF(22, 22, 20, 20), Qt::white);
}

void draw_catalogue(QPainter& p) {
    p.setPen(outline(QColor(90, 50, 20), 2.5));
    p.setBrush(QColor(150, 82, 36));
    p.drawRoundedRect(QRectF(10, 6, 40, 52), 4, 4);
    p.setBrush(QColor(245, 240, 225));
    p.drawRect(QRectF(50, 10, 5, 44));
    p.fillRect(QRectF(14, 6, 4, 52), QColor(110, 60, 25));
    draw_text(p, QRectF(18, 10, 32, 44), QStringLiteral("!"), Qt::white);
}

void draw_gear(QPainter& p) {
    const QColor metal(96, 106, 120);
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(32, 32);
        p.rotate(45.0 * i);
        p.drawRoundedRect(QRectF(-6, -29, 12, 14), 2, 2);
        p.restore();
    }
    p.drawEllipse(QPointF(32, 32), 19, 19);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(32, 32), 8, 8);
}

void draw_exit(QPainter& p) {
    p.setPen(outline(QColor(90, 60, 40), 3));
    p.setBrush(QColor(196, 150, 100));
    p.drawRect(QRectF(8, 6, 28, 52));
    p.setBrush(QColor(90, 60, 40));
    p.drawEllipse(QPointF(30, 33), 2.5, 2.5);
    const QColor red(180, 30, 30);
    p.setPen(outline(red, 6));
    p.drawLine(QPointF(30, 33), QPointF(50, 33));
    QPainterPath head;
    head.moveTo(60, 33);
    head.lineTo(46, 22);
    head.lineTo(46, 44);
    head.closeSubpath();
    p.setPen(outline(red, 2));
    p.setBrush(red);
    p.drawPath(head);
}

void draw_pencil(QPainter& p) {
    p.save();
    p.translate(32, 32);
    p.rotate(-45);
    p.setPen(outline(QColor(120, 90, 20), 2.5));
    p.setBrush(QColor(241, 196, 15));
    p.drawRect(QRectF(-22, -7, 36, 14));
    p.setBrush(QColor(230, 120, 120));
    p.drawRect(QRectF(-28, -7, 6, 14));
    QPainterPath tip;
    tip.moveTo(14, -7);
    tip.lineTo(28, 0);
    tip.lineTo(14, 7);
    tip.closeSubpath();
    p.setBrush(QColor(240, 220, 180));
    p.drawPath(tip);
    p.restore();
}

void draw_disk(QPainter& p) {
    p.setPen(outline(QColor(20, 50, 100), 2.5));
    p.setBrush(QColor(41, 98, 180));
    p.drawRoundedRect(QRectF(8, 8, 48, 48), 4, 4);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16, 8, 32, 18));
    p.setBrush(QColor(20, 50, 100));
    p.drawRect(QRectF(18, 38, 28, 18));
}

void draw_cancel(QPainter& p) {
    p.setPen(outline(QColor(140, 20, 20), 2.5));
    p.setBrush(QColor(204, 36, 36));
    p.drawEllipse(QPointF(32, 32), 26, 26);
    p.setPen(outline(Qt::white, 7));
    p.drawLine(QPointF(22, 22), QPointF(42, 42));
    p.drawLine(QPointF(42, 22), QPointF(22, 42));
}

void draw_key(QPainter& p) {
    const QColor gold(200, 150, 20);
    p.setPen(outline(QColor(120, 85, 10), 2.5));
    p.setBrush(gold);
    p.drawEllipse(QPointF(18, 32), 13, 13);
    p.drawRect(QRectF(30, 28, 28, 8));
    p.drawRect(QRectF(46, 36, 5, 9));
    p.drawRect(QRectF(53, 36, 5, 12));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(15, 32), 4.5, 4.5);
}

void draw_envelope(QPainter& p) {
    p.setPen(outline(QColor(31, 95, 168), 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 14, 52, 36));
    p.setBrush(Qt::NoBrush);
    QPainterPath flap;
    flap.moveTo(6, 14);
    flap.lineTo(32, 36);
    flap.lineTo(58, 14);
    p.drawPath(flap);
}

void draw_folder(QPainter& p) {
    p.setPen(outline(QColor(150, 110, 20), 2.5));
    p.setBrush(QColor(240, 190, 60));
    QPainterPath folder;
    folder.moveTo(6, 14);
    folder.lineTo(24, 14);
    folder.lineTo(30, 20);
    folder.lineTo(58, 20);
    folder.lineTo(58, 52);
    folder.lineTo(6, 52);
    folder.closeSubpath();
    p.drawPath(folder);
    p.setBrush(QColor(250, 210, 90));
    p.drawRect(QRectF(6, 26, 52, 26));
}

void draw_program(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(31, 95, 168));
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
    p.setPen(outline(Qt::white, 7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(32, 32), 15, 15);
    p.setPen(outline(QColor(241, 196, 15), 5));
    p.drawLine(QPointF(44, 20), QPointF(54, 10));
}

// A sheet of paper behind a clock face: what was sent, and when.
void draw_history(QPainter& p) {
    draw_page(p, QColor(31, 95, 168));
    p.setPen(outline(QColor(70, 78, 90), 3));
    p.setBrush(QColor(255, 248, 220));
    p.drawEllipse(QPointF(38, 40), 17, 17);
    p.setPen(outline(QColor(31, 95, 168), 4));
    p.drawLine(QPointF(38, 40), QPointF(38, 29));
    p.drawLine(QPointF(38, 40), QPointF(46, 44));
}

Drawing action_drawing(Action action) {
    switch (action) {
        case Action::Enviar:
            return [](QPainter& p) { draw_tray_arrow(p, QColor(31, 95, 168), true); };
        case Action::Recibir:
            return [](QPainter& p) { draw_tray_arrow(p, QColor(39, 139, 87), false); };
        case Action::Detener:
            return draw_stop;
        case Action::CatErr:
            return draw_catalogue;
        case Action::Parametros:
            return draw_gear;
        case Action::Historial:
            return draw_history;
        case Action::Salir:
            return draw_exit;
        case Action::Modificar:
            return draw_pencil;
        case Action::Guardar:
            return draw_disk;
        case Action::Cancelar:
            return draw_cancel;
        case Action::Password:
            return draw_key;
        case Action::EnvKro:
            return draw_envelope;
        case Action::Carpeta:
            return draw_folder;
    }
    return {};
}

// `from` moved `share` of the way towards `to`.
QColor blend(const QColor& from, const QColor& to, double share) {
    const auto mix = [share](int a, int b) { return static_cast<int>(a + (b - a) * share + 0.5); };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                  mix(from.blue(), to.blue()));
}

void draw_step_under_way(QPainter& p) {
    QPainterPath arrow;
    arrow.moveTo(18, 10);
    arrow.lineTo(50, 32);
    arrow.lineTo(18, 54);
    arrow.closeSubpath();
    p.setPen(outline(QColor(20, 60, 120), 2.5));
    p.setBrush(QColor(41, 98, 180));
    p.drawPath(arrow);
}

void draw_step_result(QPainter& p) {
    p.setPen(outline(QColor(60, 60, 60), 4));
    p.drawLine(QPointF(16, 6), QPointF(16, 60));
    QPainterPath flag;
    flag.moveTo(18, 8);
    flag.lineTo(54, 18);
    flag.lineTo(18, 30);
    flag.closeSubpath();
    p.setPen(outline(QColor(170, 90, 10), 2));
    p.setBrush(QColor(230, 126, 34));
    p.drawPath(flag);
}

}  // namespace

QIcon row_image(int number) {
    if (number < 1 || number > kRowImageCount) {
        return {};
    }
    const RowPicture& picture = row_pictures()[static_cast<std::size_t>(number - 1)];
    return make_icon([&picture](QPainter& p) { draw_row_picture(p, picture); });
}

QString row_image_meaning(int number) {
    if (number < 1 || number > kRowImageCount) {
        return {};
    }
    return QString::fromUtf8(row_pictures()[static_cast<std::size_t>(number - 1)].meaning);
}

QPixmap list_background(const QPalette& palette) {
    // The palette's own base with fine diagonal lines a little towards its text colour: a
    // texture that never competes with the rows' text, on a light palette as on a dark one.
    // Drawn without smoothing, so the tile holds those two colours only.
    const QColor base = palette.color(QPalette::Base);
    QPixmap tile(96, 96);
    tile.fill(base);
    QPainter p(&tile);
    p.setPen(QPen(blend(base, palette.color(QPalette::Text), 0.06), 1.0));
    for (int x = -96; x < 96; x += 12) {
        p.drawLine(QPointF(x, 96), QPointF(x + 96, 0));
    }
    return tile;
}

QPixmap background(int number) {
    switch (number) {
        case 1:
            return list_background(QGuiApplication::palette());
        case 2:
            return render(draw_step_under_way, 32);
        case 3:
            return render([](QPainter& p) { draw_check(p, QColor(39, 139, 87), 8); }, 32);
        case 4:
            return render(draw_step_result, 32);
        default:
            return {};
    }
}

QIcon action_icon(Action action) {
    const Drawing drawing = action_drawing(action);
    return drawing ? make_icon(drawing) : QIcon();
}

QIcon program_icon() {
    return make_icon(draw_program);
}

}  // namespace ordano::images
