#include "report/ReportRender.h"

#include "common/FileIo.h"
#include "report/ReportFonts.h"
#include "report/ReportTemplate.h"
#include "report/TextFit.h"

#include <QBuffer>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace clinora::report {

namespace {

constexpr int kPdfResolution = 1200;

class PageDrawer {
public:
    PageDrawer(QPainter &painter, const QPaintDevice &device)
        : m_p(painter), m_sx(device.logicalDpiX() / units::kPerInch), m_sy(device.logicalDpiY() / units::kPerInch)
    {
    }

    void draw(const PreparedPage &page)
    {
        for (const PreparedItem &item : page.items) {
            const QRectF r(item.frame.x() * m_sx, item.frame.y() * m_sy, item.frame.width() * m_sx,
                           item.frame.height() * m_sy);
            m_p.save();
            switch (item.kind) {
            case ObjectKind::Text:
                text(item, r);
                break;
            case ObjectKind::Picture:
                picture(item, r);
                break;
            case ObjectKind::Line:
                line(item, r);
                break;
            case ObjectKind::Shape:
                shape(item, r);
                break;
            case ObjectKind::Band:
                break;
            }
            m_p.restore();
        }
    }

private:
    void text(const PreparedItem &item, const QRectF &r)
    {
        const TextLook &look = item.text;
        if (look.fill.isValid())
            m_p.fillRect(r, look.fill);
        if (item.lines.isEmpty() || r.isEmpty())
            return;
        // Text that does not fit its frame is cut at the frame.
        m_p.setClipRect(r, Qt::IntersectClip);
        m_p.setFont(reportFont(look.font.family, look.font.pointSize, look.font.bold));
        m_p.setPen(look.font.color);
        const int h = int(look.hAlign & Qt::AlignHorizontal_Mask);
        const QRectF box = r.adjusted(kTextPadding * m_sx, 0, -kTextPadding * m_sx, 0);
        if (look.linePitch > 0) {
            const double pitch = look.linePitch * m_sy;
            // Lines set apart by their pitch; centred as a block where the
            // frame asks for it and they leave room.
            double top = box.top();
            const double block = double(item.lines.size()) * pitch;
            if ((look.vAlign & Qt::AlignVCenter) && block < box.height())
                top += (box.height() - block) / 2;
            for (qsizetype i = 0; i < item.lines.size(); ++i) {
                const QRectF lineBox(box.left(), top + double(i) * pitch, box.width(), pitch);
                m_p.drawText(lineBox, h | Qt::AlignVCenter, item.lines[i]);
            }
            return;
        }
        int flags = h | int(look.vAlign & Qt::AlignVertical_Mask);
        if (look.wordWrap)
            flags |= Qt::TextWordWrap;
        m_p.drawText(box, flags, item.lines.join(u'\n'));
    }

    void picture(const PreparedItem &item, const QRectF &r)
    {
        if (item.picture.isNull() || r.isEmpty())
            return;
        const QSizeF size = QSizeF(item.picture.size()).scaled(r.size(), Qt::KeepAspectRatio);
        const QRectF target(r.left() + (r.width() - size.width()) / 2, r.top() + (r.height() - size.height()) / 2,
                            size.width(), size.height());
        m_p.setRenderHint(QPainter::SmoothPixmapTransform);
        m_p.drawImage(target, item.picture);
    }

    void line(const PreparedItem &item, const QRectF &r)
    {
        m_p.setPen(QPen(item.line.color, item.line.width * m_sy, Qt::SolidLine, Qt::FlatCap));
        if (item.line.orientation == Qt::Horizontal)
            m_p.drawLine(r.topLeft(), r.topRight());
        else
            m_p.drawLine(r.topLeft(), r.bottomLeft());
    }

    void shape(const PreparedItem &item, const QRectF &r)
    {
        const ShapeLook &look = item.shape;
        m_p.setBrush(look.fill.isValid() ? QBrush(look.fill) : QBrush(Qt::NoBrush));
        if (look.border.isValid() && look.borderWidth > 0)
            m_p.setPen(QPen(look.border, look.borderWidth * m_sy, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        else
            m_p.setPen(Qt::NoPen);
        m_p.drawRect(r);
    }

    QPainter &m_p;
    double m_sx, m_sy;
};

QPageLayout paperLayout(const PreparedPage &page)
{
    return QPageLayout(QPageSize(QPageSize::A4), page.orientation, QMarginsF(0, 0, 0, 0));
}

// A PDF text string: UTF-16 with its byte-order mark, in hexadecimal.
QByteArray pdfText(const QString &text)
{
    QByteArray out = "<FEFF";
    for (const QChar c : text)
        out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return out + '>';
}

// Adds entries to the document information of a finished PDF by an
// incremental update: a new information dictionary (the old entries and the
// new), a cross-reference section for it and a trailer pointing back to the
// original one. The PDF writer itself sets only the title and the creator.
QByteArray withDocumentInfo(const QByteArray &pdf, const QList<std::pair<QByteArray, QString>> &entries)
{
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    const qsizetype trailerAt = pdf.lastIndexOf("trailer", startxref);
    if (startxref < 0 || trailerAt < 0)
        return {};
    const QByteArray trailer = pdf.mid(trailerAt, startxref - trailerAt);
    const QByteArray tail = pdf.mid(startxref + 9).trimmed();
    bool ok = false;
    const qint64 previousXref = tail.left(tail.indexOf('\n') < 0 ? tail.size() : tail.indexOf('\n')).trimmed().toLongLong(&ok);
    if (!ok)
        return {};

    auto find = [&](const QString &pattern) {
        return QRegularExpression(pattern).match(QString::fromLatin1(trailer));
    };
    const auto size = find(u"/Size\\s+(\\d+)"_s);
    const auto root = find(u"/Root\\s+(\\d+\\s+\\d+\\s+R)"_s);
    const auto info = find(u"/Info\\s+(\\d+)\\s+(\\d+)\\s+R"_s);
    const auto id = find(u"/ID\\s*(\\[[^\\]]*\\])"_s);
    if (!size.hasMatch() || !root.hasMatch())
        return {};
    const qint64 number = size.captured(1).toLongLong();

    QByteArray dictionary = "<<\n";
    if (info.hasMatch()) {
        const QByteArray head = info.captured(1).toLatin1() + ' ' + info.captured(2).toLatin1() + " obj";
        const qsizetype at = pdf.indexOf(QByteArray("\n" + head));
        if (at >= 0) {
            const qsizetype open = pdf.indexOf("<<", at);
            const qsizetype end = pdf.indexOf("endobj", at);
            const qsizetype close = pdf.lastIndexOf(">>", end);
            if (open >= 0 && close > open && end > close)
                dictionary += pdf.mid(open + 2, close - open - 2).trimmed() + '\n';
        }
    }
    for (const auto &[key, value] : entries)
        dictionary += '/' + key + ' ' + pdfText(value) + '\n';
    dictionary += ">>";

    QByteArray out = pdf;
    if (!out.endsWith('\n'))
        out += '\n';
    const qint64 objectAt = out.size();
    out += QByteArray::number(number) + " 0 obj\n" + dictionary + "\nendobj\n";
    const qint64 xrefAt = out.size();
    out += "xref\n" + QByteArray::number(number) + " 1\n" + QByteArray::number(objectAt).rightJustified(10, '0') +
           " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(number + 1) + " /Root " + root.captured(1).toLatin1() +
           " /Info " + QByteArray::number(number) + " 0 R /Prev " + QByteArray::number(previousXref);
    if (id.hasMatch())
        out += " /ID " + id.captured(1).toLatin1();
    out += " >>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
    return out;
}

} // namespace

bool render(const PreparedReport &report, QPagedPaintDevice &device, const QList<int> &pages)
{
    QList<int> order = pages;
    if (order.isEmpty()) {
        for (int i = 0; i < report.pages.size(); ++i)
            order.append(i);
    }
    if (order.isEmpty())
        return false;
    for (int index : order) {
        if (index < 0 || index >= report.pages.size())
            return false;
    }
    device.setPageLayout(paperLayout(report.pages[order.first()]));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (qsizetype i = 0; i < order.size(); ++i) {
        const PreparedPage &page = report.pages[order[i]];
        if (i > 0) {
            if (page.orientation != report.pages[order[i - 1]].orientation)
                device.setPageLayout(paperLayout(page));
            if (!device.newPage())
                return false;
        }
        PageDrawer(painter, device).draw(page);
    }
    return painter.end();
}

QByteArray pdfDocument(const PreparedReport &report, const PdfExport &settings)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setTitle(settings.title);
        writer.setCreator(settings.creator);
        if (!render(report, writer))
            return {};
    }
    QList<std::pair<QByteArray, QString>> info;
    if (!settings.subject.isEmpty())
        info.append({"Subject", settings.subject});
    if (!settings.author.isEmpty())
        info.append({"Author", settings.author});
    if (info.isEmpty())
        return buffer.data();
    return withDocumentInfo(buffer.data(), info);
}

bool writePdf(const PreparedReport &report, const PdfExport &settings)
{
    const QByteArray pdf = pdfDocument(report, settings);
    if (pdf.isEmpty())
        return false;
    // An existing file is replaced only by a whole new one.
    return io::replaceFile(settings.fileName, pdf);
}

} // namespace clinora::report
