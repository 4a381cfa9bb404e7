// clinora_mkguide <output.pdf>
//
// Writes the user guide, Guida.pdf, from the same help texts the help screen
// shows, so the printed guide can never drift from the program's own help.
// Runs at build time; needs a GUI platform only for fonts (offscreen is fine).

#include "common/HelpTexts.h"

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringList>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <cstdio>

using namespace Qt::StringLiterals;
using clinora::help::TopicId;

namespace {

constexpr int kDpi = 300;
constexpr qreal kMarginMm = 20.0;
constexpr qreal kBodyPt = 12.0;
constexpr qreal kHeadingPt = 16.0;
// The help screen draws its topic titles in crimson; the guide matches it.
const QColor kCrimson(0xDC, 0x14, 0x3C);
const QColor kGrey(0x55, 0x55, 0x55);

const QString kGuideTitle = u"Guida all'utilizzo del software"_s;

// Millimetres in PDF pixels, for what is painted directly.
qreal mm(qreal millimetres) { return millimetres * kDpi / 25.4; }
// Millimetres for block spacing: the text layout takes those lengths at 96 dpi
// and scales them to the device itself.
qreal layoutMm(qreal millimetres) { return millimetres * 96 / 25.4; }

QFont guideFont(qreal pointSize, bool bold = false)
{
    QFont f;
    f.setFamilies({u"Liberation Sans"_s, u"Arial"_s, u"Helvetica"_s, u"DejaVu Sans"_s});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

void fail(const QString &message)
{
    std::fprintf(stderr, "clinora_mkguide: %s\n", qUtf8Printable(message));
}

struct Chapter {
    QString title;
    QTextBlock heading; // to find the page the chapter starts on
};

// Every topic opens a fresh page: a heading, then its paragraphs.
QList<Chapter> fillDocument(QTextDocument &doc)
{
    QTextCharFormat headingChars;
    headingChars.setFont(guideFont(kHeadingPt, true));
    headingChars.setForeground(kCrimson);

    QTextCharFormat bodyChars;
    bodyChars.setFont(guideFont(kBodyPt));
    bodyChars.setForeground(Qt::black);

    QTextBlockFormat headingBlock;
    headingBlock.setBottomMargin(layoutMm(6));
    headingBlock.setAlignment(Qt::AlignLeft);

    QTextBlockFormat bodyBlock;
    bodyBlock.setBottomMargin(layoutMm(3));
    bodyBlock.setAlignment(Qt::AlignJustify);
    bodyBlock.setLineHeight(115, QTextBlockFormat::ProportionalHeight);

    QList<Chapter> chapters;
    QTextCursor cursor(&doc);
    bool first = true;
    for (const TopicId id : clinora::help::allTopics()) {
        const clinora::help::Topic topic = clinora::help::topic(id);

        QTextBlockFormat hb = headingBlock;
        if (first) {
            cursor.setBlockFormat(hb); // the document's own first block
            first = false;
        } else {
            hb.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.insertBlock(hb, headingChars);
        }
        cursor.insertText(topic.title, headingChars);
        chapters.append({topic.title, cursor.block()});

        const QStringList paragraphs =
            topic.text.split(QStringView(clinora::help::kParagraphBreak).toString(),
                             Qt::SkipEmptyParts);
        for (const QString &paragraph : paragraphs) {
            cursor.insertBlock(bodyBlock, bodyChars);
            cursor.insertText(paragraph, bodyChars);
        }
    }
    return chapters;
}

// Page 1: title, subtitle and the contents with the page of each chapter.
void paintCover(QPainter &painter, const QSizeF &paper, const QList<Chapter> &chapters,
                const QList<int> &chapterPages)
{
    const qreal left = mm(kMarginMm);
    const qreal width = paper.width() - 2 * left;

    painter.setPen(kCrimson);
    painter.setFont(guideFont(40, true));
    painter.drawText(QRectF(left, mm(70), width, mm(22)), Qt::AlignHCenter | Qt::AlignBottom,
                     u"Clinora"_s);

    painter.setPen(Qt::black);
    painter.setFont(guideFont(18));
    painter.drawText(QRectF(left, mm(94), width, mm(12)), Qt::AlignHCenter | Qt::AlignTop,
                     kGuideTitle);

    painter.setPen(QPen(kCrimson, mm(0.5)));
    painter.drawLine(QPointF(left + width / 4, mm(110)), QPointF(left + 3 * width / 4, mm(110)));

    const qreal tocLeft = left + mm(15);
    const qreal tocWidth = width - mm(30);
    qreal y = mm(130);
    painter.setPen(kCrimson);
    painter.setFont(guideFont(14, true));
    painter.drawText(QRectF(tocLeft, y, tocWidth, mm(9)), Qt::AlignLeft | Qt::AlignVCenter,
                     u"Indice"_s);
    y += mm(12);

    painter.setPen(Qt::black);
    painter.setFont(guideFont(kBodyPt));
    for (qsizetype i = 0; i < chapters.size(); ++i) {
        const QRectF line(tocLeft, y, tocWidth, mm(8));
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, chapters[i].title);
        painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(chapterPages[i]));
        y += mm(8);
    }
}

// Draws the lines of one page of the laid-out document, its top at (0, 0).
// Each line goes on the page its top falls on (the layout never lets a line
// straddle two pages); drawing through a clip instead would leave clipped,
// invisible copies of the neighbouring lines in the PDF's text.
void paintBodyPage(QPainter &painter, const QTextDocument &doc, qreal pageHeight, int page)
{
    const qreal pageTop = page * pageHeight;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        const QPointF origin = layout->position();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal top = origin.y() + line.y();
            if (top + 1 >= pageTop && top + 1 < pageTop + pageHeight) // 1 px against rounding
                line.draw(&painter, QPointF(origin.x(), origin.y() - pageTop));
        }
    }
}

void paintFooter(QPainter &painter, const QSizeF &paper, int pageNumber)
{
    painter.setPen(kGrey);
    painter.setFont(guideFont(10));
    const qreal margin = mm(kMarginMm);
    painter.drawText(QRectF(0, paper.height() - margin, paper.width(), margin),
                     Qt::AlignCenter, u"Pagina %1"_s.arg(pageNumber));
}

bool writeGuide(QSaveFile &out)
{
    QPdfWriter writer(&out);
    writer.setResolution(kDpi);
    // The margins are laid out by hand, so the painter may reach the whole
    // sheet: the page number sits inside the bottom margin.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer.setTitle(kGuideTitle);
    writer.setCreator(u"Clinora"_s);

    const QSizeF paper = writer.pageLayout().fullRectPixels(kDpi).size();
    const qreal margin = mm(kMarginMm);
    const QSizeF body(paper.width() - 2 * margin, paper.height() - 2 * margin);

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer); // measure text at the PDF's resolution
    doc.setDocumentMargin(0);
    doc.setDefaultFont(guideFont(kBodyPt));
    doc.setPageSize(body);
    const QList<Chapter> chapters = fillDocument(doc);

    // The cover is page 1, so the document's page k is printed as page k + 2.
    QList<int> chapterPages;
    for (const Chapter &c : chapters) {
        const qreal top = doc.documentLayout()->blockBoundingRect(c.heading).top();
        chapterPages.append(int((top + 1) / body.height()) + 2); // as paintBodyPage rounds
    }

    QPainter painter;
    if (!painter.begin(&writer)) {
        fail(u"cannot start the PDF"_s);
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    paintCover(painter, paper, chapters, chapterPages);

    const int pages = doc.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (!writer.newPage()) {
            fail(u"cannot add page %1"_s.arg(page + 2));
            painter.end();
            return false;
        }
        painter.save();
        painter.translate(margin, margin);
        paintBodyPage(painter, doc, body.height(), page);
        painter.restore();
        paintFooter(painter, paper, page + 2);
    }

    if (!painter.end()) {
        fail(u"cannot finish the PDF"_s);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        fail(u"usage: clinora_mkguide <output.pdf>"_s);
        return 2;
    }

    // Written aside and renamed at the end: an interrupted run never leaves a
    // half-written guide where the program would open it.
    QSaveFile out(args.at(1));
    if (!out.open(QIODevice::WriteOnly)) {
        fail(u"cannot write %1: %2"_s.arg(args.at(1), out.errorString()));
        return 1;
    }
    if (!writeGuide(out)) {
        out.cancelWriting();
        return 1;
    }
    if (!out.commit()) {
        fail(u"cannot write %1: %2"_s.arg(args.at(1), out.errorString()));
        return 1;
    }
    return 0;
}
