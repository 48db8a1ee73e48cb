// The configure device and device information pages against simulated devices, reached through the
// "Device" menu.
#include "device/Device.h"
#include "gui/support/EditorTestSupport.h"
#include "mainwindow/FormContentEditor.h"
#include "support/DeviceWorkflowSupport.h"
#include "support/DeviceWorkflowTestCase.h"
#include "views/ViewBase.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace deviceworkflowtest;

namespace
{
// The requests that change something on the device.
QStringList _settingRequests_helper(const QStringList& requestLog)
{
    QStringList settings;
    for (const QString& request : requestLog)
    {
        if (request.startsWith(QLatin1String("A5 09")) || request.startsWith(QLatin1String("A5 0B")))
            settings.append(request);
    }
    return settings;
}

// The request that sets a name of 64 UTF-8 bytes: the whole field is the name, without terminator.
QString _setFullNameRequest_helper(const QString& name)
{
    QByteArray request("\xA5\x09", 2);
    request += name.toUtf8();
    return QString::fromLatin1(request.toHex(' ').toUpper());
}

struct DeviceSettings
{
    QString name;
    bool isBackupDisabled = false;
};

DeviceSettings _deviceSettings_helper(const SimulatorProcess& simulator)
{
    DeviceSettings settings;
    Device device(simulator.portInfo());
    if (device.open() != 0)
        return settings;
    settings.name = device.getName();
    // An unreadable flag leaves the name with an empty one: the comparisons of the caller then fail.
    if (device.getBackupDisableFlag(settings.isBackupDisabled) != 0)
        settings.name.clear();
    device.close();
    return settings;
}
} // namespace

class TestDeviceConfigure : public DeviceWorkflowTestCase
{
    Q_OBJECT

private:
    QWidget* page(int viewId)
    {
        return window->view(viewId);
    }

    QLabel* informationLabel(const char* objectName)
    {
        return editortest::child<QLabel>(page(VIEW_ID_SHOW_DEVICE_INFORMATION), objectName);
    }

    QLineEdit* nameField()
    {
        return editortest::child<QLineEdit>(page(VIEW_ID_CONFIGURE_DEVICE), "lineEditName");
    }

    QCheckBox* backupCheckBox()
    {
        return editortest::child<QCheckBox>(page(VIEW_ID_CONFIGURE_DEVICE), "checkBoxDisableBackup");
    }

    QPushButton* configureButton(const char* objectName)
    {
        return editortest::child<QPushButton>(page(VIEW_ID_CONFIGURE_DEVICE), objectName);
    }

    // Types the name over the current one, one key press per character (accented ones included).
    void typeName(const QString& name)
    {
        nameField()->selectAll();
        for (const QChar character : name)
            QTest::sendKeyEvent(QTest::Click, nameField(), Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
        QCOMPARE(nameField()->text(), name);
    }

    void openConfiguration()
    {
        // The device opens in steps from the event loop.
        action(window, "actionConfigureDevice")->trigger();
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_CONFIGURE_DEVICE));
    }

private Q_SLOTS:
    void informationShowsTheDeviceValues()
    {
        SimulatorProcess simulator;
        QVERIFY2(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Desk <i>key</i>", QByteArray(),
                             QByteArray(), {"--serial-number", "CV2X-000123", "--reply", "0x00=00030110"}),
                 qPrintable(simulator.errorString()));
        action(window, "actionDisplaySerialNumber")->trigger();
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_SHOW_DEVICE_INFORMATION));
        QCOMPARE(informationLabel("labelName")->text(), QStringLiteral("Desk <i>key</i>"));
        QCOMPARE(informationLabel("labelName")->textFormat(), Qt::PlainText);
        QCOMPARE(informationLabel("labelSerialNumber")->text(), QStringLiteral("CV2X-000123"));
        QCOMPARE(informationLabel("labelHardwareVersion")->text(), QStringLiteral("3"));
        QCOMPARE(informationLabel("labelFirmwareVersion")->text(), QStringLiteral("272"));
        // Screen readers hear each value, with its caption as description.
        const QList<QPair<const char*, QString>> announced = {
            {"labelName", "Desk <i>key</i>|Device name"},
            {"labelSerialNumber", "CV2X-000123|Serial number"},
            {"labelHardwareVersion", "3|Hardware version"},
            {"labelFirmwareVersion", "272|Firmware version"}};
        for (const auto& [labelName, expected] : announced)
        {
            QAccessibleInterface* accessible =
                QAccessible::queryAccessibleInterface(informationLabel(labelName));
            QCOMPARE(accessible->text(QAccessible::Name) + '|' + accessible->text(QAccessible::Description),
                     expected);
        }
        // Read and closed at once: the LED stop of the close comes last.
        QVERIFY(!window->workflowDevice());
        QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 06", "A5 00", "A5 01 01"}));

        QTest::mouseClick(
            editortest::child<QPushButton>(page(VIEW_ID_SHOW_DEVICE_INFORMATION), "pushButtonOk"),
            Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void informationWithoutSerialNumberAndReadingFailures()
    {
        {
            SimulatorProcess simulator;
            QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Plain"));
            action(window, "actionDisplaySerialNumber")->trigger();
            QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_SHOW_DEVICE_INFORMATION));
            QCOMPARE(informationLabel("labelSerialNumber")->text(), QStringLiteral("No serial number"));
            QCOMPARE(informationLabel("labelHardwareVersion")->text(), QStringLiteral("1"));
            QTest::mouseClick(
                editortest::child<QPushButton>(page(VIEW_ID_SHOW_DEVICE_INFORMATION), "pushButtonOk"),
                Qt::LeftButton);
        }
        {
            // A serial number reply one byte short: nothing more is asked, and nothing is shown as read.
            SimulatorProcess simulator;
            QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Mute", QByteArray(), QByteArray(),
                                {"--reply", "0x06=FF"}));
            action(window, "actionDisplaySerialNumber")->trigger();
            QCOMPARE(waitForMessage(window),
                     QStringLiteral("Error|Could not retrieve the device serial number."));
            QVERIFY(!window->workflowDevice());
            QVERIFY(!simulator.requestLog().contains(QStringLiteral("A5 00")));
            QCOMPARE(informationLabel("labelSerialNumber")->text(), QStringLiteral("ERROR"));
            QCOMPARE(informationLabel("labelHardwareVersion")->text(), QStringLiteral("ERROR"));
            QCOMPARE(informationLabel("labelFirmwareVersion")->text(), QStringLiteral("ERROR"));
            QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
            QCOMPARE(window->currentViewId(), int(VIEW_ID_SHOW_DEVICE_INFORMATION));
            QTest::mouseClick(
                editortest::child<QPushButton>(page(VIEW_ID_SHOW_DEVICE_INFORMATION), "pushButtonOk"),
                Qt::LeftButton);
        }
        {
            SimulatorProcess simulator;
            QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Half", QByteArray(), QByteArray(),
                                {"--serial-number", "S-1", "--reply", "0x00=0003"}));
            action(window, "actionDisplaySerialNumber")->trigger();
            QCOMPARE(waitForMessage(window),
                     QStringLiteral("Error|Could not retrieve the device hardware and firmware versions."));
            QVERIFY(!window->workflowDevice());
            QCOMPARE(informationLabel("labelSerialNumber")->text(), QStringLiteral("S-1"));
            QCOMPARE(informationLabel("labelHardwareVersion")->text(), QStringLiteral("ERROR"));
        }
    }

    void nameUpToSixtyFourBytesIsWritten()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Before"));
        openConfiguration();
        QCOMPARE(nameField()->text(), QStringLiteral("Before"));
        QVERIFY(!backupCheckBox()->isChecked());
        QCOMPARE(page(VIEW_ID_CONFIGURE_DEVICE)->focusWidget(), configureButton("pushButtonCancel"));

        // An empty name cannot be confirmed.
        nameField()->selectAll();
        QTest::keyClick(nameField(), Qt::Key_Delete);
        QVERIFY(!configureButton("pushButtonOk")->isEnabled());

        const QString name(64, QLatin1Char('n'));
        typeName(name);
        QVERIFY(configureButton("pushButtonOk")->isEnabled());
        simulator.clearRequestLog();
        QTest::mouseClick(configureButton("pushButtonOk"), Qt::LeftButton);
        QCOMPARE(waitForMessage(window),
                 QStringLiteral("Success|The device configuration was successfully updated."));
        QVERIFY(!window->workflowDevice());
        // Only the name was changed, so only the name was sent, 64 bytes without terminator.
        const QStringList sent = _settingRequests_helper(simulator.requestLog());
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first(), _setFullNameRequest_helper(name));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(_deviceSettings_helper(simulator).name, name);
    }

    void tooLongNameKeepsTheDeviceOpen()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Short"));
        openConfiguration();
        const QString expectedMessage = QStringLiteral(
            "Name too long|Device name is limited to 64 ASCII characters (some UTF-8 characters can "
            "use several ASCII characters).\nPlease retry with a shorter name.");

        // 65 ASCII characters, then 33 characters of two UTF-8 bytes each (66 bytes).
        for (const QString& name : {QString(65, QLatin1Char('a')), QString(33, QChar(0x00E9))})
        {
            typeName(name);
            QTest::mouseClick(configureButton("pushButtonOk"), Qt::LeftButton);
            QCOMPARE(waitForMessage(window), expectedMessage);
            QVERIFY(window->workflowDevice() && window->workflowDevice()->isOpen());
            QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
            QCOMPARE(window->currentViewId(), int(VIEW_ID_CONFIGURE_DEVICE));
            QCOMPARE(page(VIEW_ID_CONFIGURE_DEVICE)->focusWidget(), nameField());
        }
        QVERIFY(_settingRequests_helper(simulator.requestLog()).isEmpty());

        // Corrected, it goes through on the same open device.
        const QString name(32, QChar(0x00E9));
        typeName(name);
        QTest::mouseClick(configureButton("pushButtonOk"), Qt::LeftButton);
        QCOMPARE(waitForMessage(window),
                 QStringLiteral("Success|The device configuration was successfully updated."));
        const QStringList sent = _settingRequests_helper(simulator.requestLog());
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first(), _setFullNameRequest_helper(name));
    }

    void onlyTheChangedFlagIsSent()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Flags"));
        openConfiguration();
        QTest::mouseClick(backupCheckBox(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(8, backupCheckBox()->height() / 2));
        QTest::mouseClick(configureButton("pushButtonOk"), Qt::LeftButton);
        QCOMPARE(waitForMessage(window),
                 QStringLiteral("Success|The device configuration was successfully updated."));
        QCOMPARE(_settingRequests_helper(simulator.requestLog()), QStringList({"A5 0B 00 01"}));
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QVERIFY(_deviceSettings_helper(simulator).isBackupDisabled);

        // Shown again, the page reflects the flag; unchanged values send nothing and still succeed.
        simulator.clearRequestLog();
        openConfiguration();
        QVERIFY(backupCheckBox()->isChecked());
        QTest::mouseClick(configureButton("pushButtonOk"), Qt::LeftButton);
        QCOMPARE(waitForMessage(window),
                 QStringLiteral("Success|The device configuration was successfully updated."));
        QVERIFY(_settingRequests_helper(simulator.requestLog()).isEmpty());
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));

        // Cancel sends nothing either and closes the device.
        openConfiguration();
        typeName("Never sent");
        QTest::mouseClick(configureButton("pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->workflowDevice());
        QVERIFY(_settingRequests_helper(simulator.requestLog()).isEmpty());
    }

    void unreadableFlagLeavesThePage()
    {
        // The device answers the flag request without its acknowledgement.
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "No flag", QByteArray(), QByteArray(),
                            {"--reply", "0x0A=0001"}));
        action(window, "actionConfigureDevice")->trigger();
        QCOMPARE(waitForMessage(window),
                 QStringLiteral("Device access error|Could not retrieve the device backup disable flag."));
        QVERIFY(!window->workflowDevice());
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(_settingRequests_helper(simulator.requestLog()).isEmpty());
    }

    void failedWritesAreReported()
    {
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Refuses", QByteArray(), QByteArray(),
                            {"--wrong-ack", "0x0B"}));
        openConfiguration();
        QTest::mouseClick(backupCheckBox(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(8, backupCheckBox()->height() / 2));
        QTest::mouseClick(configureButton("pushButtonOk"), Qt::LeftButton);
        QCOMPARE(waitForMessage(window),
                 QStringLiteral("Device access error|Could not write the device backup disable flag."));
        QVERIFY(!window->workflowDevice());
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }
};

QTEST_MAIN(TestDeviceConfigure)
#include "test_device_configure.moc"
