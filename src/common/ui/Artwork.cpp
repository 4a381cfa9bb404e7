#include "common/ui/Artwork.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace Qt::StringLiterals;

namespace clinora::art {

namespace {

const QColor kInk(40, 52, 70);
const QColor kPaper(252, 252, 250);
const QColor kBlue(45, 110, 190);
const QColor kGreen(40, 160, 80);
const QColor kRed(205, 50, 45);
const QColor kOrange(240, 140, 20);
const QColor kYellow(250, 205, 60);
const QColor kSkin(240, 200, 160);

QPen pen(const QColor &c, qreal w) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void sheet(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    const qreal fold = r.width() * 0.28;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(pen(kInk, 3));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void textLines(QPainter &p, const QRectF &r, int n)
{
    p.setPen(pen(QColor(150, 160, 175), 3));
    for (int i = 0; i < n; ++i) {
        const qreal y = r.top() + (i + 1) * r.height() / (n + 1);
        p.drawLine(QPointF(r.left(), y), QPointF(i % 2 ? r.right() - r.width() * 0.25 : r.right(), y));
    }
}

void arrow(QPainter &p, QPointF from, QPointF to, const QColor &c, qreal w)
{
    p.setPen(pen(c, w));
    p.drawLine(from, to);
    const qreal a = std::atan2(to.y() - from.y(), to.x() - from.x());
    const qreal head = w * 3.2;
    QPolygonF tip;
    tip << to << to - QPointF(std::cos(a - 0.5) * head, std::sin(a - 0.5) * head)
        << to - QPointF(std::cos(a + 0.5) * head, std::sin(a + 0.5) * head);
    p.setBrush(c);
    p.drawPolygon(tip);
}

void circleWith(QPainter &p, const QColor &fill, const QString &letter, bool serif = false)
{
    QRadialGradient g(QPointF(40, 35), 60);
    g.setColorAt(0, fill.lighter(140));
    g.setColorAt(1, fill);
    p.setPen(pen(fill.darker(140), 3));
    p.setBrush(g);
    p.drawEllipse(QRectF(8, 8, 84, 84));
    QFont f(serif ? u"DejaVu Serif"_s : u"DejaVu Sans"_s);
    f.setPixelSize(60);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(8, 6, 84, 84), Qt::AlignCenter, letter);
}

void person(QPainter &p, QPointF head, qreal s, const QColor &coat)
{
    p.setPen(pen(kInk, 2.5));
    p.setBrush(kSkin);
    p.drawEllipse(head, 9 * s, 9 * s);
    QPainterPath body;
    body.moveTo(head + QPointF(-17 * s, 40 * s));
    body.quadTo(head + QPointF(-17 * s, 12 * s), head + QPointF(0, 12 * s));
    body.quadTo(head + QPointF(17 * s, 12 * s), head + QPointF(17 * s, 40 * s));
    body.closeSubpath();
    p.setBrush(coat);
    p.drawPath(body);
}

void phoneReceiver(QPainter &p, const QRectF &r, const QColor &c)
{
    QPainterPath path;
    const qreal w = r.width(), h = r.height();
    path.moveTo(r.left() + w * 0.15, r.top() + h * 0.05);
    path.cubicTo(r.left() - w * 0.05, r.top() + h * 0.35, r.left() + w * 0.45, r.bottom() + h * 0.0,
                 r.right() - w * 0.05, r.bottom() - h * 0.1);
    p.setPen(pen(c, w * 0.22));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void drawGlyph100(QPainter &p, Glyph g)
{
    switch (g) {
    case Glyph::None:
        break;
    case Glyph::New:
        sheet(p, QRectF(18, 8, 56, 76));
        textLines(p, QRectF(26, 28, 38, 40), 3);
        p.setPen(pen(kGreen, 10));
        p.drawLine(QPointF(74, 62), QPointF(74, 92));
        p.drawLine(QPointF(59, 77), QPointF(89, 77));
        break;
    case Glyph::Duplicate:
        sheet(p, QRectF(12, 6, 50, 66));
        sheet(p, QRectF(36, 26, 50, 66));
        textLines(p, QRectF(44, 44, 32, 38), 3);
        break;
    case Glyph::Save: {
        p.setPen(pen(kInk, 3));
        p.setBrush(kBlue);
        QPainterPath path;
        path.addRoundedRect(QRectF(10, 10, 80, 80), 8, 8);
        p.drawPath(path);
        p.setBrush(kPaper);
        p.drawRect(QRectF(24, 10, 52, 30));
        p.setBrush(QColor(60, 70, 85));
        p.drawRect(QRectF(58, 15, 10, 20));
        p.setBrush(QColor(225, 232, 240));
        p.drawRect(QRectF(22, 54, 56, 36));
        break;
    }
    case Glyph::Attach: {
        p.setPen(pen(QColor(110, 120, 135), 7));
        p.setBrush(Qt::NoBrush);
        QPainterPath clip;
        clip.moveTo(62, 30);
        clip.lineTo(62, 74);
        clip.arcTo(QRectF(34, 60, 28, 28), 0, -180);
        clip.lineTo(34, 22);
        clip.arcTo(QRectF(34, 8, 40, 28), 180, -180);
        clip.lineTo(74, 72);
        p.drawPath(clip);
        break;
    }
    case Glyph::Folder: {
        p.setPen(pen(QColor(170, 120, 20), 3));
        p.setBrush(QColor(240, 190, 60));
        QPainterPath back;
        back.moveTo(8, 22);
        back.lineTo(38, 22);
        back.lineTo(46, 30);
        back.lineTo(92, 30);
        back.lineTo(92, 84);
        back.lineTo(8, 84);
        back.closeSubpath();
        p.drawPath(back);
        QLinearGradient lg(0, 38, 0, 84);
        lg.setColorAt(0, QColor(255, 222, 110));
        lg.setColorAt(1, QColor(245, 190, 50));
        p.setBrush(lg);
        QPolygonF front;
        front << QPointF(8, 84) << QPointF(18, 40) << QPointF(98, 40) << QPointF(92, 84);
        p.drawPolygon(front);
        break;
    }
    case Glyph::Find:
        p.setPen(pen(QColor(80, 60, 40), 12));
        p.drawLine(QPointF(62, 62), QPointF(88, 88));
        p.setPen(pen(kInk, 5));
        p.setBrush(QColor(200, 230, 255, 200));
        p.drawEllipse(QRectF(10, 10, 58, 58));
        break;
    case Glyph::Print:
        p.setPen(pen(kInk, 3));
        p.setBrush(kPaper);
        p.drawRect(QRectF(26, 8, 48, 34));
        p.setBrush(QColor(120, 130, 145));
        p.drawRoundedRect(QRectF(8, 36, 84, 36), 6, 6);
        p.setBrush(kPaper);
        p.drawRect(QRectF(26, 58, 48, 32));
        textLines(p, QRectF(32, 60, 36, 28), 2);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QRectF(78, 44, 7, 7));
        break;
    case Glyph::Pdf: {
        sheet(p, QRectF(16, 6, 62, 84));
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRoundedRect(QRectF(6, 46, 70, 30), 5, 5);
        QFont f(u"DejaVu Sans"_s);
        f.setPixelSize(22);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(6, 46, 70, 30), Qt::AlignCenter, u"PDF"_s);
        break;
    }
    case Glyph::Recontact:
    case Glyph::Phone:
        if (g == Glyph::Phone) {
            p.setPen(pen(kInk, 3));
            p.setBrush(QColor(60, 65, 75));
            p.drawRoundedRect(QRectF(12, 46, 76, 44), 10, 10);
            p.setBrush(QColor(200, 205, 212));
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 2; ++j)
                    p.drawRect(QRectF(30 + i * 14, 58 + j * 14, 9, 8));
            p.setBrush(QColor(60, 65, 75));
            QPainterPath handset;
            handset.moveTo(10, 40);
            handset.cubicTo(10, 10, 90, 10, 90, 40);
            handset.lineTo(74, 44);
            handset.cubicTo(70, 28, 30, 28, 26, 44);
            handset.closeSubpath();
            p.drawPath(handset);
        } else {
            phoneReceiver(p, QRectF(14, 16, 54, 70), kRed.darker(110));
            arrow(p, QPointF(60, 32), QPointF(88, 12), kGreen, 6);
        }
        break;
    case Glyph::Export: {
        p.setPen(pen(QColor(20, 110, 60), 3));
        p.setBrush(kPaper);
        p.drawRect(QRectF(10, 12, 80, 76));
        p.setBrush(QColor(30, 130, 70));
        p.drawRect(QRectF(10, 12, 80, 16));
        p.setPen(pen(QColor(20, 110, 60), 2));
        for (int i = 1; i < 4; ++i)
            p.drawLine(QPointF(10 + i * 20, 28), QPointF(10 + i * 20, 88));
        for (int j = 1; j < 5; ++j)
            p.drawLine(QPointF(10, 28 + j * 12), QPointF(90, 28 + j * 12));
        break;
    }
    case Glyph::Help:
        circleWith(p, kBlue, u"?"_s);
        break;
    case Glyph::Info:
        circleWith(p, kBlue, u"i"_s, true);
        break;
    case Glyph::Exit: {
        p.setPen(pen(kInk, 3));
        p.setBrush(QColor(150, 95, 55));
        p.drawRect(QRectF(14, 8, 46, 84));
        p.setBrush(QColor(230, 200, 120));
        p.drawEllipse(QRectF(48, 48, 7, 7));
        arrow(p, QPointF(56, 50), QPointF(94, 50), kRed, 8);
        break;
    }
    case Glyph::First:
    case Glyph::Previous:
    case Glyph::Next:
    case Glyph::Last: {
        const bool left = g == Glyph::First || g == Glyph::Previous;
        const bool bar = g == Glyph::First || g == Glyph::Last;
        QLinearGradient lg(0, 10, 0, 90);
        lg.setColorAt(0, QColor(90, 160, 230));
        lg.setColorAt(1, QColor(25, 80, 160));
        p.setPen(pen(QColor(20, 60, 120), 3));
        p.setBrush(lg);
        QPolygonF tri;
        if (left)
            tri << QPointF(bar ? 32 : 22, 50) << QPointF(80, 14) << QPointF(80, 86);
        else
            tri << QPointF(bar ? 68 : 78, 50) << QPointF(20, 14) << QPointF(20, 86);
        p.drawPolygon(tri);
        if (bar)
            p.drawRect(left ? QRectF(14, 14, 10, 72) : QRectF(76, 14, 10, 72));
        break;
    }
    case Glyph::Mail: {
        p.setPen(pen(kInk, 3));
        p.setBrush(QColor(255, 250, 235));
        p.drawRect(QRectF(8, 22, 84, 58));
        p.setBrush(QColor(245, 235, 205));
        QPolygonF flap;
        flap << QPointF(8, 22) << QPointF(50, 56) << QPointF(92, 22);
        p.drawPolygon(flap);
        break;
    }
    case Glyph::Globe: {
        QRadialGradient rg(QPointF(40, 35), 60);
        rg.setColorAt(0, QColor(120, 190, 250));
        rg.setColorAt(1, QColor(30, 100, 190));
        p.setPen(pen(QColor(20, 70, 140), 3));
        p.setBrush(rg);
        p.drawEllipse(QRectF(8, 8, 84, 84));
        p.setBrush(Qt::NoBrush);
        p.setPen(pen(QColor(230, 245, 255), 2.5));
        p.drawEllipse(QRectF(30, 8, 40, 84));
        p.drawLine(QPointF(50, 8), QPointF(50, 92));
        p.drawLine(QPointF(8, 50), QPointF(92, 50));
        p.drawLine(QPointF(15, 30), QPointF(85, 30));
        p.drawLine(QPointF(15, 70), QPointF(85, 70));
        break;
    }
    case Glyph::Tick:
        p.setPen(pen(QColor(20, 120, 50), 16));
        p.drawPolyline(QPolygonF() << QPointF(14, 52) << QPointF(40, 78) << QPointF(88, 20));
        p.setPen(pen(QColor(60, 200, 90), 9));
        p.drawPolyline(QPolygonF() << QPointF(14, 52) << QPointF(40, 78) << QPointF(88, 20));
        break;
    case Glyph::Eraser: {
        p.save();
        p.translate(50, 50);
        p.rotate(-35);
        p.setPen(pen(kInk, 3));
        p.setBrush(QColor(240, 120, 150));
        p.drawRoundedRect(QRectF(-38, -16, 44, 32), 4, 4);
        p.setBrush(QColor(90, 140, 220));
        p.drawRoundedRect(QRectF(6, -16, 32, 32), 4, 4);
        p.restore();
        p.setPen(pen(QColor(150, 160, 175), 3));
        p.drawLine(QPointF(10, 92), QPointF(90, 92));
        break;
    }
    case Glyph::Calendar: {
        p.setPen(pen(kInk, 3));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(10, 16, 80, 74), 6, 6);
        p.setBrush(kRed);
        p.drawRect(QRectF(10, 16, 80, 20));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 130, 145));
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 3; ++j)
                p.drawRect(QRectF(18 + i * 18, 44 + j * 14, 10, 8));
        p.setPen(pen(kInk, 5));
        p.drawLine(QPointF(30, 8), QPointF(30, 24));
        p.drawLine(QPointF(70, 8), QPointF(70, 24));
        break;
    }
    case Glyph::Warning: {
        QPolygonF tri;
        tri << QPointF(50, 6) << QPointF(95, 90) << QPointF(5, 90);
        p.setPen(pen(QColor(150, 20, 20), 4));
        p.setBrush(kYellow);
        p.drawPolygon(tri);
        p.setPen(pen(kInk, 9));
        p.drawLine(QPointF(50, 34), QPointF(50, 62));
        p.drawPoint(QPointF(50, 77));
        break;
    }
    case Glyph::Doctor: {
        // A doctor in a white coat bent over a patient lying on a couch,
        // listening with the stethoscope.
        const QColor coat(250, 252, 255), gown(110, 165, 220), wood(150, 100, 60);
        // The doctor, standing behind the couch.
        p.setPen(pen(kInk, 2.5));
        p.setBrush(coat);
        QPainterPath body;
        body.moveTo(46, 70);
        body.lineTo(48, 42);
        body.quadTo(50, 30, 62, 30);
        body.quadTo(76, 30, 78, 42);
        body.lineTo(82, 70);
        body.closeSubpath();
        p.drawPath(body);
        p.drawLine(QPointF(63, 32), QPointF(63, 70)); // the coat's opening
        p.setBrush(QColor(90, 95, 110));
        p.drawEllipse(QPointF(64, 12), 11, 6); // hair
        p.setBrush(kSkin);
        p.drawEllipse(QPointF(64, 18), 10, 10);
        // The stethoscope from the neck to the patient's chest, and the
        // hand that holds its chest piece there.
        p.setPen(pen(QColor(60, 70, 90), 2));
        p.setBrush(Qt::NoBrush);
        QPainterPath tube;
        tube.moveTo(58, 31);
        tube.cubicTo(54, 44, 46, 48, 42, 57);
        p.drawPath(tube);
        p.setPen(pen(kInk, 2.5));
        p.setBrush(coat);
        QPainterPath arm;
        arm.moveTo(50, 36);
        arm.cubicTo(42, 42, 36, 48, 34, 54);
        arm.lineTo(41, 56);
        arm.cubicTo(44, 50, 49, 46, 55, 44);
        arm.closeSubpath();
        p.drawPath(arm);
        p.setBrush(kSkin);
        p.drawEllipse(QPointF(38, 57), 4.5, 3.5);
        p.setPen(pen(kInk, 1.5));
        p.setBrush(QColor(170, 180, 195));
        p.drawEllipse(QPointF(44, 58), 3.5, 3);
        // The patient on the couch.
        p.setPen(pen(kInk, 2.5));
        p.setBrush(gown);
        p.drawRoundedRect(QRectF(22, 58, 66, 13), 6, 6);
        p.setBrush(kSkin);
        p.drawEllipse(QPointF(14, 62), 8.5, 8.5);
        // The couch.
        p.setBrush(wood);
        p.drawRoundedRect(QRectF(3, 71, 94, 8), 2, 2);
        p.setPen(pen(wood.darker(130), 4));
        p.drawLine(QPointF(9, 80), QPointF(9, 94));
        p.drawLine(QPointF(91, 80), QPointF(91, 94));
        break;
    }
    case Glyph::HealthCard: {
        p.setPen(pen(QColor(20, 80, 140), 3));
        QLinearGradient lg(0, 20, 0, 80);
        lg.setColorAt(0, QColor(120, 180, 240));
        lg.setColorAt(1, QColor(40, 110, 190));
        p.setBrush(lg);
        p.drawRoundedRect(QRectF(6, 20, 88, 60), 8, 8);
        p.setBrush(kYellow);
        p.drawRoundedRect(QRectF(14, 36, 18, 14), 3, 3);
        p.setPen(pen(Qt::white, 4));
        p.drawLine(QPointF(40, 40), QPointF(84, 40));
        p.drawLine(QPointF(40, 52), QPointF(76, 52));
        p.drawLine(QPointF(14, 66), QPointF(70, 66));
        break;
    }
    case Glyph::Anatomy: {
        p.setPen(pen(QColor(150, 60, 50), 3));
        p.setBrush(QColor(245, 180, 160));
        p.drawEllipse(QPointF(50, 14), 10, 10);
        QPainterPath body;
        body.moveTo(36, 28);
        body.lineTo(64, 28);
        body.lineTo(86, 56);
        body.lineTo(80, 60);
        body.lineTo(62, 42);
        body.lineTo(60, 60);
        body.lineTo(66, 94);
        body.lineTo(56, 94);
        body.lineTo(50, 66);
        body.lineTo(44, 94);
        body.lineTo(34, 94);
        body.lineTo(40, 60);
        body.lineTo(38, 42);
        body.lineTo(20, 60);
        body.lineTo(14, 56);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(kRed);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(54, 38), 4, 4);
        break;
    }
    case Glyph::Call: {
        // A doctor in a white coat holding a telephone handset to the ear.
        const QColor coat(250, 252, 255);
        p.setPen(pen(kInk, 2.5));
        p.setBrush(coat);
        QPainterPath body;
        body.moveTo(12, 96);
        body.quadTo(12, 56, 46, 54);
        body.quadTo(80, 56, 80, 96);
        body.closeSubpath();
        p.drawPath(body);
        // Lapels and the stethoscope round the neck.
        p.drawPolyline(QPolygonF() << QPointF(38, 56) << QPointF(46, 74) << QPointF(54, 56));
        p.setPen(pen(QColor(60, 70, 90), 2.2));
        p.setBrush(Qt::NoBrush);
        QPainterPath steth;
        steth.moveTo(36, 57);
        steth.quadTo(30, 76, 34, 84);
        steth.moveTo(56, 57);
        steth.quadTo(62, 72, 58, 80);
        p.drawPath(steth);
        p.setBrush(QColor(170, 180, 195));
        p.drawEllipse(QPointF(58, 83), 3.5, 3.5);
        // The head.
        p.setPen(pen(kInk, 2.5));
        p.setBrush(QColor(90, 95, 110));
        p.drawEllipse(QPointF(46, 22), 17, 11); // hair
        p.setBrush(kSkin);
        p.drawEllipse(QPointF(46, 32), 15, 17);
        // The handset, held by the hand against the ear, with its cord.
        p.save();
        p.translate(66, 40);
        p.rotate(22);
        p.scale(0.82, 0.82);
        const QColor set(45, 50, 62);
        p.setPen(pen(set, 2.4));
        p.setBrush(Qt::NoBrush);
        QPainterPath cord;
        cord.moveTo(0, 28);
        for (int i = 0; i < 4; ++i)
            cord.cubicTo(-8, 32 + i * 7, 8, 34 + i * 7, 0, 35 + i * 7);
        p.drawPath(cord);
        p.setPen(pen(set.darker(130), 2));
        p.setBrush(set);
        QPainterPath grip;
        grip.moveTo(2, -24);
        grip.cubicTo(16, -16, 16, 16, 2, 24);
        grip.lineTo(-4, 20);
        grip.cubicTo(6, 12, 6, -12, -4, -20);
        grip.closeSubpath();
        p.drawPath(grip);
        p.drawRoundedRect(QRectF(-9, -31, 15, 13), 4, 4);
        p.drawRoundedRect(QRectF(-9, 18, 15, 13), 4, 4);
        p.setPen(pen(kInk, 2.2));
        p.setBrush(kSkin);
        p.drawRoundedRect(QRectF(6, -8, 13, 18), 6, 6);
        p.restore();
        break;
    }
    case Glyph::At: {
        QFont f(u"DejaVu Sans"_s);
        f.setPixelSize(84);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kBlue);
        p.drawText(QRectF(0, -4, 100, 100), Qt::AlignCenter, u"@"_s);
        break;
    }
    case Glyph::Booklet: {
        p.setPen(pen(kInk, 3));
        p.setBrush(QColor(40, 120, 170));
        p.drawRoundedRect(QRectF(16, 8, 66, 84), 5, 5);
        p.setBrush(kPaper);
        p.drawRect(QRectF(26, 18, 48, 64));
        textLines(p, QRectF(32, 22, 36, 56), 5);
        p.setPen(pen(kInk, 4));
        for (int i = 0; i < 5; ++i)
            p.drawLine(QPointF(10, 18 + i * 16), QPointF(22, 18 + i * 16));
        break;
    }
    case Glyph::Chart:
    case Glyph::Summary: {
        if (g == Glyph::Summary)
            sheet(p, QRectF(10, 6, 66, 86));
        const QRectF area = g == Glyph::Summary ? QRectF(18, 24, 50, 56) : QRectF(10, 10, 80, 80);
        p.setPen(pen(kInk, 3));
        p.drawLine(area.bottomLeft(), area.topLeft());
        p.drawLine(area.bottomLeft(), area.bottomRight());
        p.setPen(Qt::NoPen);
        const QColor bars[] = {kBlue, kGreen, kOrange, kRed};
        const qreal h[] = {0.45, 0.7, 0.55, 0.9};
        const qreal bw = area.width() / 9;
        for (int i = 0; i < 4; ++i) {
            p.setBrush(bars[i]);
            p.drawRect(QRectF(area.left() + bw * (1 + 2 * i), area.bottom() - area.height() * h[i], bw * 1.4,
                              area.height() * h[i]));
        }
        if (g == Glyph::Summary) {
            p.setPen(pen(kRed.darker(120), 4));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF() << QPointF(58, 86) << QPointF(70, 64) << QPointF(80, 72) << QPointF(94, 44));
        }
        break;
    }
    case Glyph::Flask: {
        p.setPen(pen(kInk, 3));
        QPainterPath f;
        f.moveTo(38, 8);
        f.lineTo(62, 8);
        f.lineTo(58, 12);
        f.lineTo(58, 38);
        f.lineTo(88, 86);
        f.quadTo(90, 92, 82, 92);
        f.lineTo(18, 92);
        f.quadTo(10, 92, 12, 86);
        f.lineTo(42, 38);
        f.lineTo(42, 12);
        f.closeSubpath();
        p.setBrush(QColor(235, 245, 250));
        p.drawPath(f);
        QPainterPath liquid;
        liquid.moveTo(28, 62);
        liquid.lineTo(72, 62);
        liquid.lineTo(88, 86);
        liquid.quadTo(90, 92, 82, 92);
        liquid.lineTo(18, 92);
        liquid.quadTo(10, 92, 12, 86);
        liquid.closeSubpath();
        p.setBrush(QColor(60, 180, 120));
        p.drawPath(liquid);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 180));
        p.drawEllipse(QPointF(40, 78), 4, 4);
        p.drawEllipse(QPointF(56, 72), 3, 3);
        break;
    }
    case Glyph::Registry:
        person(p, QPointF(32, 30), 1.2, QColor(90, 150, 210));
        person(p, QPointF(66, 24), 1.35, QColor(40, 110, 180));
        p.setPen(pen(kInk, 2.5));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(14, 70, 72, 24), 4, 4);
        textLines(p, QRectF(22, 72, 56, 20), 2);
        break;
    case Glyph::Close:
        circleWith(p, kRed, QString());
        p.setPen(pen(Qt::white, 10));
        p.drawLine(QPointF(34, 34), QPointF(66, 66));
        p.drawLine(QPointF(66, 34), QPointF(34, 66));
        break;
    case Glyph::Copyright:
        circleWith(p, QColor(110, 120, 135), u"©"_s);
        break;
    case Glyph::Key: {
        p.setPen(pen(QColor(150, 110, 20), 4));
        p.setBrush(kYellow);
        p.drawEllipse(QRectF(8, 30, 40, 40));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(20, 42, 16, 16));
        p.setBrush(kYellow);
        p.drawRect(QRectF(46, 44, 46, 12));
        p.drawRect(QRectF(74, 56, 8, 14));
        p.drawRect(QRectF(84, 56, 8, 10));
        break;
    }
    case Glyph::ArrowDown:
    case Glyph::ArrowUp: {
        const bool down = g == Glyph::ArrowDown;
        QPolygonF a;
        if (down)
            a << QPointF(36, 8) << QPointF(64, 8) << QPointF(64, 50) << QPointF(86, 50) << QPointF(50, 92)
              << QPointF(14, 50) << QPointF(36, 50);
        else
            a << QPointF(36, 92) << QPointF(64, 92) << QPointF(64, 50) << QPointF(86, 50) << QPointF(50, 8)
              << QPointF(14, 50) << QPointF(36, 50);
        QLinearGradient lg(0, 8, 0, 92);
        lg.setColorAt(0, QColor(120, 210, 120));
        lg.setColorAt(1, QColor(30, 140, 60));
        p.setPen(pen(QColor(20, 100, 40), 3));
        p.setBrush(lg);
        p.drawPolygon(a);
        break;
    }
    case Glyph::Import:
        sheet(p, QRectF(40, 10, 52, 80));
        textLines(p, QRectF(48, 30, 34, 50), 4);
        arrow(p, QPointF(6, 50), QPointF(40, 50), kGreen, 8);
        break;
    case Glyph::ArrowRight: {
        QPolygonF a;
        a << QPointF(8, 36) << QPointF(50, 36) << QPointF(50, 14) << QPointF(92, 50) << QPointF(50, 86)
          << QPointF(50, 64) << QPointF(8, 64);
        QLinearGradient lg(0, 14, 0, 86);
        lg.setColorAt(0, QColor(120, 210, 120));
        lg.setColorAt(1, QColor(30, 140, 60));
        p.setPen(pen(QColor(20, 100, 40), 3));
        p.setBrush(lg);
        p.drawPolygon(a);
        break;
    }
    case Glyph::Syringe: {
        // Drawn along a diagonal, needle at the bottom left.
        p.save();
        p.translate(50, 50);
        p.rotate(-45);
        p.setPen(pen(kInk, 2.5));
        p.setBrush(QColor(200, 205, 212));
        p.drawRect(QRectF(-47, -1.5, 18, 3));             // needle
        p.drawRect(QRectF(-30, -5, 6, 10));               // hub
        p.setBrush(QColor(235, 245, 252));
        p.drawRoundedRect(QRectF(-24, -11, 50, 22), 2, 2); // barrel
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 40, 50, 210));
        p.drawRect(QRectF(-22.5, -9.5, 26, 19));          // sample
        p.setPen(pen(kInk, 1.5));
        for (int i = 0; i < 5; ++i)
            p.drawLine(QPointF(-18 + i * 9, -11), QPointF(-18 + i * 9, -4));
        p.setPen(pen(kInk, 2.5));
        p.setBrush(QColor(120, 130, 145));
        p.drawRect(QRectF(4, -8, 4, 16));                 // plunger head
        p.drawRect(QRectF(8, -2.5, 28, 5));               // rod
        p.drawRoundedRect(QRectF(26, -15, 5, 30), 2, 2);  // flange
        p.drawRoundedRect(QRectF(36, -10, 6, 20), 2, 2);  // thumb rest
        p.restore();
        break;
    }
    case Glyph::TestTube: {
        // A rack holding two tubes, one with a blood sample.
        const struct {
            qreal x, level;
            QColor liquid;
        } tubes[] = {{24, 46, QColor(200, 30, 45)}, {58, 60, QColor(245, 190, 40)}};
        for (const auto &t : tubes) {
            QPainterPath tube;
            tube.moveTo(t.x, 8);
            tube.lineTo(t.x, 78);
            tube.arcTo(QRectF(t.x, 70, 18, 18), 180, 180);
            tube.lineTo(t.x + 18, 8);
            p.setPen(pen(kInk, 2.5));
            p.setBrush(QColor(235, 245, 252));
            p.drawPath(tube);
            QPainterPath liquid;
            liquid.moveTo(t.x + 1.5, t.level);
            liquid.lineTo(t.x + 1.5, 78);
            liquid.arcTo(QRectF(t.x + 1.5, 71.5, 15, 15), 180, 180);
            liquid.lineTo(t.x + 16.5, t.level);
            liquid.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(t.liquid);
            p.drawPath(liquid);
            p.setPen(pen(kInk, 2.5));
            p.setBrush(t.liquid == tubes[0].liquid ? kRed.darker(130) : kBlue);
            p.drawRoundedRect(QRectF(t.x - 3, 4, 24, 9), 2, 2); // stopper
        }
        p.setPen(pen(kInk, 2.5));
        p.setBrush(QColor(170, 120, 80));
        p.drawRect(QRectF(6, 52, 88, 10));
        p.drawLine(QPointF(12, 62), QPointF(12, 94));
        p.drawLine(QPointF(88, 62), QPointF(88, 94));
        p.drawLine(QPointF(6, 94), QPointF(94, 94));
        break;
    }
    case Glyph::Calculator: {
        // A body, its display and three rows of keys, the last one green.
        p.setPen(pen(kInk, 3));
        p.setBrush(QColor(70, 110, 165));
        p.drawRoundedRect(QRectF(18, 6, 64, 88), 8, 8);
        p.setBrush(QColor(205, 230, 205));
        p.drawRect(QRectF(27, 15, 46, 18));
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                p.setBrush(row == 2 && col == 2 ? QColor(60, 200, 90) : kPaper);
                p.drawRoundedRect(QRectF(27 + col * 17, 42 + row * 16, 12, 11), 2, 2);
            }
        break;
    }
    }
}

} // namespace

void drawGlyph(QPainter &p, const QRectF &r, Glyph glyph)
{
    if (glyph == Glyph::None || r.isEmpty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal side = std::min(r.width(), r.height());
    p.translate(r.center().x() - side / 2, r.center().y() - side / 2);
    p.scale(side / 100.0, side / 100.0);
    drawGlyph100(p, glyph);
    p.restore();
}

QPixmap glyphPixmap(Glyph glyph, QSize size, qreal dpr)
{
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    drawGlyph(p, QRectF(QPointF(0, 0), QSizeF(size)), glyph);
    return pm;
}

void fillGradient(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom, Qt::Orientation o)
{
    QLinearGradient g(r.topLeft(), o == Qt::Vertical ? r.bottomLeft() : r.topRight());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void drawLogoTile(QPainter &p, const QRectF &t)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal tile = std::min(t.width(), t.height());
    QLinearGradient g(t.topLeft(), t.bottomRight());
    g.setColorAt(0, QColor(60, 160, 220));
    g.setColorAt(1, QColor(15, 70, 150));
    p.setPen(QPen(QColor(10, 50, 110), std::max(1.0, tile / 40)));
    p.setBrush(g);
    p.drawRoundedRect(t, tile * 0.2, tile * 0.2);
    // The cross, with a pulse line across it.
    const qreal a = tile * 0.2;
    const QPointF c = t.center();
    QPainterPath cross;
    cross.addRect(QRectF(c.x() - a / 2, c.y() - a * 1.5, a, a * 3));
    cross.addRect(QRectF(c.x() - a * 1.5, c.y() - a / 2, a * 3, a));
    cross.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(cross.simplified());
    p.setPen(QPen(QColor(220, 40, 60), std::max(1.5, tile / 22), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal y = c.y(), x0 = c.x() - tile * 0.4, w = tile * 0.8;
    p.drawPolyline(QPolygonF() << QPointF(x0, y) << QPointF(x0 + w * 0.3, y) << QPointF(x0 + w * 0.4, y - a)
                               << QPointF(x0 + w * 0.52, y + a * 0.9) << QPointF(x0 + w * 0.62, y)
                               << QPointF(x0 + w, y));
    p.restore();
}

void drawLogo(QPainter &p, const QRectF &r, const QString &tagline, bool onDark)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal h = r.height();
    const qreal tile = std::min(h * 0.9, r.width() * 0.3);
    const QRectF t(r.left() + h * 0.05, r.center().y() - tile / 2, tile, tile);
    drawLogoTile(p, t);

    const QRectF textArea(t.right() + h * 0.12, r.top(), r.right() - t.right() - h * 0.12, r.height());
    // Each line takes the largest size that still fits the width.
    auto fitted = [&](const QString &text, qreal maxPx, bool bold) {
        QFont f(u"DejaVu Sans"_s);
        f.setBold(bold);
        int px = int(std::max(7.0, maxPx));
        for (; px > 7; --px) {
            f.setPixelSize(px);
            if (QFontMetricsF(f).horizontalAdvance(text) <= textArea.width())
                break;
        }
        f.setPixelSize(px);
        return f;
    };
    const QString name = u"Clinora"_s;
    const QColor nameColor = onDark ? Qt::white : QColor(20, 70, 140);
    p.setPen(nameColor);
    if (tagline.isEmpty()) {
        p.setFont(fitted(name, h * 0.55, true));
        p.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft, name);
    } else {
        p.setFont(fitted(name, h * 0.42, true));
        p.drawText(QRectF(textArea.left(), r.top(), textArea.width(), h * 0.62), Qt::AlignBottom | Qt::AlignLeft,
                   name);
        p.setFont(fitted(tagline, h * 0.13, false));
        p.setPen(onDark ? QColor(235, 242, 250) : QColor(70, 90, 120));
        p.drawText(QRectF(textArea.left(), r.top() + h * 0.64, textArea.width(), h * 0.3),
                   Qt::AlignTop | Qt::AlignLeft, tagline);
    }
    p.restore();
}

QPixmap logoPixmap(QSize size, const QString &tagline)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    drawLogo(p, QRectF(QPointF(0, 0), QSizeF(size)), tagline);
    return pm;
}

QImage folderImage(QSize size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    drawGlyph(p, QRectF(QPointF(0, 0), QSizeF(size)), Glyph::Folder);
    return img;
}

} // namespace clinora::art
