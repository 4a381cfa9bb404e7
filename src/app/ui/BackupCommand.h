#pragma once

#include "app/Backup.h"

#include <QString>

class QWidget;

// The start menu's backup and restore commands: the questions, the progress
// display and the messages around the backup of the data folder.
namespace clinora {

class ScreenContext;

namespace backupui {

// "Backup": asks for the folder the first time (and whenever the user wants
// another or it is missing), writes and checks the backup, and records it.
// `encrypted`: the passphrase is asked for (typed twice) and the backup is
// encrypted with it. True when a complete, verified backup was made.
bool makeBackup(ScreenContext &ctx, QWidget *owner, bool encrypted = false);

// A restore cut short (a crash, a power cut) is finished or undone, and the
// user told what was done. False when it could be neither, the folder then
// being no fit place for a backup or a restore. At start, and before every
// backup and restore.
bool finishInterruptedRestore(ScreenContext &ctx, QWidget *owner);

// "Ripristino": the backup chosen is checked whole, the user confirms, the
// current data go into a backup of their own, then the data are replaced.
// True when the data were replaced.
bool restoreBackup(ScreenContext &ctx, QWidget *owner);

// The start menu's quiet reminder, or empty when a recent backup exists.
QString reminderText(const backup::Settings &s, const QDateTime &now);
// When and where the last verified backup was made, for the information screen.
QString lastBackupText(const backup::Settings &s);
// A size as the messages show it: "12,3 MB".
QString sizeText(qint64 bytes);

} // namespace backupui
} // namespace clinora
