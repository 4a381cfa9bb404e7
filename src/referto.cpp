// clinora-referto FILE: reads a laboratory report as the import screen does
// and prints what it read. First line: the patient's fiscal code and name;
// then one line per row, the ten columns separated by tabs. A file that is
// refused gives its message and a non-zero exit. Nothing is written anywhere.

#include "analyses/LabReport.h"
#include "pdftext/PdfText.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

void put(FILE *out, const QString &line) { std::fputs((line + u'\n').toUtf8().constData(), out); }

// One cell on one line: tabs and line breaks inside a value become blanks.
QString cell(QString s)
{
    for (QChar &c : s)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 || args[1].startsWith(u'-')) {
        put(stderr, u"Uso: clinora-referto FILE"_s);
        put(stderr, u"Legge un referto di laboratorio (XML, HL7 o PDF) e ne stampa le righe separate da "
                    u"tabulazioni."_s);
        return 2;
    }
    const pdftext::PopplerSource pdf;
    const referto::Reading reading = referto::readReportFile(args[1], &pdf);
    if (!reading.report) {
        QString message = reading.message;
        message.replace(u"\n\r"_s, u"\n"_s);
        put(stderr, message);
        return 1;
    }
    const referto::LabReport &r = *reading.report;
    put(stdout, cell(r.fiscalCode) + u'\t' + cell(r.patientName));
    for (const referto::ReportRow &row : r.rows) {
        QStringList cols = referto::rowColumns(row);
        for (QString &c : cols)
            c = cell(c);
        put(stdout, cols.join(u'\t'));
    }
    return 0;
}
