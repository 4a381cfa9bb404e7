#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <QSize>

class QPainter;

// The program's pictures, drawn in code so that they stay sharp at any size.
namespace clinora::art {

enum class Glyph {
    None,
    New,       // a blank sheet with a plus
    Duplicate, // two sheets
    Save,      // a floppy disk
    Attach,    // a paper clip
    Folder,
    Find,      // a magnifier
    Print,
    Pdf,
    Recontact, // a telephone receiver with an arrow
    Export,    // a spreadsheet
    Help,      // a question mark in a circle
    Exit,      // a door with an arrow
    First, Previous, Next, Last,
    Info,      // an "i" in a circle
    Mail,      // an envelope
    Globe,
    Tick,      // a green tick
    Eraser,
    Calendar,
    Warning,   // a danger triangle
    Doctor,    // a doctor examining a patient
    Phone,     // a telephone
    HealthCard,
    Anatomy,   // a human figure
    Call,      // a doctor on the telephone
    At,        // the at-sign
    Booklet,
    Chart,
    Flask,     // laboratory analyses
    Registry,  // patient registry (people)
    Summary,   // results summaries (a chart over a sheet)
    Close,     // a cross in a circle
    Copyright,
    Key,
    ArrowDown,
    ArrowUp,
    Import,    // list with an arrow into the card
    ArrowRight,
    Syringe,
    TestTube,  // a test tube with a sample in a rack
    Calculator, // a pocket calculator
};

// Draws `glyph` fitted and centred in `r`.
void drawGlyph(QPainter &p, const QRectF &r, Glyph glyph);
QPixmap glyphPixmap(Glyph glyph, QSize size, qreal dpr = 1.0);

// The product logo: a medical cross in a rounded tile and the word "Clinora",
// with an optional line beneath the name.
void drawLogo(QPainter &p, const QRectF &r, const QString &tagline = QString(), bool onDark = false);
QPixmap logoPixmap(QSize size, const QString &tagline = QString());
// The logo's square tile alone.
void drawLogoTile(QPainter &p, const QRectF &r);

// A small yellow document folder (the patient card printout's logo).
QImage folderImage(QSize size);

// Vertical gradient used behind the working areas and boards.
void fillGradient(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom,
                  Qt::Orientation o = Qt::Vertical);

namespace colors {
inline const QColor steelBlue{70, 130, 180};
inline const QColor hintBlue{0x0D, 0x0D, 0xCD};
inline const QColor hintBlueAnalyses{0x30, 0x30, 0xDD};
inline const QColor slateBlue{106, 90, 205};
inline const QColor board{0xC3, 0xD0, 0xDE};
inline const QColor band{0xE7, 0xEF, 0xF7};
inline const QColor linkBlue{0x00, 0x00, 0x8B};
inline const QColor linkPressed{0xFF, 0xA5, 0x00};
inline const QColor crimson{220, 20, 60};
} // namespace colors

} // namespace clinora::art
