// The shared widget kit: the panel painter draws exactly what the screens'
// own drawings drew, the one list model holds read lines or texts alike,
// and the wait cursor never outlives its work.
#include "common/ui/ListLinesModel.h"
#include "common/ui/Panel.h"
#include "common/ui/WaitCursor.h"

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QtTest>

#include <functional>
#include <stdexcept>

using namespace clinora;
using namespace Qt::StringLiterals;

namespace {

using Draw = std::function<void(QPainter &, const QRectF &)>;

QImage picture(const Draw &draw)
{
    QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(30, 160, 90));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, QRectF(7, 5, 101, 63));
    return image;
}

// How the screens drew a shaded panel before they shared the painter.
void shadedInline(QPainter &p, const QRectF &r, qreal radius, const QColor &top, const QColor &bottom,
                  const QColor &border, bool across)
{
    QLinearGradient g(r.topLeft(), across ? r.topRight() : r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    if (border.isValid()) {
        p.setPen(QPen(border, 1));
        p.setBrush(g);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(r, radius, radius);
    }
}

void flatInline(QPainter &p, const QRectF &r, qreal radius, const QColor &fill, const QColor &border)
{
    if (border.isValid()) {
        p.setPen(QPen(border, 1));
        p.setBrush(fill);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(r, radius, radius);
    }
}

ListLines readLines(const QList<QByteArray> &lines)
{
    ListLines l;
    for (const QByteArray &line : lines)
        l.append(line);
    return l;
}

} // namespace

class TestWidgetKit : public QObject {
    Q_OBJECT
private slots:
    void panelIsTheOldDrawing_data()
    {
        QTest::addColumn<qreal>("radius");
        QTest::addColumn<QColor>("top");
        QTest::addColumn<QColor>("bottom");
        QTest::addColumn<QColor>("border");
        QTest::addColumn<bool>("across");
        QTest::newRow("list panel") << 10.0 << QColor(250, 252, 255) << QColor(226, 235, 246) << QColor(150, 172, 200)
                                    << false;
        QTest::newRow("title band, no border") << 6.0 << QColor(40, 100, 170) << QColor(110, 160, 215) << QColor()
                                               << false;
        QTest::newRow("banner, left to right") << 8.0 << QColor(22, 72, 150) << QColor(92, 150, 214)
                                               << QColor(18, 58, 120) << true;
        QTest::newRow("see-through") << 6.0 << QColor(255, 255, 255, 235) << QColor(225, 236, 246, 235)
                                     << QColor(150, 175, 200) << false;
    }
    void panelIsTheOldDrawing()
    {
        QFETCH(qreal, radius);
        QFETCH(QColor, top);
        QFETCH(QColor, bottom);
        QFETCH(QColor, border);
        QFETCH(bool, across);
        const QImage old = picture([&](QPainter &p, const QRectF &r) {
            shadedInline(p, r, radius, top, bottom, border, across);
        });
        const QImage now = picture([&](QPainter &p, const QRectF &r) {
            paintPanel(p, r, radius, top, bottom, border, across ? Qt::Horizontal : Qt::Vertical);
        });
        QCOMPARE(now, old);
    }

    void flatPanelIsTheOldDrawing_data()
    {
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QColor>("border");
        QTest::newRow("form panel") << QColor(236, 241, 247) << QColor(160, 175, 195);
        QTest::newRow("hint bar") << QColor(0x0D, 0x0D, 0xCD) << QColor();
    }
    void flatPanelIsTheOldDrawing()
    {
        QFETCH(QColor, fill);
        QFETCH(QColor, border);
        const QImage old = picture([&](QPainter &p, const QRectF &r) { flatInline(p, r, 8, fill, border); });
        const QImage now = picture([&](QPainter &p, const QRectF &r) { paintFlatPanel(p, r, 8, fill, border); });
        QCOMPARE(now, old);
        // A shading from a colour to itself is the same flat panel.
        const QImage same = picture([&](QPainter &p, const QRectF &r) { paintPanel(p, r, 8, fill, fill, border); });
        QCOMPARE(same, old);
    }

    void modelHoldsReadLinesThenTexts()
    {
        ListLinesModel model;
        model.setLines(readLines({"ROSSI MARIO", "BIANCHI ANNA", "VERDI LUCA"}));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(1).data().toString(), u"BIANCHI ANNA"_s);
        // No size of its own until one is set: the delegate measures.
        QVERIFY(!model.index(0).data(Qt::SizeHintRole).isValid());

        // A change of one line turns the read lines into texts, in order.
        model.insertText(1, u"NERI PIA"_s);
        model.removeText(3);
        QCOMPARE(model.texts(), (QStringList{u"ROSSI MARIO"_s, u"NERI PIA"_s, u"BIANCHI ANNA"_s}));

        model.setItemSize(QSize(400, 20));
        QCOMPARE(model.index(2).data(Qt::SizeHintRole).toSize(), QSize(400, 20));
        QVERIFY(!model.index(3).data().isValid());
        QCOMPARE(model.flags(model.index(0)), Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren);

        // Read lines again replace the texts at once.
        model.setLines(readLines({"UNO"}));
        QCOMPARE(model.texts(), QStringList{u"UNO"_s});
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    void waitCursorEndsWithItsWork()
    {
        QVERIFY(!QGuiApplication::overrideCursor());
        {
            const WaitCursor wait;
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QVERIFY(!QGuiApplication::overrideCursor());
        try {
            const WaitCursor wait;
            throw std::runtime_error("reading failed");
        } catch (const std::runtime_error &) {
        }
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestWidgetKit)
#include "tst_widgetkit.moc"
