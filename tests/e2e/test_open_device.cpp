// Opening a vault from simulated devices through the main window: the open step, the device selection
// page, the master password, the read, the main/backup choice, decryption and every failure.
#include "app/Configuration.h"
#include "device/Device.h"
#include "gui/support/EditorTestSupport.h"
#include "gui/support/ModalBoxAnswerer.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "mainwindow/workflows/DeviceFailureText.h"
#include "support/DeviceWorkflowSupport.h"
#include "support/DeviceWorkflowTestCase.h"
#include "support/SlowTest.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"
#include "views/ViewBase.h"
#include "views/ViewContentDeviceSelection.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>

#include <cerrno>

using namespace deviceworkflowtest;
using editortest::makeRecord;

namespace
{
const QString PASSWORD = QStringLiteral("Correct horse 7!");

// Tabs and records deliberately not in alphabetical order: the stored order is what is shown.
Vault _deviceVault_helper()
{
    return {VaultTab{"Work", {makeRecord("VPN", "me", "v9N", "vpn.example"), makeRecord("Mail", "me@corp")}},
            VaultTab{"Home", {makeRecord("Bank", "alex", "q7!R", "https://bank.example", "PIN elsewhere")}},
            VaultTab{"Empty", {}}};
}

// The plaintext offsets of a text in the vault's encoding and of the byte after its end marker.
int _encodingOffset_helper(const Vault& vault, const QByteArray& text, int* sealOffset = nullptr)
{
    QByteArray encoding(MEMORY_IMAGE_SIZE, '\0');
    const int freeCount = serializeVault(vault, reinterpret_cast<uint8_t*>(encoding.data()));
    if (sealOffset)
        *sealOffset = VAULT_CAPACITY - freeCount;
    return static_cast<int>(encoding.indexOf(text));
}

QByteArray _flipped_helper(QByteArray image, int plaintextOffset, char mask)
{
    const int offset = storedOffsetOfPlaintext(plaintextOffset);
    image[offset] = static_cast<char>(image.at(offset) ^ mask);
    return image;
}

Vault _shownVault_helper()
{
    return {VaultTab{"Shown before", {makeRecord("Forum", "alex", "f0rum")}}};
}
} // namespace

class TestOpenDevice : public DeviceWorkflowTestCase
{
    Q_OBJECT

public:
    TestOpenDevice() : DeviceWorkflowTestCase(_shownVault_helper()) {}

private:
    QListWidget* deviceList()
    {
        return editortest::child<QListWidget>(window->view(VIEW_ID_DEVICE_SELECTION), "listWidget");
    }

    QPushButton* selectionButton(const char* objectName)
    {
        return editortest::child<QPushButton>(window->view(VIEW_ID_DEVICE_SELECTION), objectName);
    }

    ViewContentDeviceSelection* selectionView()
    {
        return qobject_cast<ViewContentDeviceSelection*>(
            window->view(VIEW_ID_DEVICE_SELECTION)->contentWidget());
    }

    // The USB serial number of the highlighted row: the device Select would hand to the workflow.
    QString highlightedSerialNumber()
    {
        const int row = editortest::child<QListWidget>(window->view(VIEW_ID_DEVICE_SELECTION), "listWidget")
                            ->currentRow();
        const QList<Device*> devices = selectionView()->listedDevices();
        return row >= 0 && row < devices.size() ? devices.at(row)->getUsbSerialNumber() : QString();
    }

    // A click on a row as the user makes it; the page acts on it from the event loop.
    void clickDeviceRow(int row)
    {
        QListWidget* list = deviceList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(row)).center());
        QCoreApplication::sendPostedEvents(selectionView(), QEvent::MetaCall);
    }

    void clickSelectionButton(const char* objectName)
    {
        QTest::mouseClick(selectionButton(objectName), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(selectionView(), QEvent::MetaCall);
    }

    // The error shown on the reading master password page; empty when it shows none.
    QString readingPasswordError()
    {
        auto* label =
            editortest::child<QLabel>(window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD), "labelError");
        return label->isVisible() ? label->text() : QString();
    }

    QPushButton* readingPasswordButton(const char* objectName)
    {
        return editortest::child<QPushButton>(window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD),
                                              objectName);
    }

    bool isSaveEntryEnabled()
    {
        return saveAction(window)->isEnabled();
    }

private Q_SLOTS:
    void oneDeviceOpensWithoutSelectionPage()
    {
        SimulatorProcess simulator;
        QVERIFY2(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                             encryptVault(_deviceVault_helper(), PASSWORD)),
                 qPrintable(simulator.errorString()));
        QList<int> shownPages;
        connect(editortest::child<QStackedWidget>(window, "stackedWidget"), &QStackedWidget::currentChanged,
                this, [&](int index) { shownPages.append(index); });

        // The device opens in steps from the event loop, without the selection page.
        action(window, "actionOpenDevice")->trigger();
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QVERIFY(window->workflowDevice());
        QCOMPARE(window->workflowDevice()->getName(), QStringLiteral("Home"));
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitForPage(window, VIEW_ID_CONTENT_EDITOR));

        QVERIFY(!shownPages.contains(VIEW_ID_DEVICE_SELECTION));
        QVERIFY(shownPages.contains(VIEW_ID_READ_DEVICE));
        QCOMPARE(window->getVault(), _deviceVault_helper());
        QCOMPARE(editortest::currentTabIndex(window), 0);
        uint8_t image[MEMORY_IMAGE_SIZE];
        QCOMPARE(editortest::child<QLabel>(window, "labelUsedMemoryBytes")->text(),
                 QStringLiteral("Available memory: %1%")
                     .arg(getVaultFillPercentage(serializeVault(_deviceVault_helper(), image))));
        QVERIFY(!window->isDataModified());
        QCOMPARE(window->windowTitle(), QStringLiteral("Corvane Key Manager"));
        QVERIFY(action(window, "actionImportCSV")->isEnabled());
        QVERIFY(isSaveEntryEnabled());
        // The first record is selected, so that Edit and Remove work at once, from the keyboard too.
        QCOMPARE(editortest::tableAt(window, 0)->currentRow(), 0);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(editortest::tableAt(window, 0)));
        QVERIFY(editortest::child<QPushButton>(window, "pushButtonEditPassword")->isEnabled());
        QVERIFY(action(window, "actionRemoveRecord")->isEnabled());
        // The password does not stay in the page's field.
        QVERIFY(editortest::child<QLineEdit>(window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD),
                                             "lineEditPasswordField")
                    ->text()
                    .isEmpty());

        // Name, then the read bracketed by the LED commands, the serial number that names the device in this
        // computer's seal records, then the close that stops the LED again.
        QVERIFY(!window->workflowDevice());
        QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 01 03", "A5 02 00", "A5 05", "A5 02 01",
                                                      "A5 05", "A5 01 01", "A5 06", "A5 01 01"}));
    }

    void opensAtTheRealLineSpeedWithoutFreezing()
    {
        CORVANE_SLOW_TEST();
        // 115 200 baud in USB packets: both memories take about 23 s to arrive.
        SimulatorProcess simulator;
        QVERIFY2(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                             encryptVault(_deviceVault_helper(), PASSWORD), QByteArray(),
                             {"--speed", "11520", "--packet-size", "64"}),
                 qPrintable(simulator.errorString()));
        auto* progressBar = editortest::child<QProgressBar>(window->view(VIEW_ID_READ_DEVICE), "progressBar");
        auto* remainingTime =
            editortest::child<QLabel>(window->view(VIEW_ID_READ_DEVICE), "labelRemainingTime");
        int progressStepCount = 0;
        QStringList remainingTimeTexts;
        connect(progressBar, &QProgressBar::valueChanged, this,
                [&]()
                {
                    progressStepCount++;
                    if (!remainingTime->text().isEmpty() &&
                        !remainingTimeTexts.contains(remainingTime->text()))
                        remainingTimeTexts.append(remainingTime->text());
                });
        // How often the event loop came round while the progress page was up (how long each turn may take
        // is the benchmark's business: bench_device measures the longest slice).
        int turnsDuringRead = 0;
        QTimer turnTimer;
        connect(&turnTimer, &QTimer::timeout, this,
                [&]()
                {
                    if (window->currentViewId() == VIEW_ID_READ_DEVICE)
                        turnsDuringRead++;
                });
        turnTimer.start(5);

        action(window, "actionOpenDevice")->trigger();
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitUntil([&]() { return window->currentViewId() == VIEW_ID_CONTENT_EDITOR; }, 120000));
        QCOMPARE(window->getVault(), _deviceVault_helper());
        // The bar follows the bytes instead of jumping once per memory, and the window kept answering.
        QVERIFY2(progressStepCount > 100, qPrintable(QString::number(progressStepCount)));
        QVERIFY2(turnsDuringRead > 100, qPrintable(QString::number(turnsDuringRead)));
        // The page says how long the rest will take, and the figure falls as the bytes come in.
        QVERIFY2(remainingTimeTexts.size() > 5 && remainingTimeTexts.contains("About 5 seconds left"),
                 qPrintable(remainingTimeTexts.join(", ")));
    }

    void lockDuringTheReadHoldsUntilTheMasterPassword()
    {
        const QString shownPassword = QStringLiteral("shown vault's password");
        window->setKnownMasterPassword(shownPassword);
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD), QByteArray(),
                            {"--speed", "200000"}));
        lockWhenProgressMoves(window, VIEW_ID_READ_DEVICE);
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(enterReadingPassword(window, PASSWORD));

        // The read ends behind the locked page; nothing of the new vault shows (nor of the sealed one), and
        // the lock stays on.
        QVERIFY(waitForTransferBehindLock(window, VIEW_ID_READ_DEVICE));
        QCOMPARE(window->getVault(), Vault());
        QVERIFY(!action(window, "actionLockApplication")->isEnabled());
        {
            // The password just typed for the device is not the one that locked the window.
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            QVERIFY(!unlockWindow(window, PASSWORD));
            QCOMPARE(answerer.title(), QStringLiteral("Wrong master password"));
        }
        QVERIFY(unlockWindow(window, shownPassword));
        QVERIFY(waitForPage(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->getVault(), _deviceVault_helper());
        // Locking works on, now with the opened vault's password.
        QVERIFY(action(window, "actionLockApplication")->isEnabled());
        action(window, "actionLockApplication")->trigger();
        QVERIFY(unlockWindow(window, PASSWORD));
    }

    void unsavedDataAreConfirmedBeforeOpening()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD)));
        window->setDataModified(true);

        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(
            waitForMessage(window),
            QStringLiteral("Opening a device|You have made some modifications to the currently displayed "
                           "data without saving them.\nDo you confirm overwriting such unsaved data with the "
                           "content of the newly opened device?"));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonNo"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(window->isDataModified());
        QCOMPARE(window->getVault(), _shownVault_helper());
        QVERIFY(simulator.requestLog().isEmpty());

        // Yes opens; cancelling the password releases the device and keeps everything.
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(!waitForMessage(window).isEmpty());
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QTest::mouseClick(editortest::child<QPushButton>(window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD),
                                                         "pushButtonCancel"),
                          Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->workflowDevice());
        QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 01 01"}));
        QVERIFY(window->isDataModified());

        // The start menu asks nothing: nothing can be lost there.
        window->switchView(VIEW_ID_START_MENU);
        QTest::mouseClick(
            editortest::child<QPushButton>(window->view(VIEW_ID_START_MENU), "pushButtonOpenDevice"),
            Qt::LeftButton);
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitForPage(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->getVault(), _deviceVault_helper());
        QVERIFY(!window->isDataModified());
    }

    void selectionPageChoosesAmongSeveralDevices()
    {
        SimulatorProcess home;
        SimulatorProcess office;
        QVERIFY(startDevice(home, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_shownVault_helper(), PASSWORD)));
        // Two devices of the same name: the serial numbers tell the rows apart.
        QVERIFY(startDevice(office, *deviceDirectory, "TZQVR-0002", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD)));

        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_SELECTION));
        QTRY_COMPARE(deviceListTexts(window),
                     QStringList({deviceRowText("Home", "TZQVR-0001"), deviceRowText("Home", "TZQVR-0002")}));
        QVERIFY(!selectionButton("pushButtonSelect")->isEnabled());

        // A click makes exactly that device blink.
        clickDeviceRow(0);
        QCOMPARE(home.requestLog(), QStringList({"A5 08", "A5 01 02"}));
        QCOMPARE(office.requestLog(), QStringList({"A5 08"}));
        QVERIFY(selectionButton("pushButtonSelect")->isEnabled());
        QCOMPARE(highlightedSerialNumber(), QStringLiteral("TZQVR-0001"));
        // Nothing is the workflow's before Select.
        QVERIFY(!window->workflowDevice());

        // Another click moves the blinking: the first device stops, the second one starts.
        clickDeviceRow(1);
        QCOMPARE(home.requestLog(), QStringList({"A5 08", "A5 01 02", "A5 01 01"}));
        QCOMPARE(office.requestLog(), QStringList({"A5 08", "A5 01 02"}));
        // Clicking the device that already blinks sends nothing.
        clickDeviceRow(1);
        QCOMPARE(home.requestLog().size(), 3);
        QCOMPARE(office.requestLog().size(), 2);

        // Select stops the LED of the chosen one, closes the others, and the workflow goes on with it.
        clickSelectionButton("pushButtonSelect");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QCOMPARE(window->workflowDevice()->getUsbSerialNumber(), QStringLiteral("TZQVR-0002"));
        QVERIFY(selectionView()->listedDevices().isEmpty());
        QCOMPARE(home.requestLog(), QStringList({"A5 08", "A5 01 02", "A5 01 01", "A5 01 01"}));
        QCOMPARE(office.requestLog().last(), QStringLiteral("A5 01 01"));
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitForPage(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->getVault(), _deviceVault_helper());

        // Cancel closes every listed device and leaves no current device.
        home.clearRequestLog();
        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_SELECTION));
        QTRY_COMPARE(selectionView()->listedDevices().size(), 2);
        clickDeviceRow(0);
        clickSelectionButton("pushButtonCancel");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->workflowDevice());
        QCOMPARE(home.requestLog(), QStringList({"A5 08", "A5 01 02", "A5 01 01"}));
        QCOMPARE(window->getVault(), _deviceVault_helper());
    }

    void selectionPageIsUsedWithTheKeyboardOnly()
    {
        SimulatorProcess home;
        SimulatorProcess office;
        QVERIFY(startDevice(home, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_shownVault_helper(), PASSWORD)));
        QVERIFY(startDevice(office, *deviceDirectory, "TZQVR-0002", "Office",
                            encryptVault(_deviceVault_helper(), PASSWORD)));

        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_SELECTION));
        QTRY_COMPARE(selectionView()->listedDevices().size(), 2);
        // The keyboard starts on the list, not on Cancel.
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(deviceList()));

        // An arrow chooses the row it lands on: that device blinks, Select is offered, the focus stays.
        QTest::keyClick(deviceList(), Qt::Key_Down);
        QTRY_VERIFY(selectionButton("pushButtonSelect")->isEnabled());
        QCOMPARE(highlightedSerialNumber(), QStringLiteral("TZQVR-0001"));
        QCOMPARE(home.requestLog(), QStringList({"A5 08", "A5 01 02"}));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(deviceList()));
        QTest::keyClick(deviceList(), Qt::Key_Down);
        QTRY_COMPARE(office.requestLog(), QStringList({"A5 08", "A5 01 02"}));
        QCOMPARE(home.requestLog().last(), QStringLiteral("A5 01 01"));
        QTRY_VERIFY(selectionButton("pushButtonSelect")->isEnabled());
        QCOMPARE(highlightedSerialNumber(), QStringLiteral("TZQVR-0002"));

        // Return on the blinking row selects it.
        QTest::keyClick(deviceList(), Qt::Key_Return);
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QCOMPARE(window->workflowDevice()->getUsbSerialNumber(), QStringLiteral("TZQVR-0002"));
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitForPage(window, VIEW_ID_CONTENT_EDITOR));

        // Information, configuration and backup come with the vault's own device chosen, as saving does.
        for (const char* actionName :
             {"actionDisplaySerialNumber", "actionConfigureDevice", "actionBackUpDevice"})
        {
            action(window, actionName)->trigger();
            QVERIFY2(waitForPage(window, VIEW_ID_DEVICE_SELECTION), actionName);
            QTRY_VERIFY2(selectionButton("pushButtonSelect")->isEnabled(), actionName);
            QCOMPARE(highlightedSerialNumber(), QStringLiteral("TZQVR-0002"));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(deviceList()));
            QTest::keyClick(deviceList(), Qt::Key_Escape);
            QVERIFY2(waitForPage(window, VIEW_ID_CONTENT_EDITOR), actionName);
        }
    }

    void selectionPageFollowsPluggedDevices()
    {
        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_SELECTION));
        QVERIFY(deviceListTexts(window).isEmpty());
        QVERIFY(!selectionButton("pushButtonSelect")->isEnabled());
        // No device: the page says what to check instead of showing an empty list.
        QWidget* noDeviceHint =
            editortest::findWidget(window->view(VIEW_ID_DEVICE_SELECTION), "labelNoDevice");
        QVERIFY(noDeviceHint->isVisible());
        QVERIFY(!deviceList()->isVisible());
        QVERIFY(qobject_cast<QLabel*>(noDeviceHint)->text().contains("permission"));

        SimulatorProcess first;
        QVERIFY(startDevice(first, *deviceDirectory, "TZQVR-0001", "First"));
        QTRY_COMPARE(deviceListTexts(window), QStringList({deviceRowText("First", "TZQVR-0001")}));
        QVERIFY(deviceList()->isVisible());
        QVERIFY(!noDeviceHint->isVisible());
        clickDeviceRow(0);
        QVERIFY(selectionButton("pushButtonSelect")->isEnabled());

        // A device that does not answer is greyed out with the reason, and is tried once rather than at
        // every pass.
        SimulatorProcess silent;
        QVERIFY(startDevice(silent, *deviceDirectory, "TZQVR-0003", "Silent", QByteArray(), QByteArray(),
                            {"--silent"}));
        const QString silentRow =
            QStringLiteral("Serial number TZQVR-0003\ncannot be used: the device did not answer");
        QTRY_COMPARE(deviceListTexts(window), QStringList({deviceRowText("First", "TZQVR-0001"), silentRow}));
        QCOMPARE(deviceList()->item(1)->flags(), Qt::NoItemFlags);

        // A device plugged in meanwhile keeps the blinking one chosen.
        SimulatorProcess second;
        QVERIFY(startDevice(second, *deviceDirectory, "TZQVR-0002", "Second"));
        QTRY_COMPARE(deviceListTexts(window),
                     QStringList({deviceRowText("First", "TZQVR-0001"), deviceRowText("Second", "TZQVR-0002"),
                                  silentRow}));
        QCOMPARE(silent.requestLog(), QStringList({"A5 08"}));
        QCOMPARE(deviceList()->currentRow(), 0);
        QVERIFY(selectionButton("pushButtonSelect")->isEnabled());

        // Unplugging the blinking device forgets it: no current device, nothing to select.
        QVERIFY(first.stop());
        QVERIFY(silent.stop());
        QTRY_COMPARE(deviceListTexts(window), QStringList({deviceRowText("Second", "TZQVR-0002")}));
        QVERIFY(!window->workflowDevice());
        QVERIFY(!selectionButton("pushButtonSelect")->isEnabled());
        QCOMPARE(selectionView()->listedDevices().size(), 1);

        clickSelectionButton("pushButtonCancel");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(selectionView()->listedDevices().isEmpty());
    }

    void selectionPageReportsLedFailures()
    {
        SimulatorProcess home;
        SimulatorProcess office;
        SimulatorProcess mute;
        QVERIFY(startDevice(home, *deviceDirectory, "TZQVR-0001", "Home"));
        QVERIFY(startDevice(office, *deviceDirectory, "TZQVR-0002", "Office"));
        QVERIFY(startDevice(mute, *deviceDirectory, "TZQVR-0003", "Mute", QByteArray(), QByteArray(),
                            {"--wrong-ack", "0x01"}));
        action(window, "actionOpenDevice")->trigger();
        QTRY_COMPARE(deviceListTexts(window),
                     QStringList({deviceRowText("Home", "TZQVR-0001"), deviceRowText("Office", "TZQVR-0002"),
                                  deviceRowText("Mute", "TZQVR-0003")}));

        // A device that cannot blink is not chosen, but stays listed for another try.
        {
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            clickDeviceRow(2);
            QVERIFY(answerer.isBoxSeen());
            QCOMPARE(answerer.title(), QStringLiteral("Error"));
            QCOMPARE(answerer.text(), QStringLiteral("Could not make the device LED blink."));
        }
        QVERIFY(!window->workflowDevice());
        QVERIFY(!selectionButton("pushButtonSelect")->isEnabled());
        QCOMPARE(selectionView()->listedDevices().size(), 3);

        // The blinking device is unplugged before the next pass notices: stopping it fails, is reported,
        // and the clicked device blinks all the same.
        clickDeviceRow(0);
        QVERIFY(selectionButton("pushButtonSelect")->isEnabled());
        QVERIFY(home.stop());
        {
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            clickDeviceRow(1);
            QVERIFY(answerer.isBoxSeen());
            QCOMPARE(answerer.text(),
                     QStringLiteral(
                         "Could not stop the device with USB serial number 'TZQVR-0001' LED from blinking."));
        }
        QCOMPARE(office.requestLog().last(), QStringLiteral("A5 01 02"));
        QCOMPARE(highlightedSerialNumber(), QStringLiteral("TZQVR-0002"));
        QVERIFY(selectionButton("pushButtonSelect")->isEnabled());
        QTRY_COMPARE(deviceListTexts(window), QStringList({deviceRowText("Office", "TZQVR-0002"),
                                                           deviceRowText("Mute", "TZQVR-0003")}));
        QVERIFY(selectionButton("pushButtonSelect")->isEnabled());

        clickSelectionButton("pushButtonSelect");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QCOMPARE(window->workflowDevice()->getUsbSerialNumber(), QStringLiteral("TZQVR-0002"));
        // After its refused command the line must fall quiet before the LED command: it follows in steps.
        QTRY_COMPARE(mute.requestLog().last(), QStringLiteral("A5 01 01"));
    }

    void wrongPasswordChangesNothing()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD)));
        QVERIFY(openVault(window, PASSWORD));
        QVERIFY(isSaveEntryEnabled());
        window->setDataModified(true);
        const Vault shown = window->getVault();
        QVERIFY(simulator.stop());

        // An erased device holds no vault: it reads as a wrong password, exactly like one. The page asks
        // again with the error on it, as often as needed, and Cancel leaves everything as it was.
        SimulatorProcess erased;
        QVERIFY(startDevice(erased, *deviceDirectory, "TZQVR-0002", "Erased"));
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        for (const QString& password : {QStringLiteral("wrong"), PASSWORD})
        {
            QVERIFY(enterReadingPassword(window, password));
            QVERIFY(waitForPage(window, VIEW_ID_INSERT_READING_MASTER_PASSWORD));
            QCOMPARE(readingPasswordError(),
                     QStringLiteral("Failed to decrypt data. Make sure you provided the correct password."));
            QVERIFY(window->workflowDevice());
        }
        QTest::mouseClick(readingPasswordButton("pushButtonCancel"), Qt::LeftButton);
        QVERIFY(waitForPage(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->getVault(), shown);
        QVERIFY(window->isDataModified());
        QVERIFY(waitUntil([this]() { return !window->workflowDevice(); }));
        QCOMPARE(erased.requestLog().last(), QStringLiteral("A5 01 01"));
        QCOMPARE(erased.requestLog().count(QStringLiteral("A5 05")), 2);
        // The vault on screen keeps its own master password: it can still be saved, and it still locks and
        // unlocks with that password only.
        QVERIFY(isSaveEntryEnabled());
        action(window, "actionLockApplication")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        QWidget* lockedPage = window->view(VIEW_ID_APPLICATION_LOCKED);
        QTest::keyClicks(editortest::child<QLineEdit>(lockedPage, "lineEditPassword"), PASSWORD);
        QTest::mouseClick(editortest::child<QPushButton>(lockedPage, "pushButtonUnlock"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void wrongPasswordIsAskedAgainWithoutReadingAgain()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD)));
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(enterReadingPassword(window, "Correct horse 7"));
        QVERIFY(waitForPage(window, VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        // The same page, empty, with the error shown and read out with the field that has the focus.
        const QString error =
            QStringLiteral("Failed to decrypt data. Make sure you provided the correct password.");
        QCOMPARE(readingPasswordError(), error);
        auto* field = editortest::child<QLineEdit>(window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD),
                                                   "lineEditPasswordField");
        QVERIFY(field->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(field));
        QCOMPARE(field->accessibleDescription(), error);
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitForPage(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->getVault(), _deviceVault_helper());
        QVERIFY(!window->isDataModified());

        // The memories were read once, for both passwords; the error does not stay for the next visit.
        QVERIFY(waitUntil([this]() { return !window->workflowDevice(); }));
        QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 01 03", "A5 02 00", "A5 05", "A5 02 01",
                                                      "A5 05", "A5 01 01", "A5 06", "A5 01 01"}));
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(waitForPage(window, VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QCOMPARE(readingPasswordError(), QString());
        QTest::mouseClick(readingPasswordButton("pushButtonCancel"), Qt::LeftButton);
        QVERIFY(waitUntil([this]() { return !window->workflowDevice(); }));
    }

    void lockAskedDuringTheFirstOpenLocksTheVaultItBrings()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD)));
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(waitForPage(window, VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        // No master password yet: Ctrl+L is not dropped, it locks the vault once it is there.
        action(window, "actionLockApplication")->trigger();
        QVERIFY(!window->isApplicationLocked());
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitUntil([this]() { return window->isApplicationLocked(); }));
        QVERIFY(waitUntil([this]() { return !window->workflowDevice(); }));
        QVERIFY(window->getVault().isEmpty());
    }

    void differingMemoriesAskWhichOneToUse()
    {
        const Vault backupVault = {VaultTab{"Backup", {makeRecord("Older")}}};
        SimulatorProcess simulator;
        // Both sealed: their save counters tell that the backup memory was written last.
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD, 2),
                            encryptVault(backupVault, PASSWORD, 4)));

        const struct
        {
            QMessageBox::StandardButton answer;
            Vault expectedVault;
        } cases[] = {{QMessageBox::Yes, _deviceVault_helper()},
                     {QMessageBox::No, backupVault},
                     {QMessageBox::Cancel, backupVault}};
        for (const auto& testCase : cases)
        {
            ModalBoxAnswerer answerer(testCase.answer);
            action(window, "actionOpenDevice")->trigger();
            QVERIFY(enterReadingPassword(window, PASSWORD));
            QVERIFY(waitUntil([&]() { return answerer.isBoxSeen(); }));
            QCOMPARE(answerer.title(), QStringLiteral("Warning"));
            QVERIFY(
                answerer.text().startsWith("Device main and backup memories do not have the same content."));
            QVERIFY(answerer.text().endsWith(QStringLiteral("\n\nThe backup memory holds the newer vault.")));
            QVERIFY(waitUntil([this]() { return !window->workflowDevice(); }));
            QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
            QCOMPARE(window->getVault(), testCase.expectedVault);
        }
        QCOMPARE(simulator.requestLog().last(), QStringLiteral("A5 01 01"));
    }

    // A lock closes the question unanswered; after the unlock the same question comes again and the open
    // ends as the answer says.
    void lockDuringAQuestionAsksItAgain_data()
    {
        QTest::addColumn<QByteArray>("mainImage");
        QTest::addColumn<QByteArray>("backupImage");
        QTest::addColumn<QString>("textStart");
        QTest::addColumn<QString>("expectedUrl");

        const QByteArray sealedImage = encryptVault(_deviceVault_helper(), PASSWORD, 2);
        QTest::newRow("memories differ")
            << sealedImage << encryptVault({VaultTab{"Backup", {makeRecord("Older")}}}, PASSWORD, 1)
            << "Device main and backup memories do not have the same content."
            << "https://bank.example";
        const int siteOffset = _encodingOffset_helper(_deviceVault_helper(), "https://bank");
        QTest::newRow("modified outside")
            << _flipped_helper(sealedImage, siteOffset + 8, 0x06) << QByteArray()
            << "The data on this device were modified outside Corvane Key Manager."
            << "https://dank.example";
    }

    void lockDuringAQuestionAsksItAgain()
    {
        QFETCH(QByteArray, mainImage);
        QFETCH(QByteArray, backupImage);
        QFETCH(QString, textStart);
        QFETCH(QString, expectedUrl);
        settings->remove(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES));
        settings->remove(QStringLiteral("DeviceSeals"));
        const QString shownPassword = QStringLiteral("shown vault's password");
        window->setKnownMasterPassword(shownPassword);
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home", mainImage, backupImage));

        ModalBoxAnswerer answerer(QMessageBox::Yes);
        QString firstText;
        answerer.interruptFirstBox(
            [&]()
            {
                firstText = answerer.text();
                action(window, "actionLockApplication")->trigger();
                QTimer::singleShot(0, window, [&]() { unlockWindow(window, shownPassword); });
            });
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitUntil([&]() { return answerer.boxSeenCount() == 2 && !window->workflowDevice(); }));
        QVERIFY(!window->isApplicationLocked());
        QVERIFY2(firstText.startsWith(textStart), qPrintable(firstText));
        QCOMPARE(answerer.text(), firstText);
        QVERIFY(waitForPage(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->getVault()[1].passwords[0].url, expectedUrl);
        // The opened vault's password locks from now on.
        action(window, "actionLockApplication")->trigger();
        QVERIFY(unlockWindow(window, PASSWORD));
    }

    void oneDifferingByteStillOpensTheMainMemory()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD), QByteArray(),
                            {"--backup-differs-at", "10"}));
        QVERIFY(simulator.memory(0) != simulator.memory(1));
        ModalBoxAnswerer answerer(QMessageBox::Yes);
        QVERIFY(openVault(window, PASSWORD));
        QVERIFY(answerer.isBoxSeen());
        QCOMPARE(window->getVault(), _deviceVault_helper());

        // The backup differs inside its outer salt: it does not decrypt. The choice holds for the next
        // password: no second question.
        ModalBoxAnswerer secondAnswerer(QMessageBox::No);
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitUntil([&]() { return secondAnswerer.isBoxSeen(); }));
        QVERIFY(waitForPage(window, VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QCOMPARE(readingPasswordError(),
                 QStringLiteral("Failed to decrypt data. Make sure you provided the correct password."));
        ModalBoxAnswerer unexpectedAnswerer(QMessageBox::Yes);
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitForPage(window, VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QVERIFY(!unexpectedAnswerer.isBoxSeen());
        QTest::mouseClick(readingPasswordButton("pushButtonCancel"), Qt::LeftButton);
        QVERIFY(waitUntil([this]() { return !window->workflowDevice(); }));
    }

    void modifiedVaultsAskBeforeOpening()
    {
        settings->remove(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES));
        settings->remove(QStringLiteral("DeviceSeals"));
        const QString modifiedText = QStringLiteral(
            "The data on this device were modified outside Corvane Key Manager. Open them anyway?");
        int sealOffset = -1;
        const int siteOffset = _encodingOffset_helper(_deviceVault_helper(), "https://bank", &sealOffset);
        QVERIFY(siteOffset > 0);

        // A vault saved by software without the seal opens without a question.
        SimulatorProcess unsealed;
        QVERIFY(startDevice(unsealed, *deviceDirectory, "TZQVR-0001", "Other",
                            encryptVaultWithoutSeal(_deviceVault_helper(), PASSWORD)));
        {
            ModalBoxAnswerer answerer(QMessageBox::No);
            QVERIFY(openVault(window, PASSWORD));
            QVERIFY(!answerer.isBoxSeen());
            QCOMPARE(window->getVault(), _deviceVault_helper());
        }
        QVERIFY(unsealed.stop());

        // One changed byte in a record's web site: the seal no longer matches.
        const QByteArray sealedImage = encryptVault(_deviceVault_helper(), PASSWORD);
        SimulatorProcess changed;
        QVERIFY(startDevice(changed, *deviceDirectory, "TZQVR-0002", "Home",
                            _flipped_helper(sealedImage, siteOffset + 8, 0x06)));
        window->setVault(_shownVault_helper());
        window->setDataModified(false);
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes})
        {
            ModalBoxAnswerer answerer(answer);
            action(window, "actionOpenDevice")->trigger();
            QVERIFY(enterReadingPassword(window, PASSWORD));
            QVERIFY(waitUntil([&]() { return answerer.isBoxSeen() && !window->workflowDevice(); }));
            QCOMPARE(answerer.title(), QStringLiteral("Warning"));
            QCOMPARE(answerer.text(), modifiedText);
            QCOMPARE(answerer.icon(), QMessageBox::Question);
            QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
            if (answer == QMessageBox::No)
                QCOMPARE(window->getVault(), _shownVault_helper());
            else
                QCOMPARE(window->getVault()[1].passwords[0].url, QStringLiteral("https://dank.example"));
        }
        QVERIFY(changed.stop());

        // A device seen sealed on this computer, whose seal marker is then destroyed.
        SimulatorProcess sealed;
        QVERIFY(startDevice(sealed, *deviceDirectory, "TZQVR-0003", "Home", sealedImage));
        {
            ModalBoxAnswerer answerer(QMessageBox::No);
            QVERIFY(openVault(window, PASSWORD));
            QVERIFY(!answerer.isBoxSeen());
        }
        QVERIFY(sealed.stop());
        SimulatorProcess unmarked;
        QVERIFY(startDevice(unmarked, *deviceDirectory, "TZQVR-0003", "Home",
                            _flipped_helper(sealedImage, sealOffset, 0x20)));
        window->setVault(_shownVault_helper());
        window->setDataModified(false);
        ModalBoxAnswerer answerer(QMessageBox::No);
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitUntil([&]() { return answerer.isBoxSeen() && !window->workflowDevice(); }));
        QCOMPARE(answerer.text(), modifiedText);
        QCOMPARE(window->getVault(), _shownVault_helper());
    }

    void deviceNamesCannotFakeARow()
    {
        // A name with a line break and a right-to-left override would add a line of its own to its row.
        SimulatorProcess home;
        SimulatorProcess evil;
        QVERIFY(startDevice(home, *deviceDirectory, "TZQVR-0001", "Home"));
        QVERIFY(startDevice(evil, *deviceDirectory, "TZQVR-0002",
                            QStringLiteral("Home\nSerial number 1000-RVQZT\u202e")));
        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_SELECTION));
        // Both open in steps before they are listed as devices.
        QTRY_COMPARE(selectionView()->listedDevices().size(), 2);
        const QStringList rows = deviceListTexts(window);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0), deviceRowText("Home", "TZQVR-0001"));
        QCOMPARE(rows.at(1).count(u'\n'), 1);
        QVERIFY2(rows.at(1).endsWith(QStringLiteral("\nSerial number TZQVR-0002")), qPrintable(rows.at(1)));
        QVERIFY2(rows.at(1).contains(QStringLiteral("<U+202E>")) && !rows.at(1).contains(QChar(0x202E)),
                 qPrintable(rows.at(1)));
        // Isolated: whatever it holds cannot reorder the line that follows.
        QVERIFY(rows.at(1).startsWith(QChar(0x2068)));
        QVERIFY(rows.at(1).contains(QStringLiteral("\u2069\nSerial number")));
        QTest::mouseClick(selectionButton("pushButtonCancel"), Qt::LeftButton);
    }

    void strippedSealsAndOlderVaultsAreCaught()
    {
        // A fresh settings store: nothing remembered of any device.
        settings->remove(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES));
        settings->remove(QStringLiteral("DeviceSeals"));
        int sealOffset = -1;
        const int siteOffset = _encodingOffset_helper(_deviceVault_helper(), "https://bank", &sealOffset);
        QVERIFY(siteOffset > 0);
        const QByteArray sealedImage = encryptVault(_deviceVault_helper(), PASSWORD, 5);
        QByteArray stripped = sealedImage;
        for (int index = 0; index < VAULT_SEAL_MARKER_SIZE; index++)
            stripped = _flipped_helper(stripped, sealOffset + index, 0x5A);
        // The end marker placed at the last record's web site: the record is cut off, no seal follows.
        const QByteArray truncated = _flipped_helper(sealedImage, siteOffset, 'h' ^ VAULT_END_MARKER);
        for (const QByteArray& image : {stripped, truncated})
        {
            SimulatorProcess changed;
            QVERIFY(startDevice(changed, *deviceDirectory, "TZQVR-0004", "Home", image));
            window->setVault(_shownVault_helper());
            window->setDataModified(false);
            ModalBoxAnswerer answerer(QMessageBox::No);
            action(window, "actionOpenDevice")->trigger();
            QVERIFY(enterReadingPassword(window, PASSWORD));
            QVERIFY(waitUntil([&]() { return answerer.isBoxSeen() && !window->workflowDevice(); }));
            QCOMPARE(answerer.text(),
                     QStringLiteral("The data on this device were modified outside Corvane Key "
                                    "Manager. Open them anyway?"));
            QCOMPARE(window->getVault(), _shownVault_helper());
            QVERIFY(changed.stop());
        }

        // A sealed vault opens quietly, without the status line; one saved by other software shows it.
        auto* sealLabel = window->findChild<QLabel*>(QStringLiteral("labelVaultSeal"));
        QVERIFY(sealLabel);
        SimulatorProcess newer;
        QVERIFY(startDevice(newer, *deviceDirectory, "TZQVR-0005", "Home", sealedImage));
        {
            ModalBoxAnswerer answerer(QMessageBox::No);
            QVERIFY(openVault(window, PASSWORD));
            QVERIFY(!answerer.isBoxSeen());
            QVERIFY(sealLabel->isHidden());
        }
        QVERIFY(newer.stop());
        SimulatorProcess unsealed;
        QVERIFY(startDevice(unsealed, *deviceDirectory, "TZQVR-0006", "Other",
                            encryptVaultWithoutSeal(_deviceVault_helper(), PASSWORD)));
        {
            ModalBoxAnswerer answerer(QMessageBox::No);
            QVERIFY(openVault(window, PASSWORD));
            QVERIFY(!answerer.isBoxSeen());
            QVERIFY(!sealLabel->isHidden());
            QCOMPARE(sealLabel->text(),
                     QStringLiteral("This vault has no integrity seal; saving it adds one"));
        }
        QVERIFY(unsealed.stop());

        // The same device later holds an older sealed vault: the question names the date, No keeps the vault.
        SimulatorProcess older;
        QVERIFY(startDevice(older, *deviceDirectory, "TZQVR-0005", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD, 2)));
        window->setVault(_shownVault_helper());
        window->setDataModified(false);
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes})
        {
            ModalBoxAnswerer answerer(answer);
            action(window, "actionOpenDevice")->trigger();
            QVERIFY(enterReadingPassword(window, PASSWORD));
            QVERIFY(waitUntil([&]() { return answerer.isBoxSeen() && !window->workflowDevice(); }));
            QVERIFY2(answerer.text().startsWith(QStringLiteral(
                         "This device holds an older vault than the one saved from this computer on ")),
                     qPrintable(answerer.text()));
            QVERIFY(answerer.text().endsWith(QStringLiteral(". Open it anyway?")));
            QCOMPARE(window->getVault(),
                     answer == QMessageBox::No ? _shownVault_helper() : _deviceVault_helper());
        }
        QVERIFY(older.stop());
    }

    void readFailuresAreReported_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("unplugAtProgress");
        QTest::addColumn<QString>("message");
        // What went wrong, below the message; "*" for a cause that depends on how the unplugging shows.
        QTest::addColumn<QString>("cause");
        QTest::newRow("LED") << QStringList{"--wrong-ack", "0x01"} << -1
                             << "Could not make the device LED blink, aborting."
                             << "setting the LED: the device refused the command";
        QTest::newRow("main") << QStringList{"--wrong-ack", "0x02"} << -1
                              << "Could not read the device main memory, aborting."
                              << "selecting the main memory: the device refused the command";
        QTest::newRow("main cut short")
            << QStringList{"--truncate-memory-reply", "65536"} << -1
            << "Could not read the device main memory, aborting."
            << "reading the main memory: the device stopped answering after 65536 of 131072 bytes";
        QTest::newRow("backup") << QStringList() << DEVICE_MEMORY_SIZE
                                << "Could not read the device backup memory, aborting."
                                << "*";
        QTest::newRow("LED stop") << QStringList() << 2 * DEVICE_MEMORY_SIZE
                                  << "Could not stop device led from blinking, aborting."
                                  << "*";
    }

    void readFailuresAreReported()
    {
        QFETCH(QStringList, faults);
        QFETCH(int, unplugAtProgress);
        QFETCH(QString, message);
        QFETCH(QString, cause);
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD), QByteArray(), faults));
        // Unplugged right after a memory has been read: the next step finds the link gone.
        auto* progressBar = editortest::child<QProgressBar>(window->view(VIEW_ID_READ_DEVICE), "progressBar");
        const QMetaObject::Connection connection = connect(progressBar, &QProgressBar::valueChanged, this,
                                                           [&](int value)
                                                           {
                                                               if (value == unplugAtProgress)
                                                                   simulator.stop();
                                                           });

        action(window, "actionOpenDevice")->trigger();
        QVERIFY(enterReadingPassword(window, PASSWORD));
        const QString shown = waitForMessage(window);
        if (cause == "*")
            QVERIFY2(shown.startsWith("Error|" + message + "\n(") && shown.endsWith(')'), qPrintable(shown));
        else
            QCOMPARE(shown, "Error|" + message + "\n(" + cause + ")");
        disconnect(connection);
        QVERIFY(!window->workflowDevice());
        QCOMPARE(window->getVault(), _shownVault_helper());
        QVERIFY(!window->isDataModified());
    }

    void openFailuresAreReported()
    {
        // A port the operating system refuses to open for writing, for every user including root.
        const QString deniedPort = QStringLiteral("/proc/sys/kernel/version");
        QFile deviceFile(deviceDirectory->path() + "/TZQVR-DENIED.device");
        QVERIFY(deviceFile.open(QIODevice::WriteOnly));
        deviceFile.write(QStringLiteral("port=%1\nusb_serial=TZQVR-DENIED\n").arg(deniedPort).toUtf8());
        deviceFile.close();
        Device probe(DevicePortInfo(deniedPort, "TZQVR-DENIED", 0x0403, 0x6015));
        if (probe.open() == 0 ||
            (probe.lastOpenErrorNumber() != EACCES && probe.lastOpenErrorNumber() != EPERM))
            QSKIP("this system lets the test open the refused port");
        probe.close();

        action(window, "actionOpenDevice")->trigger();
        const QString deniedMessage = QStringLiteral(
            "Could not open the connected device.\n(no permission to use the port)\nAccess to the "
            "device's serial port was denied. Install the udev rule shipped with the application, "
            "or add your user to the \"dialout\" group and log in again.");
        QCOMPARE(waitForMessage(window), "Error|" + deniedMessage);
        QVERIFY(!window->workflowDevice());
        QCOMPARE(DeviceFailureText::openFailureMessage(DeviceFailureCause::fromOpenErrorNumber(EPERM)),
                 deniedMessage);
        // Every reason the device layer gives is named.
        QCOMPARE(
            DeviceFailureText::openFailureMessage(DeviceFailureCause::fromOpenErrorNumber(EBUSY)),
            QStringLiteral("Could not open the connected device.\n(the port is in use by another program)"));
        QCOMPARE(DeviceFailureText::openFailureMessage(DeviceFailureCause::fromOpenErrorNumber(ETIMEDOUT)),
                 QStringLiteral("Could not open the connected device.\n(the device did not answer)"));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));

        // A port that is gone has no permission hint.
        QVERIFY(deviceFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
        deviceFile.write("port=/dev/corvane-no-such-port\nusb_serial=TZQVR-DENIED\n");
        deviceFile.close();
        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(waitForMessage(window),
                 QStringLiteral("Error|Could not open the connected device.\n(the port is gone)"));
        QVERIFY(!window->workflowDevice());
        QCOMPARE(window->getVault(), _shownVault_helper());
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));

        // A device in use by another program says so.
        QVERIFY(deviceFile.remove());
        SimulatorProcess busy;
        QVERIFY(startDevice(busy, *deviceDirectory, "TZQVR-0004", "Busy"));
        Device otherProgram(busy.portInfo());
        QCOMPARE(otherProgram.open(), 0);
        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(waitForMessage(window), QStringLiteral("Error|Could not open the connected device.\n"
                                                        "(the port is in use by another program)"));
        QVERIFY(!window->workflowDevice());
        otherProgram.close();
    }

    void floodingDeviceNeverFreezesTheWindow()
    {
        // A device that keeps sending is given up on after about 13 s, in steps: the event loop keeps
        // coming round meanwhile (how long each turn takes is bench_device's business), the message names
        // the cause, and the device is never sent anything, not even on closing.
        SimulatorProcess flooding;
        QVERIFY2(flooding.start(deviceDirectory->path(), "TZQVR-0009", {"--flood", "0x41"}),
                 qPrintable(flooding.errorString()));
        int turnCount = 0;
        QTimer turnTimer;
        connect(&turnTimer, &QTimer::timeout, this, [&]() { turnCount++; });
        turnTimer.start(5);
        action(window, "actionOpenDevice")->trigger();
        // A simulator held up by a busy machine leaves a gap in its flood long enough for the name request
        // to go out: the flood then arrives as the name and goes on after it, which is refused as well.
        const QString message = waitForMessage(window);
        const bool isAskedInAGap =
            message.endsWith("(the device does not answer properly (its reply is not valid))");
        if (!isAskedInAGap)
        {
            QCOMPARE(message, QStringLiteral("Error|Could not open the connected device.\n"
                                             "(the device keeps sending data that nobody asked for)"));
            QVERIFY2(turnCount > 500, qPrintable(QString::number(turnCount)));
        }
        QVERIFY(message.startsWith("Error|Could not open the connected device.\n"));
        QVERIFY(!window->workflowDevice());
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));

        // Beside a device that answers, on the selection page: that one can be chosen at once while the
        // flooding one is still being checked, which ends greyed out with the reason.
        SimulatorProcess home;
        QVERIFY(startDevice(home, *deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(_deviceVault_helper(), PASSWORD)));
        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_SELECTION));
        QTRY_COMPARE(deviceListTexts(window), QStringList({deviceRowText("Home", "TZQVR-0001"),
                                                           "Serial number TZQVR-0009\nconnecting…"}));
        clickDeviceRow(0);
        QVERIFY(selectionButton("pushButtonSelect")->isEnabled());
        QCOMPARE(deviceListTexts(window).last(), QStringLiteral("Serial number TZQVR-0009\nconnecting…"));
        QTRY_VERIFY_WITH_TIMEOUT(
            deviceListTexts(window).last().startsWith("Serial number TZQVR-0009\ncannot be used: "), 20000);
        const QStringList causes = {"the device keeps sending data that nobody asked for",
                                    "the device does not answer properly (its reply is not valid)"};
        QVERIFY2(causes.contains(deviceListTexts(window).last().section(": ", 1)),
                 qPrintable(deviceListTexts(window).last()));
        QCOMPARE(deviceList()->item(1)->flags(), Qt::NoItemFlags);
        QVERIFY(selectionButton("pushButtonSelect")->isEnabled());
        clickSelectionButton("pushButtonCancel");
        // At most the name was asked, in a gap; never a command, not even on closing.
        QVERIFY(requestsOtherThan(flooding.requestLog(), "A5 08").isEmpty());
    }

    void slowLedCommandsRunInSteps()
    {
        // A bridge that holds each acknowledgement for 200 ms: the click returns at once, the page keeps
        // answering, and Select comes once the device has acknowledged.
        SimulatorProcess slow;
        SimulatorProcess other;
        QVERIFY(startDevice(slow, *deviceDirectory, "TZQVR-0001", "Slow", QByteArray(), QByteArray(),
                            {"--speed", "11520", "--packet-size", "64", "--latency-timer", "200"}));
        QVERIFY(startDevice(other, *deviceDirectory, "TZQVR-0002", "Other"));
        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_SELECTION));
        QTRY_COMPARE(selectionView()->listedDevices().size(), 2);
        int turnCount = 0;
        QTimer turnTimer;
        connect(&turnTimer, &QTimer::timeout, this, [&]() { turnCount++; });
        turnTimer.start(5);
        clickDeviceRow(0);
        QVERIFY(!selectionButton("pushButtonSelect")->isEnabled());
        QTRY_VERIFY(selectionButton("pushButtonSelect")->isEnabled());
        QVERIFY2(turnCount > 5, qPrintable(QString::number(turnCount)));
        QCOMPARE(slow.requestLog(), QStringList({"A5 08", "A5 01 02"}));
        clickSelectionButton("pushButtonCancel");
        QTRY_COMPARE(slow.requestLog().last(), QStringLiteral("A5 01 01"));
        QVERIFY(!window->workflowDevice());
    }

    void busyDeviceIsListedUntilReleased()
    {
        SimulatorProcess home;
        SimulatorProcess office;
        QVERIFY(startDevice(home, *deviceDirectory, "TZQVR-0001", "Home"));
        QVERIFY(startDevice(office, *deviceDirectory, "TZQVR-0002", "Office"));
        Device otherProgram(office.portInfo());
        QCOMPARE(otherProgram.open(), 0);

        action(window, "actionOpenDevice")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_SELECTION));
        QTRY_COMPARE(deviceListTexts(window),
                     QStringList({deviceRowText("Home", "TZQVR-0001"),
                                  "Serial number TZQVR-0002\nin use by another program"}));
        QCOMPARE(deviceList()->item(1)->flags(), Qt::NoItemFlags);
        QCOMPARE(selectionView()->listedDevices().size(), 1);

        // Released by the other program: a later pass tries it again, opens it, and it can be chosen.
        otherProgram.close();
        QTRY_COMPARE(deviceListTexts(window), QStringList({deviceRowText("Home", "TZQVR-0001"),
                                                           deviceRowText("Office", "TZQVR-0002")}));
        clickDeviceRow(1);
        QVERIFY(selectionButton("pushButtonSelect")->isEnabled());
        clickSelectionButton("pushButtonSelect");
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QCOMPARE(window->workflowDevice()->getName(), QStringLiteral("Office"));
    }
};

QTEST_MAIN(TestOpenDevice)
#include "test_open_device.moc"
