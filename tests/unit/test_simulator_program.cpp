// The corvane-device-simulator program itself: its command line, registration file, state directory,
// request log and ending.

#include "device/Device.h"
#include "support/SimulatorProcess.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

namespace
{
QByteArray _readFile_helper(const QString& filePath)
{
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestSimulatorProgram : public QObject
{
    Q_OBJECT

private slots:
    void helpAndBadArguments();
    void deviceFileLifecycle();
    void stateSurvivesRestarts();
    void requestLogFormat();
};

void TestSimulatorProgram::helpAndBadArguments()
{
    QProcess help;
    help.start(SimulatorProcess::programPath(), {"--help"});
    QVERIFY(help.waitForFinished(20000));
    QCOMPARE(help.exitCode(), 0);
    const QString helpText = QString::fromUtf8(help.readAllStandardOutput());
    const QStringList options = {"--state-dir",
                                 "--usb-serial",
                                 "--name",
                                 "--serial-number",
                                 "--hardware-version",
                                 "--firmware-version",
                                 "--backup-disabled",
                                 "--speed",
                                 "--log",
                                 "--vid",
                                 "--pid",
                                 "--device-dir",
                                 "--device-file-name",
                                 "--silent",
                                 "--silent-after-blocks",
                                 "--wrong-ack",
                                 "--store-inverted",
                                 "--backup-differs-at",
                                 "--reply",
                                 "--exit-with-parent"};
    for (const QString& option : options)
        QVERIFY2(helpText.contains(option), qPrintable(option));

    const QList<QStringList> badArgumentLists = {{"--speed", "fast"},
                                                 {"--speed", "0"},
                                                 {"--name", QString(65, 'n')},
                                                 {"--serial-number", QString(17, 's')},
                                                 {"--hardware-version", "65536"},
                                                 {"--wrong-ack", "0x100"},
                                                 {"--reply", "0x0A=A5Z"},
                                                 {"--vid", "0x10000"},
                                                 {"--device-file-name", "a/b.device"},
                                                 {"--no-such-option"},
                                                 {"positional"}};
    for (const QStringList& arguments : badArgumentLists)
    {
        QProcess process;
        process.start(SimulatorProcess::programPath(), arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(process.readAllStandardError().contains("corvane-device-simulator:"),
                 qPrintable(arguments.join(' ')));
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }
}

void TestSimulatorProgram::deviceFileLifecycle()
{
    QTemporaryDir deviceDirectory;
    SimulatorProcess simulator;
    QVERIFY2(simulator.start(deviceDirectory.path(), "TZQVR-0007", {"--vid", "1027", "--pid", "none"}),
             qPrintable(simulator.errorString()));
    QCOMPARE(simulator.deviceFilePath(), deviceDirectory.filePath("TZQVR-0007.device"));
    QCOMPARE(_readFile_helper(simulator.deviceFilePath()),
             "port=" + simulator.portPath().toUtf8() + "\nusb_serial=TZQVR-0007\nvid=0x0403\npid=\n");
    QVERIFY(simulator.portPath().startsWith("/dev/pts/"));
    // Only the device file is left in the directory: it was written aside and renamed.
    QCOMPARE(QDir(deviceDirectory.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"TZQVR-0007.device"}));
    QVERIFY(simulator.stop());
    QVERIFY(QDir(deviceDirectory.path()).isEmpty());

    // SIGINT and SIGHUP unplug it the same way; the port goes away with it.
    for (int stopSignal : {SIGINT, SIGHUP})
    {
        QProcess process;
        process.start(SimulatorProcess::programPath(),
                      {"--device-dir", deviceDirectory.path(), "--usb-serial", "TZQVR-0008"});
        QVERIFY(process.waitForReadyRead(20000));
        const QByteArray ready = process.readLine();
        QVERIFY(ready.startsWith("ready port=/dev/pts/"));
        QVERIFY(QFile::exists(deviceDirectory.filePath("TZQVR-0008.device")));
        ::kill(static_cast<pid_t>(process.processId()), stopSignal);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(!QFile::exists(deviceDirectory.filePath("TZQVR-0008.device")));
    }

    // Without a device directory it serves all the same, unregistered.
    qunsetenv("CORVANE_DEVICE_DIR");
    SimulatorProcess unregistered;
    QVERIFY2(unregistered.start(QString(), "TZQVR-0009"), qPrintable(unregistered.errorString()));
    QVERIFY(unregistered.deviceFilePath().isEmpty());
    Device device(unregistered.portInfo());
    QCOMPARE(device.open(), 0);
    device.close();
}

void TestSimulatorProgram::stateSurvivesRestarts()
{
    QTemporaryDir stateDirectory;
    SimulatorProcess simulator;
    simulator.setStateDirectory(stateDirectory.path());
    QVERIFY2(simulator.start(
                 QString(), "TZQVR-0001",
                 {"--serial-number", "SN-1", "--hardware-version", "3", "--firmware-version", "0x0104"}),
             qPrintable(simulator.errorString()));
    {
        Device device(simulator.portInfo());
        QCOMPARE(device.open(), 0);
        QCOMPARE(device.setName(QStringLiteral("Kept")), 0);
        QCOMPARE(device.setBackupDisableFlag(true), 0);
        device.close();
    }
    QVERIFY(simulator.stop());
    QCOMPARE(_readFile_helper(stateDirectory.filePath("device.conf")),
             QByteArray("hardware_version=3\nfirmware_version=260\nbackup_disabled=1\n"));
    QCOMPARE(_readFile_helper(stateDirectory.filePath("name.bin")).left(5), QByteArray("Kept\0", 5));
    QCOMPARE(_readFile_helper(stateDirectory.filePath("main_memory.bin")), QByteArray(131072, '\0'));

    // Restarted without options: everything comes back from the directory.
    QVERIFY2(simulator.start(QString(), "TZQVR-0001"), qPrintable(simulator.errorString()));
    Device device(simulator.portInfo());
    QCOMPARE(device.open(), 0);
    QCOMPARE(device.getName(), QStringLiteral("Kept"));
    bool isDisabled = false;
    QCOMPARE(device.getBackupDisableFlag(isDisabled), 0);
    QVERIFY(isDisabled);
    unsigned hardwareVersion = 0;
    unsigned firmwareVersion = 0;
    QCOMPARE(device.getVersions(hardwareVersion, firmwareVersion), 0);
    QCOMPARE(hardwareVersion, 3u);
    QCOMPARE(firmwareVersion, 260u);
    QString serialNumber;
    QCOMPARE(device.getSerialNumber(serialNumber), 0);
    QCOMPARE(serialNumber, QStringLiteral("SN-1"));
    device.close();
}

void TestSimulatorProgram::requestLogFormat()
{
    SimulatorProcess simulator;
    QVERIFY2(simulator.start(QString(), "TZQVR-0001"), qPrintable(simulator.errorString()));
    Device device(simulator.portInfo());
    QCOMPARE(device.open(), 0);
    // Junk, an unknown command, then a real one sent in two pieces.
    const uint8_t junk[] = {0x11, 0xA5, 0x7E, 0xA5, 0x0A};
    const uint8_t rest[] = {0x00};
    QCOMPARE(device.send(junk, sizeof(junk)), 0);
    QCOMPARE(device.send(rest, sizeof(rest)), 0);
    uint8_t reply[2];
    QCOMPARE(device.receive(reply, sizeof(reply), 2000), 0);
    QCOMPARE(reply[0], uint8_t(0xA5));
    QCOMPARE(reply[1], uint8_t(0x00));
    device.close();
    QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 7E ?", "A5 0A 00", "A5 01 01"}));
}

QTEST_GUILESS_MAIN(TestSimulatorProgram)
#include "test_simulator_program.moc"
