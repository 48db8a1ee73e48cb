// Backing a device up to a file and restoring it through the main window against simulated devices: the
// file holds the device's encrypted image, a restore gives identical memories on another device, and a wrong
// password or a device flagged as no backup target writes nothing. Also the backup status and reminder.
#include "app/Configuration.h"
#include "device/Device.h"
#include "gui/support/EditorTestSupport.h"
#include "gui/support/ModalBoxAnswerer.h"
#include "mainwindow/FormContentEditor.h"
#include "support/DeviceWorkflowSupport.h"
#include "support/DeviceWorkflowTestCase.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"
#include "views/ViewBase.h"

#include <QAction>
#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>

using namespace deviceworkflowtest;
using editortest::makeRecord;

namespace
{
const QString PASSWORD = QStringLiteral("Backup pass 3#");

Vault _deviceVault_helper()
{
    return {VaultTab{"Work", {makeRecord("VPN", "me", "v9N", "vpn.example")}},
            VaultTab{"Home", {makeRecord("Bank", "alex", "q7!R", "https://bank.example", "PIN elsewhere")}}};
}

// Reading selects memories too; only block writes change a device.
bool _hasBlockWrite_helper(const QStringList& requestLog)
{
    return std::any_of(requestLog.cbegin(), requestLog.cend(),
                       [](const QString& line) { return line.startsWith(QLatin1String("A5 04 ")); });
}

QByteArray _fileContent_helper(const QString& filePath)
{
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool _writeFile_helper(const QString& filePath, const QByteArray& content)
{
    QFile file(filePath);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
} // namespace

class TestDeviceBackup : public DeviceWorkflowTestCase
{
    Q_OBJECT

private:
    QTemporaryDir fileDirectory;
    QString proposedBackupPath;

    // The error shown on the reading master password page when it is in front; empty otherwise.
    QString readingPasswordError()
    {
        if (window->currentViewId() != VIEW_ID_INSERT_READING_MASTER_PASSWORD)
            return QString();
        auto* label =
            editortest::child<QLabel>(window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD), "labelError");
        return label->isVisible() ? label->text() : QString();
    }

    // Backs the only connected device up to filePath with password; returns the message ("title|text"),
    // or "<no message>" when the password page came back instead.
    QString backUp(const QString& password, const QString& filePath)
    {
        window->setBackupFileNameAskers(
            [this, filePath](const QString& proposed)
            {
                proposedBackupPath = proposed;
                return filePath;
            },
            nullptr);
        action(window, "actionBackUpDevice")->trigger();
        if (!enterReadingPassword(window, password))
            return QStringLiteral("<no password page>");
        return messageOrPasswordPage();
    }

    // The message that follows a password ("title|text"), or "<no message>" when the password page came
    // back instead.
    QString messageOrPasswordPage()
    {
        waitUntil(
            [this]()
            {
                const int viewId = window->currentViewId();
                return viewId == VIEW_ID_MESSAGE_BOX_DIALOG ||
                       viewId == VIEW_ID_INSERT_READING_MASTER_PASSWORD;
            });
        if (window->currentViewId() == VIEW_ID_INSERT_READING_MASTER_PASSWORD)
            return QStringLiteral("<no message>");
        return waitForMessage(window);
    }

    // Restores filePath with password up to the confirmation question, or the message shown instead.
    QString startRestore(const QString& password, const QString& filePath)
    {
        window->setBackupFileNameAskers(nullptr, [filePath](const QString&) { return filePath; });
        action(window, "actionRestoreDevice")->trigger();
        if (!enterReadingPassword(window, password))
            return QStringLiteral("<no password page>");
        return messageOrPasswordPage();
    }

private Q_SLOTS:
    void init()
    {
        DeviceWorkflowTestCase::init();
        settings->remove(QStringLiteral(CONFIGURATION_GROUP_DEVICE_BACKUPS));
        settings->setValue(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED, true);
    }

    void backupThenRestoreOntoAnotherDeviceGivesIdenticalMemories()
    {
        SimulatorProcess source;
        const QByteArray sourceImage = encryptVault(_deviceVault_helper(), PASSWORD);
        QVERIFY2(startDevice(source, *deviceDirectory, "TZQVR-0001", "Pocket", sourceImage),
                 qPrintable(source.errorString()));
        const QString backupPath = fileDirectory.filePath("pocket.corvane-backup");
        const QString message = backUp(PASSWORD, backupPath);
        QVERIFY2(message.startsWith(QStringLiteral("Backup saved|The device 'Pocket' was backed up to")),
                 qPrintable(message));
        // Devices of the same name propose different files.
        QCOMPARE(QFileInfo(proposedBackupPath).fileName(),
                 QStringLiteral("Pocket TZQVR-0001 %1.corvane-backup")
                     .arg(QDate::currentDate().toString(Qt::ISODate)));
        // Still encrypted: exactly what the device stores, readable by its owner only.
        QCOMPARE(_fileContent_helper(backupPath), sourceImage);
        QCOMPARE(QFileInfo(backupPath).permissions(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                          QFileDevice::ReadUser | QFileDevice::WriteUser);
        QVERIFY(!_hasBlockWrite_helper(source.requestLog()));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QVERIFY(source.stop());

        SimulatorProcess target;
        QVERIFY2(startDevice(target, *deviceDirectory, "TZQVR-0002", "Spare",
                             encryptVault({VaultTab{"Old", {makeRecord("Gone")}}}, "other")),
                 qPrintable(target.errorString()));
        // The device is named with its serial number, and the backup's own device is told apart.
        QCOMPARE(startRestore(PASSWORD, backupPath),
                 QStringLiteral("Confirm restoring device|Restore the backup 'pocket.corvane-backup' to the "
                                "device 'Spare' (serial number TZQVR-0002)?\nAll device current data will be "
                                "overwritten.\nThis backup was made from another device (serial number "
                                "TZQVR-0001)."));
        QVERIFY(!hasWriteRequest(target.requestLog()));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        const QString success = waitForMessage(window);
        QVERIFY2(success.startsWith(QStringLiteral("Restore success|The backup 'pocket.corvane-backup' was "
                                                   "written to the device 'Spare' and verified.")),
                 qPrintable(success));
        QCOMPARE(target.memory(DEVICE_MEMORY_MAIN), sourceImage);
        QCOMPARE(target.memory(DEVICE_MEMORY_BACKUP), sourceImage);
        QVERIFY(!window->workflowDevice());
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));

        // Backed up in turn, the restored device holds the same image: a backup of either is its own.
        const QString sparePath = fileDirectory.filePath("spare.corvane-backup");
        QVERIFY(backUp(PASSWORD, sparePath).startsWith(QStringLiteral("Backup saved|")));
        QCOMPARE(_fileContent_helper(sparePath), sourceImage);
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QCOMPARE(startRestore(PASSWORD, backupPath),
                 QStringLiteral("Confirm restoring device|Restore the backup 'pocket.corvane-backup' to the "
                                "device 'Spare' (serial number TZQVR-0002)?\nAll device current data will be "
                                "overwritten."));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonNo"));

        // A backup this computer did not make is known by the serial number in its proposed name.
        settings->remove(QStringLiteral(CONFIGURATION_GROUP_DEVICE_BACKUPS));
        const QString namedPath = fileDirectory.filePath("Pocket TZQVR-0001 2026-01-31.corvane-backup");
        QVERIFY(QFile::copy(backupPath, namedPath));
        QVERIFY(startRestore(PASSWORD, namedPath)
                    .endsWith(QStringLiteral("overwritten.\nThis backup was made from another device (serial "
                                             "number TZQVR-0001).")));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonNo"));
    }

    // A lock closes the save dialog unanswered: after the unlock it is asked again, and the backup is saved.
    void lockDuringTheFileDialogAsksAgain()
    {
        const QString shownPassword = QStringLiteral("shown vault's password");
        window->setKnownMasterPassword(shownPassword);
        SimulatorProcess source;
        const QByteArray sourceImage = encryptVault(_deviceVault_helper(), PASSWORD);
        QVERIFY(startDevice(source, *deviceDirectory, "TZQVR-0001", "Pocket", sourceImage));
        const QString backupPath = fileDirectory.filePath("after-lock.corvane-backup");
        QStringList proposals;
        window->setBackupFileNameAskers(
            [&](const QString& proposed)
            {
                proposals.append(proposed);
                if (proposals.size() > 1)
                    return backupPath;
                // As a real dialog closed by the lock: no answer.
                action(window, "actionLockApplication")->trigger();
                QTimer::singleShot(0, window, [&]() { unlockWindow(window, shownPassword); });
                return QString();
            },
            nullptr);
        action(window, "actionBackUpDevice")->trigger();
        QVERIFY(enterReadingPassword(window, PASSWORD));
        const QString message = waitForMessage(window);
        QVERIFY2(message.startsWith(QStringLiteral("Backup saved|")), qPrintable(message));
        QCOMPARE(proposals.size(), 2);
        QCOMPARE(proposals.at(1), proposals.at(0));
        QVERIFY(!window->isApplicationLocked());
        QCOMPARE(_fileContent_helper(backupPath), sourceImage);
    }

    void wrongPasswordWritesNothing()
    {
        SimulatorProcess device;
        const QByteArray image = encryptVault(_deviceVault_helper(), PASSWORD);
        QVERIFY2(startDevice(device, *deviceDirectory, "TZQVR-0001", "Pocket", image),
                 qPrintable(device.errorString()));
        // No backup file from a wrong password: the same page asks again, with the error, and the right
        // password then backs up the memories already read.
        const QString wrongPasswordError =
            QStringLiteral("Failed to decrypt data. Make sure you provided the correct password.");
        const QString backupPath = fileDirectory.filePath("wrong.corvane-backup");
        QCOMPARE(backUp("not the password", backupPath), QStringLiteral("<no message>"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QCOMPARE(readingPasswordError(), wrongPasswordError);
        QVERIFY(!QFile::exists(backupPath));
        QVERIFY(enterReadingPassword(window, PASSWORD));
        const QString saved = waitForMessage(window);
        QVERIFY2(saved.startsWith(QStringLiteral("Backup saved|")), qPrintable(saved));
        QCOMPARE(_fileContent_helper(backupPath), image);
        QCOMPARE(device.requestLog().count(QStringLiteral("A5 05")), 2);
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));

        // A restore with a wrong password stops before any device is opened; Cancel ends it.
        const QString filePath = fileDirectory.filePath("other.corvane-backup");
        QFile file(filePath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(encryptVault({VaultTab{"Other", {}}}, "other password"));
        file.close();
        const int requestCount = device.requestLog().size();
        QCOMPARE(startRestore(PASSWORD, filePath), QStringLiteral("<no message>"));
        QCOMPARE(readingPasswordError(), wrongPasswordError);
        QTest::mouseClick(editortest::child<QPushButton>(window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD),
                                                         "pushButtonCancel"),
                          Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(device.requestLog().size(), requestCount);
        QCOMPARE(device.memory(DEVICE_MEMORY_MAIN), image);

        // A file that is not a backup is refused as such.
        QFile notBackup(fileDirectory.filePath("notes.txt"));
        QVERIFY(notBackup.open(QIODevice::WriteOnly));
        notBackup.write("hello");
        notBackup.close();
        window->setBackupFileNameAskers(nullptr, [&](const QString&) { return notBackup.fileName(); });
        action(window, "actionRestoreDevice")->trigger();
        const QString refused = waitForMessage(window);
        QVERIFY2(
            refused.contains(QStringLiteral("is not a memory image: it holds 5 bytes instead of 131072")),
            qPrintable(refused));
        QVERIFY(!_hasBlockWrite_helper(device.requestLog()));
    }

    void restoreChecksTheFileSealAndRecordsWhatItWrote()
    {
        SimulatorProcess device;
        const QByteArray image = encryptVault(_deviceVault_helper(), PASSWORD, 4);
        QVERIFY2(startDevice(device, *deviceDirectory, "TZQVR-0004", "Pocket", image),
                 qPrintable(device.errorString()));

        // The seal marker of a backup destroyed: asked about before any device is touched; No writes nothing.
        QByteArray encoding(MEMORY_IMAGE_SIZE, '\0');
        const int sealOffset = VAULT_CAPACITY - serializeVault(_deviceVault_helper(),
                                                               reinterpret_cast<uint8_t*>(encoding.data()));
        QByteArray stripped = image;
        stripped[storedOffsetOfPlaintext(sealOffset)] =
            static_cast<char>(stripped.at(storedOffsetOfPlaintext(sealOffset)) ^ 0x20);
        const QString strippedPath = fileDirectory.filePath("stripped.corvane-backup");
        QVERIFY(_writeFile_helper(strippedPath, stripped));
        {
            ModalBoxAnswerer answerer(QMessageBox::No);
            window->setBackupFileNameAskers(nullptr, [&](const QString&) { return strippedPath; });
            action(window, "actionRestoreDevice")->trigger();
            QVERIFY(enterReadingPassword(window, PASSWORD));
            QVERIFY(waitUntil([&]() { return answerer.isBoxSeen(); }));
            QCOMPARE(answerer.text(),
                     QStringLiteral("The data in this backup file were modified outside Corvane "
                                    "Key Manager. Restore them anyway?"));
            QVERIFY(device.requestLog().isEmpty());
            QCOMPARE(device.memory(DEVICE_MEMORY_MAIN), image);
        }

        // A sealed backup, then one saved by other software: the next open takes each as it is, no alarm.
        const QByteArray unsealed = encryptVaultWithoutSeal(_deviceVault_helper(), PASSWORD);
        for (const QByteArray& restored : {image, unsealed})
        {
            const QString filePath = fileDirectory.filePath("restored.corvane-backup");
            QVERIFY(_writeFile_helper(filePath, restored));
            const QString question = startRestore(PASSWORD, filePath);
            QVERIFY2(question.startsWith(QStringLiteral("Confirm restoring device|")), qPrintable(question));
            QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
            QVERIFY(waitForMessage(window).startsWith(QStringLiteral("Restore success|")));
            QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
            QCOMPARE(device.memory(DEVICE_MEMORY_MAIN), restored);
            ModalBoxAnswerer answerer(QMessageBox::No);
            QVERIFY(openVault(window, PASSWORD));
            QVERIFY2(!answerer.isBoxSeen(), qPrintable(answerer.text()));
            QCOMPARE(window->getVault(), _deviceVault_helper());
        }
    }

    void deviceFlaggedAsNoBackupTargetIsRefused()
    {
        const QString filePath = fileDirectory.filePath("good.corvane-backup");
        QFile file(filePath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(encryptVault(_deviceVault_helper(), PASSWORD));
        file.close();
        SimulatorProcess flagged;
        const QByteArray image = encryptVault({VaultTab{"Kept", {makeRecord("Kept")}}}, "kept");
        QVERIFY2(startDevice(flagged, *deviceDirectory, "TZQVR-0003", "Guarded", image, QByteArray(),
                             {"--backup-disabled"}),
                 qPrintable(flagged.errorString()));
        const QString message = startRestore(PASSWORD, filePath);
        QVERIFY2(message.startsWith(QStringLiteral("Device backup disabled|The selected device can't be used "
                                                   "as backup target: nothing was written.")),
                 qPrintable(message));
        QVERIFY(!hasWriteRequest(flagged.requestLog()));
        QCOMPARE(flagged.memory(DEVICE_MEMORY_MAIN), image);
        QCOMPARE(flagged.memory(DEVICE_MEMORY_BACKUP), image);
    }

    void statusAreaShowsTheLastBackup()
    {
        SimulatorProcess device;
        QVERIFY2(startDevice(device, *deviceDirectory, "TZQVR-0001", "Pocket",
                             encryptVault(_deviceVault_helper(), PASSWORD)),
                 qPrintable(device.errorString()));
        auto* label = window->findChild<QLabel*>("labelDeviceBackup");
        QVERIFY(openVault(window, PASSWORD));
        QCOMPARE(label->text(), QStringLiteral("This device was never backed up"));
        QVERIFY(label->isVisible());
        backUp(PASSWORD, fileDirectory.filePath("status.corvane-backup"));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QVERIFY2(label->text().startsWith(QStringLiteral("Last backup of this device: ")),
                 qPrintable(label->text()));

        // The setting turns the status off.
        setSettingValue(SETTING_IS_BACKUP_REMINDER_ENABLED, false);
        QVERIFY(!label->isVisible());
    }
};

QTEST_MAIN(TestDeviceBackup)
#include "test_device_backup.moc"
