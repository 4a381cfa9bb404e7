#pragma once

#include <QString>
#include <QStringList>

// What keeps the practice's data to the practice: who else on the computer
// can reach the data folder, and the settings of the screen lock.
namespace clinora::privacy {

// The data folder itself when other accounts of the computer can list or
// write it, and each archive (patients, results, frequent exams, password)
// they can read or write through it. Empty when all is closed, or where the
// system keeps no such permissions.
QStringList exposedItems(const QString &appFolder);

// A small settings file beside the data: "Clinora-sicurezza.ini".
struct Settings {
    // Minutes without keyboard or mouse before the screens lock; 0: never.
    int lockMinutes = 10;
    // False once the user has asked not to hear about open permissions again.
    bool warnPermissions = true;

    static QString path(const QString &appFolder);
    static Settings load(const QString &appFolder);
    bool save(const QString &appFolder) const;
};

} // namespace clinora::privacy
