// Saving the vault to simulated devices through the main window: the confirmation, the encrypted image
// written to both memories, the read-back verification, every write failure and the change of password.
#include "app/Configuration.h"
#include "device/Device.h"
#include "gui/support/EditorTestSupport.h"
#include "gui/support/ModalBoxAnswerer.h"
#include "mainwindow/FormContentEditor.h"
#include "support/DeviceWorkflowSupport.h"
#include "support/DeviceWorkflowTestCase.h"
#include "support/SlowTest.h"
#include "vault/MemoryImage.h"
#include "views/ViewBase.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
#include <QtTest>

using namespace deviceworkflowtest;
using editortest::makeRecord;

namespace
{
const QString PASSWORD = QStringLiteral("Correct horse 7!");
const QString SUCCESS_MESSAGE = QStringLiteral(
    "Write success|All data were successfully written.\nYou can safely remove the device if you want.");

Vault _editedVault_helper()
{
    return {
        VaultTab{"Mail", {makeRecord("Mailbox", "alex@mail.example", "s3cret", "https://mail.example")}},
        VaultTab{"Bank & co", {makeRecord("Bank", "alex", "q7!R", "", "PIN elsewhere"), makeRecord("Card")}}};
}

Vault _storedVault_helper()
{
    return {VaultTab{"On the device", {makeRecord("Old record")}}};
}

// The block numbers of the block writes in a log, in order.
QList<int> _blockNumbers_helper(const QStringList& requestLog)
{
    QList<int> blockNumbers;
    for (const QString& line : requestLog)
    {
        if (line.startsWith(QLatin1String("A5 04 ")))
            blockNumbers.append(line.mid(6, 5).remove(' ').toInt(nullptr, 16));
    }
    return blockNumbers;
}

QList<int> _allBlockNumbers_helper()
{
    QList<int> blockNumbers;
    for (int blockNumber = 0; blockNumber < 512; blockNumber++)
        blockNumbers.append(blockNumber);
    return blockNumbers;
}

QStringList _requestsOtherThanBlockWrites_helper(const QStringList& requestLog)
{
    QStringList requests;
    for (const QString& line : requestLog)
    {
        if (!line.startsWith(QLatin1String("A5 04 ")))
            requests.append(line);
    }
    return requests;
}
} // namespace

class TestSaveDevice : public DeviceWorkflowTestCase
{
    Q_OBJECT

public:
    TestSaveDevice() : DeviceWorkflowTestCase(_editedVault_helper()) {}

private:
    // "Set/change the master password then save" up to the confirmation question.
    bool saveWithNewPassword(const QString& password)
    {
        changePasswordThenSaveAction(window)->trigger();
        return enterWritingPassword(window, password);
    }

    QProgressBar* writeProgressBar()
    {
        return editortest::child<QProgressBar>(window->view(VIEW_ID_WRITE_DEVICE), "progressBar");
    }

private Q_SLOTS:
    void init()
    {
        DeviceWorkflowTestCase::init();
        window->setDataModified(true);
        // The backup reminder has its own test below; the others check the plain success message.
        settings->remove(QStringLiteral(CONFIGURATION_GROUP_DEVICE_BACKUPS));
        settings->setValue(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED, false);
    }

    void declinedConfirmationWritesNothing()
    {
        SimulatorProcess simulator;
        const QByteArray storedImage = encryptVault(_storedVault_helper(), PASSWORD);
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "<b>Lab</b> & co", storedImage));

        QVERIFY(saveWithNewPassword("new password"));
        // The device name is shown as typed, not as markup.
        QCOMPARE(waitForMessage(window),
                 "Confirm saving device|" +
                     Qt::convertFromPlainText("Save changes to the device '<b>Lab</b> & co' (serial number "
                                              "TZQVR-0001)?\nAll device current data will be overwritten."));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonNo"));

        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->workflowDevice());
        QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 01 01"}));
        QCOMPARE(simulator.memory(0), storedImage);
        QVERIFY(window->isDataModified());
    }

    void savedVaultReopensAndEverySaveDiffers()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home"));

        QVERIFY(saveWithNewPassword(PASSWORD));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        QCOMPARE(waitForMessage(window), SUCCESS_MESSAGE);
        QVERIFY(!window->isDataModified());
        QCOMPARE(window->windowTitle(), QStringLiteral("Corvane Key Manager"));
        QVERIFY(!window->workflowDevice());

        // The device's serial number for this computer's seal records, every block of the main memory in
        // order, the main memory read back, only then every block of the backup memory, then both read back;
        // both memories hold the same image.
        const QStringList requests = simulator.requestLog();
        QCOMPARE(_blockNumbers_helper(requests), _allBlockNumbers_helper() + _allBlockNumbers_helper());
        QCOMPARE(_requestsOtherThanBlockWrites_helper(requests),
                 QStringList({"A5 08", "A5 06", "A5 01 03", "A5 02 00", "A5 02 00", "A5 05", "A5 02 01",
                              "A5 01 01", "A5 01 03", "A5 02 00", "A5 05", "A5 02 01", "A5 05", "A5 01 01",
                              "A5 01 01"}));
        const QByteArray firstImage = simulator.memory(0);
        QCOMPARE(simulator.memory(1), firstImage);
        bool isDecrypted = false;
        QCOMPARE(decryptVault(firstImage, PASSWORD, &isDecrypted), _editedVault_helper());
        QVERIFY(isDecrypted);

        // Opening it again shows the same tabs and records.
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        window->setVault(Vault());
        QVERIFY(openVault(window, PASSWORD));
        QCOMPARE(window->getVault(), _editedVault_helper());

        // The same vault saved again gives another image (filler, salts, vector and nonce are new).
        saveAction(window)->trigger();
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        QCOMPARE(waitForMessage(window), SUCCESS_MESSAGE);
        QVERIFY(simulator.memory(0) != firstImage);
        QCOMPARE(decryptVault(simulator.memory(0), PASSWORD), _editedVault_helper());
    }

    void successfulSaveSuggestsABackupOfTheChangedDevice()
    {
        settings->setValue(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED, true);
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0007", "Home"));
        QVERIFY(saveWithNewPassword(PASSWORD));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        // One more line, and no extra question.
        QCOMPARE(waitForMessage(window),
                 SUCCESS_MESSAGE +
                     QStringLiteral("\nThis device has changes that no backup holds yet: consider "
                                    "Device > Back up device to file."));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QVERIFY(editortest::waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->findChild<QLabel*>("labelDeviceBackup")->text(),
                 QStringLiteral("This device was never backed up"));
        QVERIFY(settings->contains(QStringLiteral(CONFIGURATION_GROUP_DEVICE_BACKUPS
                                                  "/TZQVR-0007/" CONFIGURATION_KEY_DEVICE_LAST_SAVE)));
    }

    void savesAtTheRealLineSpeed()
    {
        CORVANE_SLOW_TEST();
        // 115 200 baud in USB packets: about a minute for both memories, the main memory's read-back and the
        // final read-back.
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_storedVault_helper(), PASSWORD), QByteArray(),
                            {"--speed", "11520", "--packet-size", "64"}));
        QVERIFY(saveWithNewPassword(PASSWORD));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        QVERIFY(waitUntil(
            [&]()
            {
                return window->currentViewId() == VIEW_ID_MESSAGE_BOX_DIALOG &&
                       editortest::viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG) != "Confirm saving device";
            },
            180000));
        QCOMPARE(waitForMessage(window), SUCCESS_MESSAGE);
        QVERIFY(!window->isDataModified());
        QCOMPARE(simulator.memory(1), simulator.memory(0));
        QCOMPARE(decryptVault(simulator.memory(0), PASSWORD), _editedVault_helper());
    }

    void vaultTooLargeIsRefusedBeforeWriting()
    {
        SimulatorProcess simulator;
        const QByteArray storedImage = encryptVault(_storedVault_helper(), PASSWORD);
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home", storedImage));
        VaultTab largeTab{"Large", {}};
        for (int index = 0; index < 140; index++)
            largeTab.passwords.append(makeRecord(QString("Record %1").arg(index, 3, 10, QChar('0')), "login",
                                                 "password", "", QString(1000, QChar('n'))));
        window->setVault({largeTab});
        window->setDataModified(true);

        QVERIFY(saveWithNewPassword(PASSWORD));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        QCOMPARE(
            waitForMessage(window),
            QStringLiteral("Error|There is not enough room in device memory. Please remove some passwords."));
        QVERIFY(!hasWriteRequest(simulator.requestLog()));
        QCOMPARE(simulator.memory(0), storedImage);
        QVERIFY(window->isDataModified());
        QVERIFY(!window->workflowDevice());
    }

    void writeFailuresAreReported_data()
    {
        // The progress bar counts bytes: the main memory's blocks, its read-back, the backup memory's blocks.
        constexpr int mainWritten = DEVICE_MEMORY_SIZE;
        constexpr int mainVerified = 2 * DEVICE_MEMORY_SIZE;
        constexpr int allWritten = 3 * DEVICE_MEMORY_SIZE;
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("unplugAtProgress");
        QTest::addColumn<int>("failureProgress");
        QTest::addColumn<QString>("message");
        // What went wrong, below the message: "*" for a cause that depends on how the unplugging shows,
        // empty for a message that says it all.
        QTest::addColumn<QString>("cause");
        // Until the main memory is proven good the backup memory keeps the previous vault.
        QTest::addColumn<bool>("isBackupKept");
        QTest::newRow("LED") << QStringList{"--wrong-ack", "0x01"} << -1 << 0
                             << "Error|Could not make the device LED blink, aborting."
                             << "setting the LED: the device refused the command" << true;
        QTest::newRow("main selection")
            << QStringList{"--wrong-ack", "0x02"} << -1 << 0
            << "Error|Could not configure the access to the main memory, aborting."
            << "selecting the main memory: the device refused the command" << true;
        QTest::newRow("main block") << QStringList{"--silent-after-blocks", "100"} << -1 << 100 * 256
                                    << "Error|Could not write data to the main memory, aborting."
                                    << "writing block 100 of the main memory: the device did not answer"
                                    << true;
        QTest::newRow("main read-back") << QStringList() << mainWritten << mainWritten
                                        << "Error|Could not read the device main memory, aborting."
                                        << "*" << true;
        QTest::newRow("stored differently") << QStringList{"--store-inverted"} << -1 << mainVerified
                                            << "Write error|Data could not be successfully written. Please "
                                               "retry.\nConsider changing the device if this error is still "
                                               "occurring."
                                            << "" << true;
        QTest::newRow("backup selection")
            << QStringList() << mainVerified << mainVerified
            << "Error|Could not configure the access to the backup memory, aborting."
            << "*" << true;
        QTest::newRow("backup block")
            << QStringList{"--silent-after-blocks", "612"} << -1 << mainVerified + 100 * 256
            << "Error|Could not write data to the backup memory, aborting."
            << "writing block 100 of the backup memory: the device did not answer" << false;
        QTest::newRow("LED stop") << QStringList() << allWritten << allWritten
                                  << "Error|Could not stop the device LED from blinking, aborting."
                                  << "*" << false;
    }

    void writeFailuresAreReported()
    {
        QFETCH(QStringList, faults);
        QFETCH(int, unplugAtProgress);
        QFETCH(int, failureProgress);
        QFETCH(QString, message);
        QFETCH(QString, cause);
        QFETCH(bool, isBackupKept);
        // A device holding a vault without seal: a failed save must not make this computer expect one.
        settings->remove(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES));
        settings->remove(QStringLiteral("DeviceSeals"));
        SimulatorProcess simulator;
        const QByteArray storedImage = encryptVaultWithoutSeal(_storedVault_helper(), PASSWORD);
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home", storedImage, QByteArray(),
                            faults));
        // Unplugged right after a step: the next step finds the link gone.
        const QMetaObject::Connection connection =
            connect(writeProgressBar(), &QProgressBar::valueChanged, this,
                    [&](int value)
                    {
                        if (value == unplugAtProgress)
                            simulator.stop();
                    });

        QVERIFY(saveWithNewPassword(PASSWORD));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        const QString shown = waitForMessage(window);
        if (cause == "*")
            QVERIFY2(shown.startsWith(message + "\n(") && shown.endsWith(')'), qPrintable(shown));
        else if (cause.isEmpty())
            QCOMPARE(shown, message);
        else
            QCOMPARE(shown, message + "\n(" + cause + ")");
        disconnect(connection);
        QCOMPARE(writeProgressBar()->value(), failureProgress);
        QVERIFY(window->isDataModified());
        QCOMPARE(window->windowTitle(), QStringLiteral("Corvane Key Manager [unsaved data]"));
        QVERIFY(!window->workflowDevice());
        if (isBackupKept)
            QCOMPARE(decryptVault(simulator.memory(1), PASSWORD), _storedVault_helper());
        QVERIFY(!settings->childGroups().contains(QStringLiteral("DeviceSeals")));
        QVERIFY(!settings->contains(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES)));
    }

    void lockDuringTheSaveLetsTheReadBackFinishBehindIt_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("message");
        QTest::newRow("success") << QStringList() << QString(SUCCESS_MESSAGE);
        QTest::newRow("failure")
            << QStringList{"--store-inverted"}
            << "Write error|Data could not be successfully written. Please retry.\nConsider "
               "changing the device if this error is still occurring.";
    }

    void lockDuringTheSaveLetsTheReadBackFinishBehindIt()
    {
        QFETCH(QStringList, faults);
        QFETCH(QString, message);
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home", QByteArray(), QByteArray(),
                            faults + QStringList{"--speed", "200000"}));
        lockWhenProgressMoves(window, VIEW_ID_WRITE_DEVICE);
        QVERIFY(saveWithNewPassword(PASSWORD));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));

        // Quitting from the locked page would cut the transfer off: refused while it runs (seconds at this
        // speed), with a text that fits the locked page, which shows whether the transfer still runs.
        QVERIFY(waitUntil([&]() { return window->isApplicationLocked(); }));
        QWidget* lockedPage = window->view(VIEW_ID_APPLICATION_LOCKED);
        auto* transferLine = editortest::child<QLabel>(lockedPage, "labelTransfer");
        QCOMPARE(transferLine->text(),
                 QStringLiteral("A device transfer is running behind the locked page."));
        {
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            QVERIFY(!window->close());
            QCOMPARE(answerer.text(),
                     QStringLiteral("A device transfer is running behind the locked page: quitting now could "
                                    "leave the device half written.\nQuit once the locked page says that the "
                                    "transfer has finished."));
        }

        // The write, the read-back and the comparison need no secret: they end behind the locked page, and
        // the save is recorded there (quitting now asks about nothing unsaved). Only the message waits.
        QVERIFY(waitUntil([&]() { return window->activeViewId() == VIEW_ID_MESSAGE_BOX_DIALOG; }, 120000));
        QVERIFY(window->isApplicationLocked());
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        QCOMPARE(transferLine->text(), QStringLiteral("The device transfer has finished."));
        QVERIFY(!window->workflowDevice());
        QCOMPARE(window->isDataModified(), message != SUCCESS_MESSAGE);
        simulator.clearRequestLog();
        QVERIFY(unlockWindow(window, PASSWORD));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(waitForMessage(window), message);
        QCOMPARE(window->isDataModified(), message != SUCCESS_MESSAGE);
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(action(window, "actionLockApplication")->isEnabled());
        // No second read after the unlock.
        QVERIFY(simulator.requestLog().isEmpty());
    }

    void changedPasswordIsUsedFromThenOn()
    {
        const QString oldPassword = QStringLiteral("old password");
        const QString newPassword = QStringLiteral("new password");
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_editedVault_helper(), oldPassword)));
        window->setDataModified(false);
        QVERIFY(openVault(window, oldPassword));
        simulator.clearRequestLog();

        // Cancelling the new password touches no device and keeps the old password.
        changePasswordThenSaveAction(window)->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD));
        QTest::mouseClick(editortest::child<QPushButton>(window->view(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD),
                                                         "pushButtonCancel"),
                          Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(simulator.requestLog().isEmpty());
        saveAction(window)->trigger();
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        QCOMPARE(waitForMessage(window), SUCCESS_MESSAGE);
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        bool isDecrypted = false;
        decryptVault(simulator.memory(0), oldPassword, &isDecrypted);
        QVERIFY(isDecrypted);

        // A new password encrypts this save and the next ones, and opens the device afterwards.
        QVERIFY(saveWithNewPassword(newPassword));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        QCOMPARE(waitForMessage(window), SUCCESS_MESSAGE);
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        decryptVault(simulator.memory(0), oldPassword, &isDecrypted);
        QVERIFY(!isDecrypted);
        QCOMPARE(decryptVault(simulator.memory(0), newPassword, &isDecrypted), _editedVault_helper());
        QVERIFY(isDecrypted);
        window->setVault(Vault());
        QVERIFY(openVault(window, newPassword));
        QCOMPARE(window->getVault(), _editedVault_helper());
    }

    void quittingWithUnsavedDataCanSaveFirst()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_storedVault_helper(), PASSWORD)));
        window->setDataModified(false);
        QVERIFY(openVault(window, PASSWORD));
        window->setVault(_editedVault_helper());
        window->setDataModified(true);

        // "Save to device" starts the save; declined, it leaves the window open with its data, and a later
        // save of its own does not close it.
        {
            ModalBoxAnswerer answerer(QMessageBox::Save);
            QVERIFY(!window->close());
            QVERIFY(answerer.isBoxSeen());
        }
        QVERIFY(waitForMessage(window).startsWith(QStringLiteral("Confirm saving device|")));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonNo"));
        QVERIFY(editortest::waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QVERIFY(window->isVisible());
        QVERIFY(window->isDataModified());

        // Accepted, the window closes once the vault is written and verified.
        {
            ModalBoxAnswerer answerer(QMessageBox::Save);
            QVERIFY(!window->close());
            QVERIFY(answerer.isBoxSeen());
        }
        QVERIFY(waitForMessage(window).startsWith(QStringLiteral("Confirm saving device|")));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        QVERIFY(waitUntil([this]() { return !window->isVisible(); }));
        QVERIFY(!window->isDataModified());
        QCOMPARE(decryptVault(simulator.memory(DEVICE_MEMORY_MAIN), PASSWORD), _editedVault_helper());
    }

    void savingBackPreselectsTheVaultsDevice()
    {
        // Two devices of the same name; the vault comes from the second one.
        SimulatorProcess first;
        SimulatorProcess second;
        QVERIFY(startDevice(first, *deviceDirectory, "TZQVR-0001", "Corvane",
                            encryptVault(_storedVault_helper(), PASSWORD)));
        QVERIFY(startDevice(second, *deviceDirectory, "TZQVR-0002", "Corvane",
                            encryptVault(_editedVault_helper(), PASSWORD)));
        window->setDataModified(false);
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(chooseDevice(window, "TZQVR-0002"));
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitForPage(window, VIEW_ID_CONTENT_EDITOR));
        first.clearRequestLog();
        second.clearRequestLog();

        // Saving marks and chooses that device: Select is all it takes.
        saveAction(window)->trigger();
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_SELECTION));
        QTRY_COMPARE(deviceListTexts(window),
                     QStringList({deviceRowText("Corvane", "TZQVR-0001"),
                                  "Corvane\nSerial number TZQVR-0002, opened from this device"}));
        QWidget* selectionPage = window->view(VIEW_ID_DEVICE_SELECTION);
        auto* select = editortest::child<QPushButton>(selectionPage, "pushButtonSelect");
        QTRY_VERIFY(select->isEnabled());
        // The device the vault came from is the highlighted row.
        QCOMPARE(editortest::child<QListWidget>(selectionPage, "listWidget")->currentItem()->text(),
                 QStringLiteral("Corvane\nSerial number TZQVR-0002, opened from this device"));
        QTest::mouseClick(select, Qt::LeftButton);
        QCOMPARE(waitForMessage(window),
                 QStringLiteral("Confirm saving device|Save changes to the device 'Corvane' (serial number "
                                "TZQVR-0002)?\nAll device current data will be overwritten."));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonNo"));

        // Choosing the other device instead: the confirmation says it is not where the vault came from.
        saveAction(window)->trigger();
        QVERIFY(chooseDevice(window, "TZQVR-0001"));
        QVERIFY(waitForMessage(window).endsWith(
            QStringLiteral("\nThis vault was opened from another device (serial number TZQVR-0002).")));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonNo"));
        QVERIFY(!hasWriteRequest(first.requestLog()));
        QVERIFY(!hasWriteRequest(second.requestLog()));
    }
};

QTEST_MAIN(TestSaveDevice)
#include "test_save_device.moc"
