#pragma once

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <vector>

class QWidget;

// The report engine: templates of named objects laid out on A4 pages, filled
// by the program, prepared into pages, then printed or written to PDF.
// Every position and size is in report units, 96 to the inch.
namespace clinora {

class PrintSeam;

// What printing or writing a PDF came to, in the words the user is to be
// shown: nothing, a warning or an error. The screens show it.
struct ReportNotice {
    enum class Kind { None, Warning, Error };
    Kind kind = Kind::None;
    QString text;
};

namespace units {
inline constexpr double kPerInch = 96.0;
inline constexpr double kPerMm = kPerInch / 25.4;
constexpr double mm(double millimetres) { return millimetres * kPerMm; }
constexpr double fromPoints(double points) { return points * kPerInch / 72.0; }
// A rectangle given in millimetres, in report units.
inline QRectF mmRect(double left, double top, double width, double height)
{
    return QRectF(mm(left), mm(top), mm(width), mm(height));
}
} // namespace units

enum class ObjectKind { Text, Picture, Line, Shape, Band };

struct FontSpec {
    QString family;
    double pointSize = 10;
    bool bold = false;
    QColor color = Qt::black;
};

struct TextLook {
    QColor fill;                 // invalid: transparent
    FontSpec font;
    Qt::Alignment hAlign = Qt::AlignLeft;   // AlignLeft or AlignHCenter
    Qt::Alignment vAlign = Qt::AlignTop;    // AlignTop or AlignVCenter
    bool wordWrap = false;
    // "[DATE]" becomes the date of printing, in the template's own text only:
    // a text the program writes in (names, results, notes from the
    // archive) always prints as it is.
    bool expressions = false;
    // A text on the page (outside any band) that does not fit its frame is
    // never cut silently: wrapped inside the frame where its height allows,
    // set smaller down to 8 points, or else cut with "(continua)" at the cut
    // and printed whole after the page, under the object's caption.
    bool neverCut = false;
    // Distance from one line to the next; 0 takes the font's own line spacing.
    // A text with a fixed pitch may split between pages at a line boundary.
    double linePitch = 0;
};

struct ShapeLook {
    QColor fill;                 // invalid: not filled
    QColor border = Qt::black;   // invalid: no border
    double borderWidth = 1;
};

struct LineLook {
    QColor color = Qt::black;
    double width = 1;
    // Horizontal: along the top edge, as long as the width. Vertical: along
    // the left edge, as long as the height.
    Qt::Orientation orientation = Qt::Horizontal;
};

// An object or a band: what FindObject returns.
class ReportComponent {
public:
    virtual ~ReportComponent() = default;
    ReportComponent(const ReportComponent &) = delete;
    ReportComponent &operator=(const ReportComponent &) = delete;

    const QString &name() const { return m_name; }
    ObjectKind kind() const { return m_kind; }

protected:
    ReportComponent(QString name, ObjectKind kind) : m_name(std::move(name)), m_kind(kind) {}

private:
    QString m_name;
    ObjectKind m_kind;
};

// An object with a frame relative to its band, or to the printable area of
// the page when it lies outside any band.
class ReportObject : public ReportComponent {
public:
    const QRectF &frame() const { return m_frame; }
    double height() const { return m_frame.height(); }
    void setHeight(double height) { m_frame.setHeight(height); }

protected:
    ReportObject(QString name, ObjectKind kind, const QRectF &frame)
        : ReportComponent(std::move(name), kind), m_frame(frame) {}

private:
    QRectF m_frame;
};

class TextObject : public ReportObject {
public:
    TextObject(QString name, const QRectF &frame, const TextLook &look, const QString &text);

    // The whole text; line breaks (CR LF, LF or CR) separate its lines.
    void setText(const QString &text);
    QString text() const { return m_lines.join(u'\n'); }
    void clearLines()
    {
        m_lines.clear();
        m_templateText = false;
    }
    void addLine(const QString &line)
    {
        m_lines.append(line);
        m_templateText = false;
    }
    // True while the text is still the one the template was made with, the
    // only text whose expressions are done.
    bool isTemplateText() const { return m_templateText; }
    qsizetype lineCount() const { return m_lines.size(); }
    const QStringList &lines() const { return m_lines; }

    const TextLook &look() const { return m_look; }
    TextLook &look() { return m_look; }

    // What the continuation of a cut text calls it ("Allergie e intolleranze:").
    const QString &caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }

private:
    TextLook m_look;
    QString m_caption;
    QStringList m_lines;
    bool m_templateText = true;
};

class PictureObject : public ReportObject {
public:
    // `png` is the embedded picture, drawn into the frame keeping its proportions.
    PictureObject(QString name, const QRectF &frame, const QByteArray &png);
    const QImage &image() const { return m_image; }

private:
    QImage m_image;
};

class LineObject : public ReportObject {
public:
    LineObject(QString name, const QRectF &frame, const LineLook &look)
        : ReportObject(std::move(name), ObjectKind::Line, frame), m_look(look) {}
    const LineLook &look() const { return m_look; }

private:
    LineLook m_look;
};

class ShapeObject : public ReportObject {
public:
    ShapeObject(QString name, const QRectF &frame, const ShapeLook &look)
        : ReportObject(std::move(name), ObjectKind::Shape, frame), m_look(look) {}
    const ShapeLook &look() const { return m_look; }

private:
    ShapeLook m_look;
};

class ReportTemplate;

// Where objects live: a band, or the page outside any band.
class ObjectHolder {
public:
    virtual ~ObjectHolder() = default;

    TextObject &addText(const QString &name, const QRectF &frame, const TextLook &look,
                        const QString &text = QString());
    PictureObject &addPicture(const QString &name, const QRectF &frame, const QByteArray &png);
    LineObject &addLine(const QString &name, const QRectF &frame, const LineLook &look = {});
    ShapeObject &addShape(const QString &name, const QRectF &frame, const ShapeLook &look);

    const std::vector<std::unique_ptr<ReportObject>> &objects() const { return m_objects; }

protected:
    explicit ObjectHolder(ReportTemplate &owner) : m_owner(owner) {}

private:
    template <class T, class... Args>
    T &add(Args &&...args);

    std::vector<std::unique_ptr<ReportObject>> m_objects;

protected:
    ReportTemplate &m_owner;
};

class Band : public ReportComponent, public ObjectHolder {
public:
    enum class Type {
        ReportTitle, // once, at the top of the report
        MasterData,  // once; may continue over as many pages as it needs
        Footer,      // once, directly below the band before it
    };
    Band(ReportTemplate &owner, QString name, Type type, double height)
        : ReportComponent(std::move(name), ObjectKind::Band), ObjectHolder(owner), m_type(type),
          m_height(height) {}

    Type type() const { return m_type; }
    double height() const { return m_height; }
    void setHeight(double height) { m_height = height; }

private:
    Type m_type;
    double m_height;
};

// Page 1 of a template: A4 paper, an orientation, margins, the objects that
// lie on it outside any band, and the bands in the order they print.
class ReportPage : public ObjectHolder {
public:
    explicit ReportPage(ReportTemplate &owner) : ObjectHolder(owner) {}

    QString name;
    QPageLayout::Orientation orientation() const { return m_orientation; }
    void setOrientation(QPageLayout::Orientation o) { m_orientation = o; }
    // The paper in report units, turned by the orientation.
    QSizeF paperSize() const;
    double margin = units::mm(10); // on every side
    QRectF printableArea() const;
    // The heading of the continuation where texts cut on the page are
    // printed whole; empty: the template's name.
    QString continuationTitle;

    Band &addBand(const QString &name, Band::Type type, double height);
    const std::vector<std::unique_ptr<Band>> &bands() const { return m_bands; }

private:
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    std::vector<std::unique_ptr<Band>> m_bands;
};

// One object placed on a prepared page: its frame in report units from the
// top left corner of the paper, and what it draws there.
struct PreparedItem {
    QString name;
    ObjectKind kind = ObjectKind::Text;
    QRectF frame;
    QStringList lines; // text: the lines that fall on this page, expressions done
    TextLook text;
    ShapeLook shape;
    LineLook line;
    QImage picture;
};

struct PreparedPage {
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QSizeF paperSize; // report units
    QList<PreparedItem> items;

    // The item of that name on this page, or nullptr.
    const PreparedItem *find(QStringView name) const;
};

struct PreparedReport {
    QString name; // the print job's name
    QList<PreparedPage> pages;
};

// Settings of one PDF export: no dialog, no progress, an existing file is
// replaced without asking. Pictures keep their own pixels (a picture with
// transparency is stored losslessly).
struct PdfExport {
    QString fileName;
    QString title;
    QString subject;
    QString author;
    QString creator = QStringLiteral("Clinora");
};

class ReportTemplate {
public:
    explicit ReportTemplate(const QString &name);
    ~ReportTemplate();
    ReportTemplate(const ReportTemplate &) = delete;
    ReportTemplate &operator=(const ReportTemplate &) = delete;

    // Also the name of the print job in the system's print queue.
    const QString &name() const { return m_name; }
    ReportPage &page1() { return m_page; }
    const ReportPage &page1() const { return m_page; }

    // The object or band of that name anywhere in the template, or nullptr.
    ReportComponent *FindObject(QStringView name) const;
    // The text object or band of that name; the program names only objects
    // that exist, so a wrong name is a fault of the program itself.
    TextObject &text(QStringView name);
    Band &band(QStringView name);
    const TextObject &text(QStringView name) const;
    const Band &band(QStringView name) const;

    // Lays the template out in its current state into pages, `now` being the
    // moment of printing; with clearPrevious the pages prepared before go.
    void PrepareReport(const QDateTime &now, bool clearPrevious = true);
    const PreparedReport &prepared() const { return m_prepared; }

    // Prints the prepared pages through the print dialog. With no printer the
    // engine says so and prints nothing; a cancelled dialog prints nothing. A
    // printer that refuses or holds jobs, and a send that fails, are said.
    ReportNotice Print(PrintSeam *printing, QWidget *owner) const;
    // Writes the prepared pages to the PDF file the settings name, replacing
    // it only once the new file is whole. On failure the notice is the
    // engine's own error message.
    ReportNotice Export(const PdfExport &settings) const;

private:
    friend class ObjectHolder;
    friend class ReportPage;
    void registerName(const QString &name, ReportComponent *component);

    QString m_name;
    ReportPage m_page;
    QList<std::pair<QString, ReportComponent *>> m_index;
    PreparedReport m_prepared;
};

} // namespace clinora
