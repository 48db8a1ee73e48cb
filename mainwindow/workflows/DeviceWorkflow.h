#pragma once

#include "device/DeviceSession.h"
#include "vault/DeviceSealMemory.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>

#include <functional>

class SecureImageBuffer;
class WorkflowHost;
struct WindowPages;

// One device workflow (open, save, copy, erase, configure, device information, back up, restore): started
// by the window, it drives the pages it needs through WorkflowHost, keeps its own state and its own device
// (its session), and ends with finished() and, after a failure, errorString(). The steps every workflow
// shares are here: the open step, reading, writing and verifying with the progress pages, and the
// failure messages. A transfer result that arrives while the application is locked waits for the unlock
// here, where every result passes.
class DeviceWorkflow : public QObject
{
    Q_OBJECT

public:
    enum Result
    {
        RESULT_SUCCESS,
        RESULT_CANCELLED,
        RESULT_FAILED
    };
    Q_ENUM(Result)

    explicit DeviceWorkflow(WorkflowHost& host);
    // Closes the device if one is still open.
    ~DeviceWorkflow() override;

    virtual void start() = 0;
    // Drops the workflow's page connections and closes its device: another workflow takes over.
    void abandon();

    bool isFinished() const;
    Result result() const;
    // The failure the user was shown, empty unless the result is RESULT_FAILED.
    QString errorString() const;
    // The device the workflow holds open now, null when none.
    const Device* device() const;
    // The device the vault on screen came from: chosen for the user on the device selection page, unless
    // the workflow names another.
    void setVaultDeviceUsbSerialNumber(const QString& usbSerialNumber);

    // Locking: writeSecrets() writes what the workflow holds in clear (a password typed for a device, a
    // decrypted image) into the window's sealed state and wipeSecrets() zero-fills it; restoreSecrets() reads
    // it back after the unlock, before any step that waited for it. Nothing by default.
    virtual void writeSecrets(QDataStream& stream) const;
    virtual void wipeSecrets();
    virtual void restoreSecrets(QDataStream& stream);

Q_SIGNALS:
    void finished(DeviceWorkflow::Result result);

protected:
    using Step = std::function<void()>;

    const WindowPages& pages() const;
    WorkflowHost& host;
    DeviceSession session;
    QString vaultDeviceUsbSerialNumber;

    // The open step: the only connected device, or the device selection page (preferredUsbSerialNumber
    // preselected). opened runs once the session holds the open device. A failed open shows its message
    // and calls failed; a cancelled selection calls cancelled.
    void openDevice(const Step& opened, const Step& failed, const Step& cancelled,
                    const QString& preferredUsbSerialNumber = QString());
    // The reading master password page: entered runs with the password typed (the caller zero-fills its
    // copies), cancelled when the user cancelled.
    void askReadingPassword(const std::function<void(const QString& password)>& entered,
                            const Step& cancelled);
    // Reads both memories of the session's device into its buffers with the read page; read runs after a
    // success, failed after the failure was shown and the device closed.
    void readDevice(const Step& read, const Step& failed);
    // As readDevice(), but only the first time: once the memories were read, read runs at once. A second
    // master password after a wrong one decrypts the images already read (they stay encrypted in the
    // device buffers until the device closes, which zero-fills them).
    void readDeviceOnce(const Step& read, const Step& failed);
    // Writes the session's device's buffers with the write page (main memory verified before the backup
    // memory is written), then reads both memories back with the read page and compares them with what was
    // written. written runs after a verified write, failed after the failure was shown and the device
    // closed, told whether the memories were found not to hold what was written.
    // writtenSeal is the seal of what is written to writtenDevice: this computer records it for the device
    // only once the write is verified, so that a failed write leaves the record of the vault still there.
    void writeAndVerifyDevice(const VaultSeal& writtenSeal, const DeviceIdentity& writtenDevice,
                              const Step& written,
                              const std::function<void(bool isVerificationFailure)>& failed);

    enum WrongPasswordHandling
    {
        // A wrong password is a failure: its message is shown and the device closed.
        WRONG_PASSWORD_FAILS,
        // A wrong password keeps the device open, with the images read, and puts the error on the reading
        // master password page: the caller asks again (isReadingPasswordWrong()).
        WRONG_PASSWORD_ASKED_AGAIN
    };

    // Chooses between the memories read (asking when they differ, once for all the passwords tried on
    // them) and decrypts the chosen one with password, trying every format version on a working copy; the
    // seal judgement as on opening. Returns the device buffer that now holds the plaintext, or null after
    // the failure was shown (the device is then closed), the user declined, or a wrong password is to be
    // asked again.
    uint8_t* decryptDeviceImage(const QString& password,
                                WrongPasswordHandling wrongPasswordHandling = WRONG_PASSWORD_FAILS);
    // Whether the last decryptDeviceImage() found the password wrong and left the device open for another.
    bool isReadingPasswordWrong() const;
    // The seal of the vault last decrypted by decryptDeviceImage(), as judged and accepted.
    const VaultSeal& openedSeal() const;
    // The question to ask for a seal judged MODIFIED (modifiedText) or OLDER (olderText, %1 the time this
    // computer recorded the device's newest vault); empty when nothing needs asking.
    static QString sealQuestion(VaultSealVerdict verdict, const DeviceIdentity& device,
                                const QString& modifiedText, const QString& olderText);

    // Shows an error message, closes the device and keeps text as errorString().
    void showFailure(const QString& text, const QString& title = QString());
    // Closes the device and reports the end, once.
    void finish(Result result);
    // RESULT_FAILED when a failure was shown since the last decryption or open step, RESULT_CANCELLED when
    // the user declined.
    void finishUnsuccessfully();
    // A secure buffer in a sealed state: its size, then its bytes (none for an empty one).
    static void writeSecureImage(QDataStream& stream, const SecureImageBuffer& image);
    static void readSecureImage(QDataStream& stream, SecureImageBuffer& image);
    // Connections the workflow makes to the shared pages go through here, so that abandon() can drop them.
    void track(const QMetaObject::Connection& connection);

private:
    void onDeviceSelected(bool isSelected, const Step& opened, const Step& cancelled);

    VaultSeal _openedSeal;
    // The memories read are in the device buffers, still encrypted.
    bool areMemoriesRead = false;
    // The memory the user chose when they differ (-1 before asking), for every password tried on them.
    int chosenMemoryIndex = -1;
    bool _isReadingPasswordWrong = false;
    bool _isFinished = false;
    Result _result = RESULT_CANCELLED;
    QString _errorString;
    QList<QMetaObject::Connection> connections;
};
