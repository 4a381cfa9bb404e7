#pragma once

#include <QString>
#include <QStringView>

// The files a card names: three attachments kept in one folder shared by all
// cards, and the document folder of a stored patient. A card stores only a
// file's bare name; everything here makes sure that a name, however it was
// stored, can only ever mean a file inside the attachments folder.
namespace clinora::attachments {

// AppFolder/Documenti_Allegati
inline constexpr QStringView kFolderName = u"Documenti_Allegati";
// What a card's file-name field can hold (PatientRecord and AnalysisRecord).
inline constexpr int kStoredNameLength = 250;

QString folderPath(const QString &appFolder);

// The file a stored name refers to, by its last path component alone:
// "../../x", "C:\dir\x" and "x" all mean "x". Blanks are trimmed. A name that
// has no file name at its end ("", "..", "dir/") gives an empty result.
QString bareName(QStringView stored);

// AppFolder/Documenti_Allegati/<bare name>, or empty when the name has none.
// When no file has exactly that name but one differs from it only in case,
// that one: a folder brought from Windows finds its names regardless of case.
QString filePath(const QString &appFolder, QStringView stored);

// The name under which a chosen file is attached: its bare name, made to
// survive being stored in a card. A character that the stored text cannot
// hold becomes its closest letter there, as any stored text (č → c), or "_"
// where none fits; a name too long for the field is shortened before its
// extension. Otherwise the name is the file's own.
QString storableName(QStringView chosenFileName);

// Creates AppFolder/Documenti_Allegati when missing.
bool ensureFolder(const QString &appFolder);

// True when both paths name one existing file (a file chosen from the
// attachments folder itself).
bool sameFile(const QString &a, const QString &b);

// Copies `source` to `target`, replacing a file there, in chunks through a
// temporary file beside the target that takes the target's place only once
// it is whole: a failure at any step leaves the target as it was. The copy
// keeps the source's modification time.
bool copyFile(const QString &source, const QString &target);

} // namespace clinora::attachments

namespace clinora {

// AppFolder/Paziente_<n> for a record number given as text (the CallerTag of
// the folder dialog), or empty when the text is not a record number.
QString patientFolderPath(const QString &appFolder, QStringView recordNumber);

} // namespace clinora
