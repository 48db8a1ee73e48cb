// The device erasing wizard against simulated devices: zero-filled memories, verified, and the optional
// dated name.
#include "device/Device.h"
#include "gui/support/EditorTestSupport.h"
#include "mainwindow/FormContentEditor.h"
#include "support/DeviceWorkflowSupport.h"
#include "support/DeviceWorkflowTestCase.h"
#include "vault/MemoryImage.h"
#include "views/ViewBase.h"

#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace deviceworkflowtest;
using editortest::makeRecord;

namespace
{
const QString PASSWORD = QStringLiteral("Erase me 3#");

Vault _deviceVault_helper()
{
    return {VaultTab{"Work", {makeRecord("VPN", "me", "v9N", "vpn.example")}}};
}

QString _datedName_helper(const QDate& date)
{
    return QStringLiteral("Corvane %1").arg(date.toString(QStringLiteral("yyyy-MM-dd")));
}

// The name the device reports, read over its port as the application does.
QString _deviceName_helper(const SimulatorProcess& simulator)
{
    Device device(simulator.portInfo());
    if (device.open() != 0)
        return QStringLiteral("<not open>");
    const QString name = device.getName();
    device.close();
    return name;
}
} // namespace

class TestDeviceErase : public DeviceWorkflowTestCase
{
    Q_OBJECT

private:
    const QByteArray zeroImage = QByteArray(MEMORY_IMAGE_SIZE, '\0');

    QWidget* page(int viewId)
    {
        return window->view(viewId);
    }

    void click(int viewId, const char* objectName)
    {
        QTest::mouseClick(editortest::child<QPushButton>(page(viewId), objectName), Qt::LeftButton);
    }

    void check(const char* objectName)
    {
        auto* checkBox = editortest::child<QCheckBox>(page(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2), objectName);
        QTest::mouseClick(checkBox, Qt::LeftButton, Qt::NoModifier, QPoint(8, checkBox->height() / 2));
    }

    // Through both wizard pages to the confirmed erase.
    void confirmErasing(bool isDeviceNameResetRequested)
    {
        action(window, "actionEraseDevice")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1));
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1, "pushButtonNext");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2));
        if (isDeviceNameResetRequested)
            check("checkBoxResetDeviceName");
        check("checkBoxConfirmation");
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2, "pushButtonNext");
    }

private Q_SLOTS:
    void eraseWithNameResetZeroesBothMemoriesAndDatesTheName()
    {
        SimulatorProcess simulator;
        QVERIFY2(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Old name",
                             encryptVault(_deviceVault_helper(), PASSWORD)),
                 qPrintable(simulator.errorString()));
        const QDate dayBefore = QDate::currentDate();
        confirmErasing(true);
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3));
        const QDate dayAfter = QDate::currentDate();
        QVERIFY(!window->workflowDevice());

        QCOMPARE(simulator.memory(DEVICE_MEMORY_MAIN), zeroImage);
        QCOMPARE(simulator.memory(DEVICE_MEMORY_BACKUP), zeroImage);
        // The erase may straddle midnight; the name carries one of the two dates.
        const QString name = _deviceName_helper(simulator);
        QVERIFY2(name == _datedName_helper(dayBefore) || name == _datedName_helper(dayAfter),
                 qPrintable(name));
        QVERIFY(QRegularExpression("^Corvane \\d{4}-\\d{2}-\\d{2}$").match(name).hasMatch());

        // Exit returns to the vault editor the wizard was started from.
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3, "pushButtonExit");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));

        // An erased device holds no vault: opening it fails like a wrong password, on the password page.
        action(window, "actionOpenDevice")->trigger();
        QVERIFY(enterReadingPassword(window, PASSWORD));
        QVERIFY(waitForPage(window, VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QCOMPARE(editortest::child<QLabel>(window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD), "labelError")
                     ->text(),
                 QStringLiteral("Failed to decrypt data. Make sure you provided the correct password."));
        QTest::mouseClick(editortest::child<QPushButton>(window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD),
                                                         "pushButtonCancel"),
                          Qt::LeftButton);
        QVERIFY(waitUntil([this]() { return !window->workflowDevice(); }));
    }

    void eraseWithoutNameResetKeepsTheName()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Kept name",
                            encryptVault(_deviceVault_helper(), PASSWORD)));
        confirmErasing(false);
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3));
        QCOMPARE(simulator.memory(DEVICE_MEMORY_MAIN), zeroImage);
        QCOMPARE(simulator.memory(DEVICE_MEMORY_BACKUP), zeroImage);
        for (const QString& request : simulator.requestLog())
            QVERIFY2(!request.startsWith(QLatin1String("A5 09")), qPrintable(request));
        QCOMPARE(_deviceName_helper(simulator), QStringLiteral("Kept name"));
    }

    void deviceThatKeepsItsDataFailsTheVerification()
    {
        // It acknowledges every block but stores something else: the read-back catches it.
        SimulatorProcess simulator;
        const QByteArray image = encryptVault(_deviceVault_helper(), PASSWORD);
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Stubborn", image, QByteArray(),
                            {"--store-inverted"}));
        confirmErasing(true);
        QCOMPARE(waitForMessage(window),
                 QStringLiteral("Write error|Data could not be successfully written. Please retry.\nConsider "
                                "changing the device if this error is still occurring."));
        QVERIFY(!window->workflowDevice());
        QVERIFY(simulator.memory(DEVICE_MEMORY_MAIN) != zeroImage);
        // The name is not reset after a failed erase, and the wizard has been left.
        QCOMPARE(_deviceName_helper(simulator), QStringLiteral("Stubborn"));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void lockDuringTheEraseHoldsUntilTheMasterPassword()
    {
        window->setKnownMasterPassword(PASSWORD);
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Old",
                            encryptVault(_deviceVault_helper(), PASSWORD), QByteArray(),
                            {"--speed", "200000"}));
        lockWhenProgressMoves(window, VIEW_ID_WRITE_DEVICE);
        confirmErasing(false);
        QVERIFY(waitForTransferBehindLock(window, VIEW_ID_WRITE_DEVICE));
        QVERIFY(unlockWindow(window, PASSWORD));
        QVERIFY(waitUntil([&]() { return window->activeViewId() == VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3; },
                          60000));
        QCOMPARE(simulator.memory(DEVICE_MEMORY_BACKUP), zeroImage);
    }

    void failedWriteLeavesTheConfirmationPage()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Broken", QByteArray(), QByteArray(),
                            {"--silent-after-blocks", "3"}));
        confirmErasing(false);
        QCOMPARE(waitForMessage(window),
                 QStringLiteral(
                     "Error|Could not write data to the main memory, aborting.\n(writing block 3 of the "
                     "main memory: the device did not answer)"));
        QVERIFY(!window->workflowDevice());
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        // Back on the confirmation page, from which the user may try again or cancel.
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2));
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2, "pushButtonCancel");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }
};

QTEST_MAIN(TestDeviceErase)
#include "test_device_erase.moc"
