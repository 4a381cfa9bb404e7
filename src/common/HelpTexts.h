#pragma once

#include <QList>
#include <QString>

// The help topics shown by the help screen, and printed into Guida.pdf.
namespace clinora::help {

enum class TopicId {
    Overview,       // start menu
    Patients,       // patient card
    AnalysesMenu,   // analyses entry screen
    AnalysisCard,   // analysis card
    Summary,        // results summary view
    PatientExport,  // patient archive export
    AnalysesExport, // analysis archive export
    Backup,         // backup and restore of the data (start menu)
    ReportImport,   // laboratory report import
    Privacy,        // who can reach the data, slowed logins, the lock screen
};

struct Topic {
    QString title; // shown in the help screen's title line
    QString text;  // paragraphs joined by CR LF CR LF
};

Topic topic(TopicId id);
// Every topic, in the order of the user guide.
QList<TopicId> allTopics();

// Paragraph separator of every help text.
inline constexpr QStringView kParagraphBreak = u"\r\n\r\n";

} // namespace clinora::help
