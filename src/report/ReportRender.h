#pragma once

#include <QList>
#include <QString>

class QPagedPaintDevice;

namespace clinora {

struct PreparedReport;
struct PdfExport;

namespace report {

// Draws prepared pages on a paged device (a printer or a PDF writer) whose
// painter starts at the paper's top left corner. `pages` are 0-based page
// numbers; empty means every page. False when the device cannot be painted.
bool render(const PreparedReport &report, QPagedPaintDevice &device, const QList<int> &pages = {});

// The whole PDF document of a prepared report, with the settings' document
// properties. Empty when it cannot be made.
QByteArray pdfDocument(const PreparedReport &report, const PdfExport &settings);

// Writes the PDF document to settings.fileName through a temporary file
// beside it, renamed over the old file only once the new one is whole.
bool writePdf(const PreparedReport &report, const PdfExport &settings);

} // namespace report
} // namespace clinora
