// The corvane-device-simulator program itself: its command line, registration file, state directory,
// request log, line behaviour and ending.

#include "device/Device.h"
#include "device/SerialLink.h"
#include "support/SimulatorProcess.h"

#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>

namespace
{
// Generous: nothing below needs more than about a second on an idle machine.
constexpr int READ_DEADLINE_MILLISECONDS = 30000;
constexpr int MEMORY_SIZE = 131072;

QByteArray _readFile_helper(const QString& filePath)
{
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray _randomMemory_helper()
{
    QByteArray bytes(MEMORY_SIZE, '\0');
    QRandomGenerator generator(77);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), MEMORY_SIZE / 4);
    return bytes;
}

QByteArray _nameField_helper(const QByteArray& name)
{
    return name.leftJustified(64, '\0');
}

// Reads until received holds at least minimumSize bytes and ends with ending; false when the deadline
// passes or the port fails. Each read's size goes to readSizes when given.
bool _readUntil_helper(SerialLink& link, QByteArray& received, int minimumSize,
                       const QByteArray& ending = QByteArray(), QList<int>* readSizes = nullptr)
{
    const QDeadlineTimer deadline(READ_DEADLINE_MILLISECONDS);
    char buffer[65536];
    while (received.size() < minimumSize || !received.endsWith(ending))
    {
        if (deadline.hasExpired() || !link.waitForReadable(100))
            return false;
        const int count = link.read(buffer, sizeof(buffer));
        if (count < 0)
            return false;
        received.append(buffer, count);
        if (readSizes && count > 0)
            readSizes->append(count);
    }
    return true;
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
    void repliesLeaveInPackets();
    void abandonedRepliesAreFinished();
    void truncatedMemoryReply();
    void floodReplacesEveryReply();
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
                                 "--exit-with-parent",
                                 "--packet-size",
                                 "--finish-abandoned-replies",
                                 "--truncate-memory-reply",
                                 "--flood"};
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
                                                 {"--packet-size", "64"},
                                                 {"--speed", "11520", "--packet-size", "4097"},
                                                 {"--truncate-memory-reply", "131072"},
                                                 {"--flood", "0x100"},
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
    // The log holds every written memory block: readable by its owner only.
    QCOMPARE(QFileInfo(simulator.logPath()).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestSimulatorProgram::repliesLeaveInPackets()
{
    // At 640 bytes/s a 24-byte packet takes 37.5 ms of line time: whole packets each, except the end of
    // the reply (64 = 24 + 24 + 16). A slow reader may find several packets at once, never a part of one.
    SimulatorProcess simulator;
    QVERIFY2(simulator.start(QString(), "TZQVR-0001",
                             {"--speed", "640", "--packet-size", "24", "--name", "Packets"}),
             qPrintable(simulator.errorString()));
    SerialLink link;
    QVERIFY(link.open(simulator.portPath()));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(link.write("\xA5\x08", 2));
    QByteArray received;
    QList<int> readSizes;
    QVERIFY(_readUntil_helper(link, received, 64, QByteArray(), &readSizes));
    // The request and the reply each take their line time.
    QVERIFY2(timer.elapsed() >= 100, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(received, _nameField_helper("Packets"));
    for (int index = 0; index < readSizes.size() - 1; index++)
        QVERIFY2(readSizes.at(index) % 24 == 0, qPrintable(QString::number(readSizes.at(index))));
    QCOMPARE(readSizes.last() % 24, 16);
}

void TestSimulatorProgram::abandonedRepliesAreFinished()
{
    // The terminal holds far less than a memory, so as long as the client reads nothing most of a memory
    // read reply is still unsent. It reads on only once the log shows the new request was taken: whether
    // the request cancels the rest then does not depend on timing.
    const QByteArray memory = _randomMemory_helper();
    const QByteArray nameField = _nameField_helper("Tail");
    for (const bool isFinishing : {false, true})
    {
        SimulatorProcess simulator;
        QVERIFY(simulator.writeMemory(0, memory));
        QStringList arguments = {"--name", "Tail"};
        if (isFinishing)
            arguments << "--finish-abandoned-replies";
        QVERIFY2(simulator.start(QString(), "TZQVR-0001", arguments), qPrintable(simulator.errorString()));
        SerialLink link;
        QVERIFY(link.open(simulator.portPath()));
        QByteArray received;
        QVERIFY(link.write("\xA5\x05", 2));
        QVERIFY(_readUntil_helper(link, received, 1));
        QVERIFY(link.write("\xA5\x08", 2));
        QTRY_VERIFY_WITH_TIMEOUT(simulator.requestLog().contains("A5 08"), READ_DEADLINE_MILLISECONDS);
        QVERIFY(_readUntil_helper(link, received, 0, nameField));
        if (!isFinishing)
        {
            // By default the rest of the memory is dropped.
            QVERIFY(received.size() < MEMORY_SIZE);
            QVERIFY(memory.startsWith(received.chopped(64)));
            continue;
        }
        QVERIFY(received == memory + nameField);

        // A client leaving in the middle of a reply: the next one reads the tail before its own reply.
        QVERIFY(link.write("\xA5\x05", 2));
        received.clear();
        QVERIFY(_readUntil_helper(link, received, 1));
        link.close();
        SerialLink nextLink;
        QVERIFY(nextLink.open(simulator.portPath()));
        QVERIFY(nextLink.write("\xA5\x08", 2));
        received.clear();
        QVERIFY(_readUntil_helper(nextLink, received, 0, nameField));
        const QByteArray tail = received.chopped(64);
        QVERIFY(!tail.isEmpty());
        QVERIFY(memory.endsWith(tail));
    }
}

void TestSimulatorProgram::truncatedMemoryReply()
{
    // Unpaced, a whole reply would fill the terminal before the first byte is read, so anything beyond
    // the limit would come before the next reply.
    const QByteArray memory = _randomMemory_helper();
    SimulatorProcess simulator;
    QVERIFY(simulator.writeMemory(0, memory));
    QVERIFY2(simulator.start(QString(), "TZQVR-0001", {"--truncate-memory-reply", "1000", "--name", "Next"}),
             qPrintable(simulator.errorString()));
    SerialLink link;
    QVERIFY(link.open(simulator.portPath()));
    QVERIFY(link.write("\xA5\x05", 2));
    QByteArray received;
    QVERIFY(_readUntil_helper(link, received, 1000));
    QVERIFY(link.write("\xA5\x08", 2));
    const QByteArray nameField = _nameField_helper("Next");
    QVERIFY(_readUntil_helper(link, received, 0, nameField));
    QVERIFY(received == memory.left(1000) + nameField);
}

void TestSimulatorProgram::floodReplacesEveryReply()
{
    SimulatorProcess simulator;
    QVERIFY2(simulator.start(QString(), "TZQVR-0001", {"--flood", "0x5A"}),
             qPrintable(simulator.errorString()));
    SerialLink link;
    QVERIFY(link.open(simulator.portPath()));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(link.write("\xA5\x08", 2));
    // One second of the real line's rate: more than the flood queued ahead of any reply.
    QByteArray received;
    QVERIFY(_readUntil_helper(link, received, 11520));
    QVERIFY2(timer.elapsed() >= 900, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(received.count(char(0x5A)), received.size());
    QTRY_COMPARE(simulator.requestLog(), QStringList({"A5 08"}));
}

QTEST_GUILESS_MAIN(TestSimulatorProgram)
#include "test_simulator_program.moc"
