#pragma once

// Helpers for the device workflows of the main window against simulator processes: encrypted vault
// images, simulated devices holding them, and the pages of the workflows answered through their widgets.

#include "support/SimulatorProcess.h"
#include "vault/VaultTab.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

class FormContentEditor;
class QAction;

namespace deviceworkflowtest
{
// A vault encrypted under password as the application saves it (random filler, format version 1), its
// seal carrying saveCounter.
QByteArray encryptVault(const Vault& vault, const QString& password, quint64 saveCounter = 0);
// The same without the seal, as software that knows nothing of it saves a vault.
QByteArray encryptVaultWithoutSeal(const Vault& vault, const QString& password);
// Where byte plaintextOffset of the vault encoding lies in a stored image (format version 1).
int storedOffsetOfPlaintext(int plaintextOffset);
// The vault of an image, or an empty vault with isDecrypted false when password does not fit.
Vault decryptVault(const QByteArray& image, const QString& password, bool* isDecrypted = nullptr);

// A directory of simulated-port files that the enumeration lists (set as CORVANE_DEVICE_DIR while alive).
class DeviceDirectory
{
public:
    DeviceDirectory();
    ~DeviceDirectory();
    QString path() const;

private:
    QTemporaryDir directory;
};

// Starts a simulator registered in directory whose memories hold mainImage and backupImage (an empty
// backupImage: the same as mainImage; both empty: the zero-filled memories of a new device).
bool startDevice(SimulatorProcess& simulator, const DeviceDirectory& directory,
                 const QString& usbSerialNumber, const QString& name,
                 const QByteArray& mainImage = QByteArray(), const QByteArray& backupImage = QByteArray(),
                 const QStringList& extraArguments = QStringList());

// The requests of a log that are not the given one (the LED stop of a close, for example).
QStringList requestsOtherThan(const QStringList& requestLog, const QString& request);
// True when the log holds a memory selection or a block write: something was about to be written.
bool hasWriteRequest(const QStringList& requestLog);

QAction* action(FormContentEditor* window, const char* objectName);
// The two entries of the "Save" button's menu.
QAction* saveAction(FormContentEditor* window);
QAction* changePasswordThenSaveAction(FormContentEditor* window);

// On the reading master password page: types the password and presses OK. False when the page did not come.
bool enterReadingPassword(FormContentEditor* window, const QString& password);
// On the writing master password page: types the password in both fields and presses OK.
bool enterWritingPassword(FormContentEditor* window, const QString& password);
// Runs the event loop until predicate holds; false after timeoutMilliseconds. Unlike QTest::qWaitFor, which
// sleeps between rounds of events, the loop runs without pause, so that the progress pages' zero-interval
// steps go at the application's pace.
bool waitUntil(const std::function<bool()>& predicate, int timeoutMilliseconds = 30000);
// Waits until the window shows the page.
bool waitForPage(FormContentEditor* window, int viewId);
// Waits for the message box page and returns its frame title and text ("title|text").
QString waitForMessage(FormContentEditor* window);
// The rows of the device selection page, as shown.
QStringList deviceListTexts(FormContentEditor* window);
// How the selection page names a device: its name, and "Serial number <usbSerialNumber>" below.
QString deviceRowText(const QString& name, const QString& usbSerialNumber);
// On the device selection page: clicks the row of the device of that USB serial number once it is listed,
// then Select. False when the page or the device did not come.
bool chooseDevice(FormContentEditor* window, const QString& usbSerialNumber);
// Opens the only connected device with password through "Open Corvane..." up to the vault editor; false
// when the editor did not come back.
bool openVault(FormContentEditor* window, const QString& password);

// Locks the window (as Ctrl+L does) as soon as the progress page of progressViewId has moved. The master
// password must be known by then.
void lockWhenProgressMoves(FormContentEditor* window, int progressViewId);
// Waits until the transfer of progressViewId has ended behind the locked page: true when it has and the
// locked page is still in front, with nothing shown over it.
bool waitForTransferBehindLock(FormContentEditor* window, int progressViewId);
// Types password on the locked page and presses Unlock; true when the window is unlocked.
bool unlockWindow(FormContentEditor* window, const QString& password);
} // namespace deviceworkflowtest
