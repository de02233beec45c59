#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <functional>
#include <map>

namespace faceto::icons {

namespace {

using Painter = std::function<void(QPainter&)>;

const QColor INK(30, 30, 40);
const QColor PAPER(250, 250, 245);
const QColor ACCENT(40, 110, 200);
const QColor WARM(210, 120, 40);

QPen pen(const QColor& c, qreal w = 1.0) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter& p, qreal x, qreal y) {
    p.setPen(pen(INK));
    p.setBrush(PAPER);
    p.drawPolygon(QPolygonF({{x, y}, {x + 7, y}, {x + 10, y + 3}, {x + 10, y + 12}, {x, y + 12}}));
}

void letter(QPainter& p, const QString& text, const QColor& colour) {
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRectF(0, 0, 11, 12), Qt::AlignCenter, text);
}

void padlock(QPainter& p) {
    p.setPen(pen(INK));
    p.setBrush(QColor(230, 190, 60));
    p.drawRect(QRectF(10.5, 9.5, 5, 5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(11, 6, 4, 6), 0, 180 * 16);
}

// A curved arrow turning back to the left (undo) or on to the right (redo).
void turnArrow(QPainter& p, bool forward) {
    if (forward) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    p.setPen(pen(ACCENT, 1.8));
    p.setBrush(Qt::NoBrush);
    QPainterPath path(QPointF(5, 6));
    path.cubicTo(QPointF(11, 3), QPointF(16, 8), QPointF(12, 13));
    p.drawPath(path);
    p.setPen(pen(ACCENT));
    p.setBrush(ACCENT);
    p.drawPolygon(QPolygonF({{1, 6}, {6.5, 2}, {6.5, 10}}));
}

// The file and clipboard commands.
std::map<QString, Painter> documentPainters() {
    return {
        {"new", [](QPainter& p) { page(p, 3, 1.5); }},
        {"open",
         [](QPainter& p) {
             p.setPen(pen(INK));
             p.setBrush(QColor(235, 200, 90));
             p.drawPolygon(QPolygonF({{1.5, 4.5}, {5.5, 4.5}, {7, 6}, {14.5, 6}, {14.5, 13.5}, {1.5, 13.5}}));
             p.setBrush(QColor(250, 225, 130));
             p.drawPolygon(QPolygonF({{3.5, 8.5}, {15.5, 8.5}, {13.5, 13.5}, {1.5, 13.5}}));
         }},
        {"save",
         [](QPainter& p) {
             p.setPen(pen(INK));
             p.setBrush(ACCENT);
             p.drawRect(QRectF(1.5, 1.5, 13, 13));
             p.setBrush(PAPER);
             p.drawRect(QRectF(4.5, 1.5, 7, 5));
             p.drawRect(QRectF(3.5, 9.5, 9, 5));
         }},
        {"cut",
         [](QPainter& p) {
             p.setPen(pen(INK, 1.2));
             p.drawLine(QPointF(4, 1), QPointF(10, 10));
             p.drawLine(QPointF(12, 1), QPointF(6, 10));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(4.5, 12), 2.5, 2.5);
             p.drawEllipse(QPointF(11.5, 12), 2.5, 2.5);
         }},
        {"copy",
         [](QPainter& p) {
             page(p, 1.5, 1.5);
             page(p, 5.5, 3.5);
         }},
        {"paste",
         [](QPainter& p) {
             p.setPen(pen(INK));
             p.setBrush(QColor(190, 140, 80));
             p.drawRect(QRectF(1.5, 2.5, 10, 12));
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(QRectF(4.5, 1.5, 4, 3));
             page(p, 6.5, 6.5);
         }},
    };
}

// The tools and the editing levels.
std::map<QString, Painter> toolPainters() {
    return {
        {"edit",
         [](QPainter& p) {
             p.setPen(pen(INK));
             p.setBrush(Qt::white);
             p.drawPolygon(QPolygonF({{3, 1}, {3, 13}, {6, 10}, {8.5, 15}, {10.5, 14}, {8, 9}, {12, 9}}));
         }},
        {"movezoom",
         [](QPainter& p) {
             p.setPen(pen(INK, 1.5));
             p.setBrush(QColor(210, 230, 250));
             p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
             p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
             p.setPen(pen(INK));
             p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
             p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
         }},
        {"scale",
         [](QPainter& p) {
             p.setPen(pen(INK));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(1.5, 5.5, 9, 9));
             p.setBrush(QColor(210, 230, 250));
             p.drawRect(QRectF(1.5, 9.5, 5, 5));
             p.setPen(pen(ACCENT, 1.4));
             p.drawLine(QPointF(7, 9), QPointF(14, 2));
             p.drawLine(QPointF(14, 2), QPointF(10, 2));
             p.drawLine(QPointF(14, 2), QPointF(14, 6));
         }},
        {"rotate",
         [](QPainter& p) {
             p.setPen(pen(ACCENT, 1.6));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(2.5, 2.5, 11, 11), 30 * 16, 280 * 16);
             p.setBrush(ACCENT);
             p.drawPolygon(QPolygonF({{11, 1}, {15, 5}, {10, 6}}));
         }},
        {"group",
         [](QPainter& p) {
             p.setPen(pen(INK));
             p.setBrush(QColor(120, 200, 120));
             p.drawPolygon(QPolygonF({{1, 14}, {6, 4}, {11, 14}}));
             p.setBrush(QColor(90, 170, 90));
             p.drawPolygon(QPolygonF({{6, 4}, {15, 4}, {11, 14}}));
         }},
        {"triangle",
         [](QPainter& p) {
             p.setPen(pen(INK));
             p.setBrush(QColor(250, 210, 90));
             p.drawPolygon(QPolygonF({{2, 14}, {8, 2}, {14, 14}}));
         }},
        {"vertex",
         [](QPainter& p) {
             p.setPen(pen(QColor(160, 160, 160)));
             p.drawLine(QPointF(2, 14), QPointF(8, 3));
             p.drawLine(QPointF(8, 3), QPointF(14, 14));
             p.setPen(pen(INK));
             p.setBrush(QColor(220, 40, 40));
             p.drawRect(QRectF(6, 1, 4, 4));
         }},
        {"skeleton",
         [](QPainter& p) {
             p.setPen(pen(INK, 1.5));
             p.drawLine(QPointF(8, 3), QPointF(8, 9));
             p.drawLine(QPointF(8, 9), QPointF(4, 14));
             p.drawLine(QPointF(8, 9), QPointF(12, 14));
             p.drawLine(QPointF(3, 6), QPointF(13, 6));
             p.setBrush(Qt::white);
             p.drawEllipse(QPointF(8, 2.5), 2, 2);
         }},
    };
}

// The locks, the grid, the camera and the undo arrows.
std::map<QString, Painter> viewPainters() {
    return {
        {"xlock",
         [](QPainter& p) {
             letter(p, "X", QColor(200, 30, 30));
             padlock(p);
         }},
        {"ylock",
         [](QPainter& p) {
             letter(p, "Y", QColor(30, 140, 30));
             padlock(p);
         }},
        {"zlock",
         [](QPainter& p) {
             letter(p, "Z", QColor(30, 60, 200));
             padlock(p);
         }},
        {"grids",
         [](QPainter& p) {
             p.setPen(pen(QColor(120, 120, 140)));
             for (qreal v : {2.5, 6.5, 10.5, 14.5}) {
                 p.drawLine(QPointF(v, 1), QPointF(v, 15));
                 p.drawLine(QPointF(1, v), QPointF(15, v));
             }
         }},
        {"camera",
         [](QPainter& p) {
             p.setPen(pen(INK));
             p.setBrush(QColor(90, 90, 100));
             p.drawRect(QRectF(1.5, 4.5, 11, 8));
             p.drawPolygon(QPolygonF({{12.5, 7}, {15.5, 5}, {15.5, 12}, {12.5, 10}}));
             p.setBrush(QColor(180, 220, 250));
             p.drawEllipse(QPointF(7, 8.5), 2.5, 2.5);
         }},
        {"resize",
         [](QPainter& p) {
             p.setPen(pen(INK));
             p.setBrush(QColor(210, 230, 250));
             p.drawRect(QRectF(1.5, 1.5, 6, 6));
             p.drawRect(QRectF(8.5, 1.5, 6, 6));
             p.drawRect(QRectF(1.5, 8.5, 6, 6));
             p.setBrush(QColor(60, 60, 70));
             p.drawRect(QRectF(8.5, 8.5, 6, 6));
         }},
        {"undo", [](QPainter& p) { turnArrow(p, false); }},
        {"redo", [](QPainter& p) { turnArrow(p, true); }},
        {"blank", [](QPainter&) {}},
    };
}

const std::map<QString, Painter>& painters() {
    static const std::map<QString, Painter> table = [] {
        std::map<QString, Painter> all = documentPainters();
        all.merge(toolPainters());
        all.merge(viewPainters());
        return all;
    }();
    return table;
}

} // namespace

QIcon make(const QString& name) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    auto it = painters().find(name);
    if (it != painters().end()) {
        it->second(painter);
    }
    painter.end();
    return QIcon(pixmap);
}

QPixmap applicationPicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // A faceted gem: the program edits facets.
    const QPointF top(32, 6), left(6, 26), right(58, 26), bottom(32, 60), innerLeft(20, 26),
        innerRight(44, 26);
    p.setPen(QPen(INK, 1.5));
    p.setBrush(QColor(90, 160, 230));
    p.drawPolygon(QPolygonF({top, right, bottom, left}));
    p.setBrush(QColor(150, 205, 250));
    p.drawPolygon(QPolygonF({top, innerRight, innerLeft}));
    p.setBrush(QColor(60, 120, 200));
    p.drawPolygon(QPolygonF({innerLeft, innerRight, bottom}));
    p.setBrush(QColor(120, 185, 240));
    p.drawPolygon(QPolygonF({left, innerLeft, bottom}));
    p.setBrush(QColor(40, 95, 170));
    p.drawPolygon(QPolygonF({right, innerRight, bottom}));
    p.setBrush(WARM);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(32, 6), 3, 3);
    return pixmap;
}

} // namespace faceto::icons
