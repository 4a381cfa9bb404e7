#include "report/ReportTemplate.h"

#include "common/CommonSettings.h"
#include "report/PrintSeam.h"
#include "report/ReportMessages.h"
#include "report/ReportRender.h"
#include "report/TextFit.h"

#include <QPageSize>

#include <cmath>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

// Positions are sums of millimetre conversions: compare them with a little slack.
constexpr double kEps = 1e-6;

QStringList splitLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QString normal = text;
    normal.replace(u"\r\n"_s, u"\n"_s);
    normal.replace(u'\r', u'\n');
    return normal.split(u'\n');
}

// Only the expressions the engine knows are replaced; any other text between
// brackets (an exam called "Emoglobina [HbA1c]") prints as it is written.
QString expand(const QString &line, const QDateTime &now)
{
    static const QString kDate = u"[DATE]"_s;
    if (!line.contains(u'['))
        return line;
    QString out = line;
    out.replace(kDate, settings::formatDate(now.date()), Qt::CaseInsensitive);
    return out;
}

double pitchOf(const ReportObject &o)
{
    if (o.kind() != ObjectKind::Text)
        return 0;
    return static_cast<const TextObject &>(o).look().linePitch;
}

class Layout {
public:
    Layout(const ReportPage &page, const QString &name, const QDateTime &now)
        : m_page(page), m_name(name), m_now(now), m_printable(page.printableArea()) {}

    QList<PreparedPage> run()
    {
        newPage();
        for (const auto &band : m_page.bands())
            placeBand(*band);
        if (!m_cuts.isEmpty())
            placeContinuation();
        return m_pages;
    }

private:
    // A text cut on the page, to be printed whole after it.
    struct Cut {
        QString name, caption, text;
        FontSpec font;
    };

    void newPage()
    {
        const bool first = m_pages.isEmpty();
        PreparedPage p;
        p.orientation = m_page.orientation();
        p.paperSize = m_page.paperSize();
        m_pages.append(p);
        m_y = 0;
        // Objects outside the bands lie on every page.
        for (const auto &o : m_page.objects()) {
            PreparedItem item = makeItem(*o, o->frame().translated(m_printable.topLeft()));
            if (o->kind() == ObjectKind::Text) {
                const auto &t = static_cast<const TextObject &>(*o);
                item.lines = expanded(t, 0, -1);
                if (t.look().neverCut)
                    fit(item, t, first);
            }
            m_pages.last().items.append(item);
        }
    }

    // A text that does not fit its frame set smaller, wrapped, or cut with
    // a mark and noted for the continuation.
    void fit(PreparedItem &item, const TextObject &t, bool noteCut)
    {
        const report::FittedText f = report::fitText(item.lines, item.text, item.frame.size());
        if (f.asDesigned)
            return;
        if (f.cut && noteCut)
            m_cuts.append({t.name(), t.caption().isEmpty() ? t.name() : t.caption(), item.lines.join(u'\n'),
                           t.look().font});
        item.text.font.pointSize = f.pointSize;
        item.text.wordWrap = false;
        item.text.linePitch = f.lines.size() == 1 ? std::min(f.pitch, item.frame.height()) : f.pitch;
        item.lines = f.lines;
    }

    // Every cut text whole, under a heading and its caption: below the
    // last page's content where there is room, else on pages of its own.
    void placeContinuation()
    {
        using units::mm;
        const QRectF area = m_printable;
        const FontSpec headFont{u"Arial"_s, 10, true, Qt::white};
        const FontSpec captionFont{u"Arial"_s, 9, true, Qt::black};
        const double width = area.width();
        const double textWidth = width - 2 * report::kTextPadding;
        const double headPitch = report::lineSpacing(headFont, headFont.pointSize);
        const double captionPitch = report::lineSpacing(captionFont, captionFont.pointSize);
        const QString title = (m_page.continuationTitle.isEmpty() ? m_name : m_page.continuationTitle) +
                              u" (seguito)"_s;
        const QStringList headLines = report::wrapText(title, headFont, headFont.pointSize, textWidth);
        const double headHeight = double(headLines.size()) * headPitch + mm(2);

        double y = area.top();
        for (const PreparedItem &item : m_pages.last().items)
            y = std::max(y, item.frame.bottom());
        y += mm(6);
        auto addText = [this](const QString &name, const QRectF &frame, const FontSpec &font, double pitch,
                              const QStringList &lines, const QColor &fill = QColor()) {
            PreparedItem item;
            item.name = name;
            item.kind = ObjectKind::Text;
            item.frame = frame;
            item.text.font = font;
            item.text.fill = fill;
            item.text.vAlign = Qt::AlignVCenter;
            item.text.linePitch = pitch;
            item.lines = lines;
            m_pages.last().items.append(item);
        };
        auto heading = [&] {
            addText(u"txtSeguito"_s, QRectF(area.left(), y, width, headHeight), headFont, headPitch, headLines,
                    QColor(0x70, 0x80, 0x90));
            y += headHeight + mm(3);
        };
        auto newPage = [&] {
            PreparedPage p;
            p.orientation = m_page.orientation();
            p.paperSize = m_page.paperSize();
            m_pages.append(p);
            y = area.top();
            heading();
        };
        bool headed = false;
        for (const Cut &cut : m_cuts) {
            const FontSpec font{cut.font.family, std::max(10.0, cut.font.pointSize), false, Qt::black};
            const double pitch = report::lineSpacing(font, font.pointSize);
            const QStringList captionLines = report::wrapText(cut.caption, captionFont, captionFont.pointSize, textWidth);
            const double captionHeight = double(captionLines.size()) * captionPitch;
            QStringList lines = report::wrapText(cut.text, font, font.pointSize, textWidth);
            // The heading, the caption and a first line together, or a new page.
            const double need = (headed ? 0 : headHeight + mm(3)) + captionHeight + pitch;
            if (y + need > area.bottom() + kEps)
                newPage();
            else if (!headed)
                heading();
            headed = true;
            addText(u"titSeguito_"_s + cut.name, QRectF(area.left(), y, width, captionHeight), captionFont,
                    captionPitch, captionLines);
            y += captionHeight;
            while (!lines.isEmpty()) {
                qsizetype fits = qsizetype(std::floor((area.bottom() - y + kEps) / pitch));
                if (fits < 1) {
                    newPage();
                    continue;
                }
                fits = std::min(fits, lines.size());
                addText(u"txtSeguito_"_s + cut.name, QRectF(area.left(), y, width, double(fits) * pitch), font,
                        pitch, lines.mid(0, fits));
                lines = lines.mid(fits);
                y += double(fits) * pitch;
            }
            y += mm(3);
        }
    }

    void placeBand(const Band &band)
    {
        const double height = band.height();
        double from = 0;
        for (;;) {
            const double room = m_printable.height() - m_y;
            if (height - from <= room + kEps) {
                placeSlice(band, from, height, true);
                m_y += height - from;
                return;
            }
            if (band.type() != Band::Type::MasterData) {
                // A band that cannot split starts a new page; one taller
                // than a whole page is cut at the paper's edge.
                if (m_y > kEps) {
                    newPage();
                    continue;
                }
                placeSlice(band, from, height, true);
                m_y += height - from;
                return;
            }
            double cut = breakPoint(band, from, from + room);
            if (cut <= from + kEps) {
                if (m_y > kEps) {
                    newPage();
                    continue;
                }
                cut = from + room;
            }
            placeSlice(band, from, cut, false);
            newPage();
            from = cut;
        }
    }

    // Where a band that does not fit must break: at or above `limit`, never
    // through a line of text nor through an object that cannot split.
    double breakPoint(const Band &band, double from, double limit) const
    {
        double cut = limit;
        for (bool changed = true; changed;) {
            changed = false;
            for (const auto &o : band.objects()) {
                const double top = o->frame().top(), bottom = o->frame().bottom();
                if (!(top < cut - kEps && bottom > cut + kEps))
                    continue;
                double c = top;
                if (const double p = pitchOf(*o); p > 0)
                    c = top + std::floor((cut - top) / p + kEps) * p;
                if (c < cut - kEps && c > from + kEps) {
                    cut = c;
                    changed = true;
                }
            }
        }
        return cut;
    }

    // Places the part [from, to) of a band at the current height of the page.
    void placeSlice(const Band &band, double from, double to, bool last)
    {
        const double originY = m_printable.top() + m_y - from;
        for (const auto &o : band.objects()) {
            const QRectF f = o->frame();
            const double p = pitchOf(*o);
            if (p > 0) {
                const double visibleTop = std::max(f.top(), from);
                const double visibleBottom = last ? f.bottom() : std::min(f.bottom(), to);
                const bool startsHere = f.top() >= from - kEps && (f.top() < to - kEps || last);
                if (visibleBottom - visibleTop <= kEps && !startsHere)
                    continue;
                const auto &t = static_cast<const TextObject &>(*o);
                qsizetype first = 0;
                if (from > f.top())
                    first = qsizetype(std::ceil((from - f.top()) / p - kEps));
                qsizetype end = t.lineCount();
                // Lines below the frame are clipped away; in a slice that is
                // not the band's last, only whole lines print.
                end = std::min(end, qsizetype(std::ceil((f.bottom() - f.top()) / p - kEps)));
                if (!last)
                    end = std::min(end, qsizetype(std::floor((to - f.top()) / p + kEps)));
                PreparedItem item = makeItem(
                    *o, QRectF(m_printable.left() + f.left(), originY + visibleTop, f.width(),
                               std::max(0.0, visibleBottom - visibleTop)));
                item.lines = expanded(t, first, end);
                m_pages.last().items.append(item);
                continue;
            }
            const bool inSlice =
                (f.top() >= from - kEps || from <= kEps) && (f.top() < to - kEps || last);
            if (!inSlice)
                continue;
            PreparedItem item = makeItem(*o, f.translated(m_printable.left(), originY));
            if (o->kind() == ObjectKind::Text)
                item.lines = expanded(static_cast<const TextObject &>(*o), 0, -1);
            m_pages.last().items.append(item);
        }
    }

    // Lines [first, end) of a text, expressions done where they are on
    // (end -1: to the last line).
    QStringList expanded(const TextObject &t, qsizetype first, qsizetype end) const
    {
        if (end < 0 || end > t.lineCount())
            end = t.lineCount();
        if (first >= end)
            return {};
        QStringList lines = t.lines().mid(first, end - first);
        // Only the template's own text: what the program wrote in is data.
        if (t.look().expressions && t.isTemplateText()) {
            for (QString &line : lines)
                line = expand(line, m_now);
        }
        return lines;
    }

    static PreparedItem makeItem(const ReportObject &o, const QRectF &frame)
    {
        PreparedItem item;
        item.name = o.name();
        item.kind = o.kind();
        item.frame = frame;
        switch (o.kind()) {
        case ObjectKind::Text:
            item.text = static_cast<const TextObject &>(o).look();
            break;
        case ObjectKind::Picture:
            item.picture = static_cast<const PictureObject &>(o).image();
            break;
        case ObjectKind::Line:
            item.line = static_cast<const LineObject &>(o).look();
            break;
        case ObjectKind::Shape:
            item.shape = static_cast<const ShapeObject &>(o).look();
            break;
        case ObjectKind::Band:
            break;
        }
        return item;
    }

    const ReportPage &m_page;
    QString m_name;
    QDateTime m_now;
    QRectF m_printable;
    QList<PreparedPage> m_pages;
    QList<Cut> m_cuts;
    double m_y = 0; // used height of the current page's printable area
};

} // namespace

TextObject::TextObject(QString name, const QRectF &frame, const TextLook &look, const QString &text)
    : ReportObject(std::move(name), ObjectKind::Text, frame), m_look(look), m_lines(splitLines(text))
{
}

void TextObject::setText(const QString &text)
{
    m_lines = splitLines(text);
    m_templateText = false;
}

PictureObject::PictureObject(QString name, const QRectF &frame, const QByteArray &png)
    : ReportObject(std::move(name), ObjectKind::Picture, frame), m_image(QImage::fromData(png, "PNG"))
{
}

template <class T, class... Args>
T &ObjectHolder::add(Args &&...args)
{
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    T &ref = *object;
    m_owner.registerName(ref.name(), &ref);
    m_objects.push_back(std::move(object));
    return ref;
}

TextObject &ObjectHolder::addText(const QString &name, const QRectF &frame, const TextLook &look,
                                  const QString &text)
{
    return add<TextObject>(name, frame, look, text);
}

PictureObject &ObjectHolder::addPicture(const QString &name, const QRectF &frame, const QByteArray &png)
{
    return add<PictureObject>(name, frame, png);
}

LineObject &ObjectHolder::addLine(const QString &name, const QRectF &frame, const LineLook &look)
{
    return add<LineObject>(name, frame, look);
}

ShapeObject &ObjectHolder::addShape(const QString &name, const QRectF &frame, const ShapeLook &look)
{
    return add<ShapeObject>(name, frame, look);
}

QSizeF ReportPage::paperSize() const
{
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    const QSizeF portrait(units::mm(a4.width()), units::mm(a4.height()));
    return m_orientation == QPageLayout::Portrait ? portrait : portrait.transposed();
}

QRectF ReportPage::printableArea() const
{
    const QSizeF paper = paperSize();
    return QRectF(margin, margin, paper.width() - 2 * margin, paper.height() - 2 * margin);
}

Band &ReportPage::addBand(const QString &name, Band::Type type, double height)
{
    auto band = std::make_unique<Band>(m_owner, name, type, height);
    Band &ref = *band;
    m_owner.registerName(name, &ref);
    m_bands.push_back(std::move(band));
    return ref;
}

const PreparedItem *PreparedPage::find(QStringView name) const
{
    for (const PreparedItem &item : items) {
        if (item.name == name)
            return &item;
    }
    return nullptr;
}

ReportTemplate::ReportTemplate(const QString &name) : m_name(name), m_page(*this) {}

ReportTemplate::~ReportTemplate() = default;

void ReportTemplate::registerName(const QString &name, ReportComponent *component)
{
    if (FindObject(name))
        qFatal("report template %s: the name %s is used twice", qUtf8Printable(m_name), qUtf8Printable(name));
    m_index.append({name, component});
}

ReportComponent *ReportTemplate::FindObject(QStringView name) const
{
    for (const auto &[n, c] : m_index) {
        if (n == name)
            return c;
    }
    return nullptr;
}

const TextObject &ReportTemplate::text(QStringView name) const
{
    return const_cast<ReportTemplate *>(this)->text(name);
}

const Band &ReportTemplate::band(QStringView name) const
{
    return const_cast<ReportTemplate *>(this)->band(name);
}

TextObject &ReportTemplate::text(QStringView name)
{
    ReportComponent *c = FindObject(name);
    if (!c || c->kind() != ObjectKind::Text)
        qFatal("report template %s has no text object %s", qUtf8Printable(m_name), qUtf8Printable(name.toString()));
    return static_cast<TextObject &>(*c);
}

Band &ReportTemplate::band(QStringView name)
{
    ReportComponent *c = FindObject(name);
    if (!c || c->kind() != ObjectKind::Band)
        qFatal("report template %s has no band %s", qUtf8Printable(m_name), qUtf8Printable(name.toString()));
    return static_cast<Band &>(*c);
}

void ReportTemplate::PrepareReport(const QDateTime &now, bool clearPrevious)
{
    if (clearPrevious)
        m_prepared.pages.clear();
    m_prepared.name = m_name;
    m_prepared.pages += Layout(m_page, m_name, now).run();
}

ReportNotice ReportTemplate::Print(PrintSeam *printing, QWidget *owner) const
{
    using Kind = ReportNotice::Kind;
    if (!printing || !printing->hasPrinter())
        return {Kind::Warning, report::msg::kNoPrinter.toString()};
    const PrintOutcome out = printing->print(owner, m_prepared);
    switch (out.kind) {
    case PrintOutcome::Kind::Printed:
    case PrintOutcome::Kind::Cancelled:
        break;
    case PrintOutcome::Kind::NotAccepting:
        return {Kind::Warning, report::msg::printerNotAccepting(out.printer, out.reason)};
    case PrintOutcome::Kind::Stopped:
        return {Kind::Warning, report::msg::printerStopped(out.printer, out.reason)};
    case PrintOutcome::Kind::Failed:
        return {Kind::Error, out.toFile ? report::msg::pdfFailed(out.printer)
                                        : report::msg::printFailed(out.printer, out.reason)};
    }
    return {};
}

ReportNotice ReportTemplate::Export(const PdfExport &settings) const
{
    if (report::writePdf(m_prepared, settings))
        return {};
    return {ReportNotice::Kind::Error, report::msg::pdfFailed(settings.fileName)};
}

} // namespace clinora
