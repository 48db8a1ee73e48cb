#pragma once

#include <QString>

// What the window knows about the vault it shows: its master password, whether it has unsaved changes and
// which device it belongs to. The master password is zero-filled whenever it is replaced or dropped.
class VaultSessionState
{
public:
    VaultSessionState() = default;
    ~VaultSessionState();
    VaultSessionState(const VaultSessionState&) = delete;
    VaultSessionState& operator=(const VaultSessionState&) = delete;

    const QString& masterPassword() const;
    // The vault shown can be encrypted (saved) and the application locked with the master password.
    bool isMasterPasswordKnown() const;
    // Takes password as the master password of the vault shown, zero-filling the previous one; isKnown
    // tells whether the vault can now be saved and locked with it.
    void replaceMasterPassword(const QString& password, bool isKnown);

    // Zero-fills the master password; the vault shown then has none.
    void clear();

    bool isDataModified = false;
    // The USB serial number of the device the vault shown was opened from or last saved to.
    QString deviceUsbSerialNumber;
    // The save counter of the vault shown (0 without seal); its next save carries a higher one.
    quint64 saveCounter = 0;
    // The vault shown was opened without an integrity seal.
    bool isSealMissing = false;

private:
    QString _masterPassword;
    bool _isMasterPasswordKnown = false;
};
