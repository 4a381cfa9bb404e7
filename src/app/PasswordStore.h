#pragma once

#include "common/ProgramFiles.h"

#include <QString>

#include <optional>

// The password file: an INI text file, section "Accesso", key "Valore",
// holding the scrambled password as hexadecimal text.
namespace clinora {

class PasswordStore {
public:
    explicit PasswordStore(QString appFolder);

    QString path() const;

    // The stored value, or empty when the file, section or key is missing;
    // nullopt when the file exists but cannot be read, `busy` (when given)
    // then telling whether it was held by another computer for the whole wait.
    std::optional<QString> readStoredValue(bool *busy = nullptr) const;
    // Sets the value, keeping the rest of the file. The file is replaced as a
    // whole (written aside, synced, renamed), so a crash leaves either the
    // old password or the new one.
    bool writeStoredValue(const QString &hex) const;

private:
    QString m_appFolder;
};

// The password file held by another computer for the whole wait.
inline constexpr QStringView kPasswordInUse =
    u"Attenzione: il file della password è in uso su un'altra postazione. Riprovare tra qualche istante.";

// The password file cannot be read or unscrambled (login, lock screen).
inline constexpr QStringView kPasswordUnreadable =
    u"Attenzione: si è verificato un errore durante la procedura di lettura della password. Si consiglia di "
    u"reinstallare il software.";

// Section and key looked up without regard to case, as INI readers do.
QString iniValue(const QString &iniText, QStringView section, QStringView key);
// The INI text with the key set, adding section and key where missing.
QString iniWithValue(const QString &iniText, QStringView section, QStringView key,
                     const QString &value);

namespace password {

// What the screens compare and store: a-z turned into A-Z, then trimmed.
QString normalized(QStringView typed);
// The comparison rule of the login: the stored password, trimmed, equals the
// typed one upper-cased (a-z only) and trimmed.
bool matches(QStringView storedPlain, QStringView typed);
// A new password that scrambling cannot keep intact: over 255 characters, or
// a character above code 255.
bool storable(QStringView normalizedPassword);

// What a typed password meets in the password file of `appFolder`: the
// login, the change of password and the lock screen all ask this.
enum class Check {
    Right,
    Wrong,
    InUse,      // held by another computer for the whole wait (kPasswordInUse)
    Unreadable, // the file cannot be read or unscrambled
};
Check check(const QString &appFolder, QStringView typed);

} // namespace password

} // namespace clinora
