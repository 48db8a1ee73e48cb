// Device against simulator processes on real pseudo-terminals: the exact request bytes (read from the
// simulator's request log), reply decoding, failures and the current device.

#include "device/Device.h"
#include "device/DeviceFailureCause.h"
#include "device/DeviceOpening.h"
#include "device/DeviceRules.h"
#include "device/DeviceSession.h"
#include "support/SimulatorProcess.h"

#include <QPointer>
#include <QtTest>

#include <cerrno>

namespace
{
QString _hex_helper(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
} // namespace

class TestDevice : public QObject
{
    Q_OBJECT

private slots:
    void openReadsAndDecodesTheName();
    void commandRequestsAndReplies();
    void setNameLimits();
    void backupDisableFlagDecoding();
    void wrongAcknowledgementsFail();
    void silentDeviceTimesOut();
    void babblingDevicesAreRefused();
    void openFailures();
    void portIsExclusive();
    void vanishingDeviceFailsAtOnce();
    void memoryBuffersAndTheSession();
    void openFailureCauses();

private:
    // Starts a simulator with the given options and opens a Device on it; the log then starts empty.
    bool startAndOpen(SimulatorProcess& simulator, Device*& device,
                      const QStringList& arguments = QStringList());
};

bool TestDevice::startAndOpen(SimulatorProcess& simulator, Device*& device, const QStringList& arguments)
{
    device = nullptr;
    if (!simulator.start(QString(), QStringLiteral("TZQVR-0001"), arguments))
    {
        qWarning("%s", qPrintable(simulator.errorString()));
        return false;
    }
    device = new Device(simulator.portInfo(), this);
    if (device->open() != 0)
        return false;
    simulator.clearRequestLog();
    return true;
}

void TestDevice::openReadsAndDecodesTheName()
{
    struct Case
    {
        QStringList arguments;
        QString expectedName;
    };
    const QString longName(64, QLatin1Char('n'));
    const Case cases[] = {
        {{}, QStringLiteral("No name defined")},
        {{"--name", "Bureau"}, QStringLiteral("Bureau")},
        {{"--name", QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC")},
         QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC")},
        {{"--name", longName}, longName},
        {{"--name", ""}, QString()},
        // First byte FF means unset whatever follows.
        {{"--reply", "0x08=FF" + QString("41").repeated(63)}, QStringLiteral("No name defined")},
        // Text stops at the first zero byte.
        {{"--reply", "0x08=414200" + QString("43").repeated(61)}, QStringLiteral("AB")},
    };
    for (const Case& testCase : cases)
    {
        SimulatorProcess simulator;
        QVERIFY2(simulator.start(QString(), "TZQVR-0001", testCase.arguments),
                 qPrintable(simulator.errorString()));
        Device device(simulator.portInfo());
        QCOMPARE(device.getName(), QStringLiteral("No name defined"));
        QCOMPARE(device.getUsbSerialNumber(), QStringLiteral("TZQVR-0001"));
        QVERIFY(!device.isOpen());
        QCOMPARE(device.open(), 0);
        QVERIFY(device.isOpen());
        QCOMPARE(device.lastOpenErrorNumber(), 0);
        QCOMPARE(device.getName(), testCase.expectedName);
        QCOMPARE(device.getName().toUtf8().size(), testCase.expectedName.toUtf8().size());
        device.close();
        QVERIFY(!device.isOpen());
        // Open reads the name, close stops the LED blinking; nothing else goes out.
        QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 01 01"}));
        device.close();
        QCOMPARE(simulator.requestLog().size(), 2);

        // The same in steps from the event loop, as the window opens a device.
        Device stepped(simulator.portInfo());
        int result = DEVICE_RECEIVE_PENDING;
        auto* opening = new DeviceOpening(&stepped, this);
        connect(opening, &DeviceOpening::openingFinished, this,
                [&](int openingResult) { result = openingResult; });
        QTRY_COMPARE(result, 0);
        QCOMPARE(stepped.getName(), testCase.expectedName);
        stepped.close();
    }
}

void TestDevice::commandRequestsAndReplies()
{
    SimulatorProcess simulator;
    Device* device = nullptr;
    QVERIFY(startAndOpen(simulator, device, {"--hardware-version", "258", "--firmware-version", "10"}));

    unsigned hardwareVersion = 0;
    unsigned firmwareVersion = 0;
    QCOMPARE(device->getVersions(hardwareVersion, firmwareVersion), 0);
    QCOMPARE(hardwareVersion, 258u);
    QCOMPARE(firmwareVersion, 10u);
    QCOMPARE(device->setLedMode(LED_MODE_BLINK_DURING_ACCESS), 0);
    QCOMPARE(device->setLedMode(LED_MODE_BLINK), 0);
    QCOMPARE(device->selectMemory(1), 0);
    QString serialNumber;
    QCOMPARE(device->getSerialNumber(serialNumber), 0);
    QCOMPARE(serialNumber, QStringLiteral("No serial number"));
    QCOMPARE(device->setBackupDisableFlag(true), 0);
    bool isDisabled = false;
    QCOMPARE(device->getBackupDisableFlag(isDisabled), 0);
    QVERIFY(isDisabled);
    QCOMPARE(device->setBackupDisableFlag(false), 0);
    QCOMPARE(device->getBackupDisableFlag(isDisabled), 0);
    QVERIFY(!isDisabled);
    QCOMPARE(simulator.requestLog(), QStringList({"A5 00", "A5 01 03", "A5 01 02", "A5 02 01", "A5 06",
                                                  "A5 0B 00 01", "A5 0A 00", "A5 0B 00 00", "A5 0A 00"}));

    // Block 300 carries bytes 76 800 to 77 055 of an image.
    QByteArray image(131072, '\0');
    for (int index = 0; index < image.size(); index++)
        image[index] = static_cast<char>((index * 7 + index / 256) & 0xFF);
    simulator.clearRequestLog();
    QCOMPARE(device->writeMemoryBlock(300, reinterpret_cast<const uint8_t*>(image.constData()) + 300 * 256),
             0);
    QCOMPARE(simulator.requestLog(), QStringList({"A5 04 01 2C " + _hex_helper(image.mid(76800, 256))}));
    QCOMPARE(simulator.memory(1).mid(76800, 256), image.mid(76800, 256));
    // Blocks outside the memory and null data are refused without sending anything.
    QCOMPARE(device->writeMemoryBlock(512, reinterpret_cast<const uint8_t*>(image.constData())), -1);
    QCOMPARE(device->writeMemoryBlock(-1, reinterpret_cast<const uint8_t*>(image.constData())), -1);
    QCOMPARE(device->writeMemoryBlock(0, nullptr), -1);
    QCOMPARE(device->selectMemory(2), -1);
    QCOMPARE(device->readMemory(2), -1);
    QCOMPARE(simulator.requestLog().size(), 1);

    // readMemory(1): select the backup memory, then read it whole into the backup buffer.
    simulator.clearRequestLog();
    QCOMPARE(device->readMemory(1), 0);
    QCOMPARE(simulator.requestLog(), QStringList({"A5 02 01", "A5 05"}));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(device->getMemoryBuffer(1)) + 76800, 256),
             image.mid(76800, 256));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(device->getMemoryBuffer(0)), 131072),
             QByteArray(131072, '\0'));
    device->close();

    // Sixteen non-zero bytes make a sixteen-character serial number.
    SimulatorProcess numbered;
    QVERIFY(startAndOpen(numbered, device, {"--serial-number", "SN0123456789ABCD"}));
    QCOMPARE(device->getSerialNumber(serialNumber), 0);
    QCOMPARE(serialNumber, QStringLiteral("SN0123456789ABCD"));
    device->close();
}

void TestDevice::setNameLimits()
{
    SimulatorProcess simulator;
    Device* device = nullptr;
    QVERIFY(startAndOpen(simulator, device));

    const QString name63(63, QLatin1Char('a'));
    QCOMPARE(device->setName(name63), 0);
    QCOMPARE(device->getName(), name63);
    QCOMPARE(simulator.requestLog().last(), "A5 09 " + _hex_helper(name63.toLatin1() + QByteArray(1, '\0')));

    const QString name64(64, QLatin1Char('b'));
    QCOMPARE(device->setName(name64), 0);
    QCOMPARE(device->getName(), name64);
    QCOMPARE(simulator.requestLog().last(), "A5 09 " + _hex_helper(name64.toLatin1()));

    // 65 bytes, or 33 two-byte characters (66 bytes): refused, nothing sent, name kept.
    QCOMPARE(device->setName(QString(65, QLatin1Char('c'))), -2);
    QCOMPARE(device->setName(QString(33, QChar(0x00E9))), -2);
    QCOMPARE(device->getName(), name64);
    QCOMPARE(simulator.requestLog().size(), 2);

    // 32 two-byte characters fill the field exactly.
    const QString accented(32, QChar(0x00E9));
    QCOMPARE(device->setName(accented), 0);
    QCOMPARE(device->getName(), accented);
    device->close();

    // The device keeps the name: a new Device reads it back.
    Device reopened(simulator.portInfo());
    QCOMPARE(reopened.open(), 0);
    QCOMPARE(reopened.getName(), accented);
    reopened.close();
}

void TestDevice::backupDisableFlagDecoding()
{
    struct Case
    {
        QString reply;
        int expectedResult;
        bool expectedFlag;
        // The rule the copy and restore targets follow, in the window and the tool alike.
        BackupTargetCheck expectedTargetCheck;
    };
    // Only a second byte of exactly 1 means set; the first byte must be the acknowledgement. A flag that
    // cannot be read refuses the device as firmly as a set one.
    const Case cases[] = {
        {"A501", 0, true, BACKUP_TARGET_REFUSED},          {"A500", 0, false, BACKUP_TARGET_ALLOWED},
        {"A502", 0, false, BACKUP_TARGET_ALLOWED},         {"A5FF", 0, false, BACKUP_TARGET_ALLOWED},
        {"0001", -1, true, BACKUP_TARGET_FLAG_UNREADABLE}, {"A5", -1, true, BACKUP_TARGET_FLAG_UNREADABLE}};
    for (const Case& testCase : cases)
    {
        SimulatorProcess simulator;
        Device* device = nullptr;
        QVERIFY(startAndOpen(simulator, device, {"--reply", "0x0A=" + testCase.reply}));
        bool isDisabled = true;
        QCOMPARE(device->getBackupDisableFlag(isDisabled), testCase.expectedResult);
        QCOMPARE(isDisabled, testCase.expectedFlag);
        QCOMPARE(checkBackupTarget(*device), testCase.expectedTargetCheck);
        device->close();
    }
}

void TestDevice::wrongAcknowledgementsFail()
{
    const QByteArray block(256, 'z');
    const QStringList codes = {"0x01", "0x02", "0x04", "0x09", "0x0B", "0x00", "0x06"};
    for (const QString& code : codes)
    {
        SimulatorProcess simulator;
        Device* device = nullptr;
        QVERIFY(startAndOpen(simulator, device, {"--wrong-ack", code}));
        unsigned hardwareVersion = 7;
        unsigned firmwareVersion = 7;
        QString serialNumber = QStringLiteral("unchanged");
        const int result =
            code == "0x01"   ? device->setLedMode(LED_MODE_BLINK)
            : code == "0x02" ? device->selectMemory(0)
            : code == "0x04"
                ? device->writeMemoryBlock(0, reinterpret_cast<const uint8_t*>(block.constData()))
            : code == "0x09" ? device->setName(QStringLiteral("x"))
            : code == "0x0B" ? device->setBackupDisableFlag(true)
            : code == "0x00" ? device->getVersions(hardwareVersion, firmwareVersion)
                             : device->getSerialNumber(serialNumber);
        QCOMPARE(result, -1);
        QCOMPARE(simulator.requestLog().size(), 1);
        // Outputs are set only on success.
        QCOMPARE(hardwareVersion, 7u);
        QCOMPARE(firmwareVersion, 7u);
        QCOMPARE(serialNumber, QStringLiteral("unchanged"));
        if (code == "0x09")
            QCOMPARE(device->getName(), QStringLiteral("No name defined"));
        device->close();
    }
}

void TestDevice::silentDeviceTimesOut()
{
    {
        // Silent from the start: the open fails, and the device is sent nothing more, not even on closing.
        SimulatorProcess simulator;
        QVERIFY2(simulator.start(QString(), "TZQVR-0001", {"--silent"}), qPrintable(simulator.errorString()));
        Device device(simulator.portInfo());
        QCOMPARE(device.open(), -1);
        QCOMPARE(device.lastOpenErrorNumber(), ETIMEDOUT);
        QCOMPARE(device.lastFailure(), DEVICE_FAILURE_SILENCE);
        QCOMPARE(device.lastFailureDescription(), QStringLiteral("the device did not answer"));
        QVERIFY(device.isOpen());
        QVERIFY(!device.isAnswering());
        const uint8_t request[] = {0xA5, 0x00};
        QCOMPARE(device.send(request, sizeof(request)), -1);
        QCOMPARE(device.setLedMode(LED_MODE_BLINK), -1);
        device.close();
        QVERIFY(!device.isOpen());
        QCOMPARE(simulator.requestLog(), QStringList({"A5 08"}));
    }
    // Silent to one command only (an empty reply): the wait is bounded by the silence limit.
    SimulatorProcess simulator;
    QVERIFY2(simulator.start(QString(), "TZQVR-0001", {"--reply", "0x00="}),
             qPrintable(simulator.errorString()));
    Device device(simulator.portInfo());
    QCOMPARE(device.open(), 0);
    uint8_t reply[4];
    const uint8_t request[] = {0xA5, 0x00};
    QCOMPARE(device.send(request, sizeof(request)), 0);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(device.receive(reply, sizeof(reply), 2000), -2);
    // 2000 empty reads, each followed by a wait of up to 1 ms: at least about 2 s in all.
    QVERIFY2(timer.elapsed() >= 1900, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(device.receive(reply, sizeof(reply), 0), -2);
    QCOMPARE(device.receive(reply, 0, 0), 0);
    // It stopped answering: closing releases the port without the LED command.
    QVERIFY(!device.isAnswering());
    device.close();
    QVERIFY(!device.isOpen());
    QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 00"}));
}

void TestDevice::babblingDevicesAreRefused()
{
    struct Case
    {
        QStringList arguments;
        int expectedErrorNumber;
        DeviceFailure expectedFailure;
        QStringList expectedLog;
    };
    const Case cases[] = {
        // A name that is not UTF-8 text.
        {{"--reply", "0x08=" + QString("FE").repeated(64)}, EILSEQ, DEVICE_FAILURE_GARBLED_REPLY, {"A5 08"}},
        {{"--reply", "0x08=41" + QString("80").repeated(63)},
         EILSEQ,
         DEVICE_FAILURE_GARBLED_REPLY,
         {"A5 08"}},
        // A valid-looking unset name that goes on after its 64 bytes.
        {{"--reply", "0x08=" + QString("FF").repeated(96)}, EILSEQ, DEVICE_FAILURE_GARBLED_REPLY, {"A5 08"}},
        // Never quiet long enough to be asked anything.
        {{"--flood", "0x41"}, EBADMSG, DEVICE_FAILURE_NEVER_QUIET, {}},
    };
    for (const Case& testCase : cases)
    {
        SimulatorProcess simulator;
        QVERIFY2(simulator.start(QString(), "TZQVR-0001", testCase.arguments),
                 qPrintable(simulator.errorString()));
        Device device(simulator.portInfo());
        QCOMPARE(device.beginOpen(), 0);
        int result = DEVICE_RECEIVE_PENDING;
        int stepCount = 0;
        while (result == DEVICE_RECEIVE_PENDING)
        {
            result = device.continueOpen(20);
            stepCount++;
        }
        QCOMPARE(result, -1);
        QCOMPARE(device.getName(), QStringLiteral("No name defined"));
        device.close();
        // A simulator held up by a busy machine leaves a gap in its flood, long enough for the request to
        // go out: the flood then arrives as the name and goes on after it, which refuses it just as well.
        if (testCase.expectedFailure == DEVICE_FAILURE_NEVER_QUIET &&
            device.lastFailure() == DEVICE_FAILURE_GARBLED_REPLY)
        {
            QCOMPARE(device.lastOpenErrorNumber(), EILSEQ);
            QCOMPARE(simulator.requestLog(), QStringList({"A5 08"}));
            continue;
        }
        // Done in steps: a flood takes hundreds of them, never one long wait.
        if (testCase.expectedFailure == DEVICE_FAILURE_NEVER_QUIET)
            QVERIFY2(stepCount > 100, qPrintable(QString::number(stepCount)));
        QCOMPARE(device.lastOpenErrorNumber(), testCase.expectedErrorNumber);
        QCOMPARE(device.lastFailure(), testCase.expectedFailure);
        QCOMPARE(simulator.requestLog(), testCase.expectedLog);
    }
}

void TestDevice::openFailures()
{
    QTemporaryDir directory;
    Device missing(DevicePortInfo(directory.filePath("no-such-port"), "TZQVR-0001", 0x0403, 0x6015));
    QCOMPARE(missing.open(), -1);
    QCOMPARE(missing.lastOpenErrorNumber(), ENOENT);
    QVERIFY(!missing.isOpen());
    // A regular file is no terminal.
    QFile plainFile(directory.filePath("plain"));
    QVERIFY(plainFile.open(QIODevice::WriteOnly));
    plainFile.close();
    Device notTerminal(DevicePortInfo(plainFile.fileName(), "TZQVR-0001", 0x0403, 0x6015));
    QCOMPARE(notTerminal.open(), -1);
    QCOMPARE(notTerminal.lastOpenErrorNumber(), ENOTTY);
    notTerminal.close();
    // Operations on a device that is not open fail without effect.
    unsigned hardwareVersion = 0;
    unsigned firmwareVersion = 0;
    QCOMPARE(missing.getVersions(hardwareVersion, firmwareVersion), -1);
    QCOMPARE(missing.send("x", 1), -1);
}

void TestDevice::portIsExclusive()
{
    SimulatorProcess simulator;
    QVERIFY2(simulator.start(QString(), "TZQVR-0001"), qPrintable(simulator.errorString()));
    Device first(simulator.portInfo());
    Device second(simulator.portInfo());
    QCOMPARE(first.open(), 0);
    QCOMPARE(second.open(), -1);
    QVERIFY(second.lastOpenErrorNumber() == EWOULDBLOCK || second.lastOpenErrorNumber() == EBUSY);
    QVERIFY(!second.isOpen());
    second.close();
    // The first one is unaffected, and once it lets go the port can be taken again, many times over.
    unsigned hardwareVersion = 0;
    unsigned firmwareVersion = 0;
    QCOMPARE(first.getVersions(hardwareVersion, firmwareVersion), 0);
    first.close();
    for (int round = 0; round < 10; round++)
    {
        Device device(simulator.portInfo());
        QCOMPARE(device.open(), 0);
        QCOMPARE(device.getVersions(hardwareVersion, firmwareVersion), 0);
        device.close();
    }
}

void TestDevice::vanishingDeviceFailsAtOnce()
{
    SimulatorProcess simulator;
    Device* device = nullptr;
    QVERIFY(startAndOpen(simulator, device));
    QVERIFY(simulator.stop());
    unsigned hardwareVersion = 0;
    unsigned firmwareVersion = 0;
    QCOMPARE(device->getVersions(hardwareVersion, firmwareVersion), -1);
    // A failed port is reported as a failure (-1), not waited out like a silent device (-2).
    uint8_t reply[4];
    QCOMPARE(device->receive(reply, sizeof(reply), 2000), -1);
    device->close();
    QVERIFY(!device->isOpen());
}

void TestDevice::memoryBuffersAndTheSession()
{
    SimulatorProcess simulator;
    Device* device = nullptr;
    QVERIFY(startAndOpen(simulator, device));
    QVERIFY(device->getMemoryBuffer(0) != nullptr);
    QVERIFY(device->getMemoryBuffer(1) != nullptr);
    QVERIFY(device->getMemoryBuffer(0) != device->getMemoryBuffer(1));
    QVERIFY(device->getMemoryBuffer(2) == nullptr);
    QVERIFY(device->getMemoryBuffer(-1) == nullptr);
    QVERIFY(device->getMemoryBuffer(0)[131071] == 0);
    device->close();
    delete device;
    simulator.clearRequestLog();

    // The session owns what it opens or adopts, and closing it stops the LED and frees the port.
    QPointer<Device> watched;
    {
        DeviceSession session;
        QVERIFY(!session.device());
        session.close();
        // The open runs in steps on the event loop: no device until it has finished.
        int openResult = -1;
        session.open(simulator.portInfo(), [&openResult](bool isOpen) { openResult = isOpen ? 1 : 0; });
        QVERIFY(session.isOpening());
        QVERIFY(!session.device());
        QTRY_COMPARE(openResult, 1);
        QVERIFY(!session.isOpening());
        QVERIFY(session.device() && session.device()->isOpen());
        auto adopted = std::make_unique<Device>(simulator.portInfo());
        watched = session.device();
        // Adopting another device closes the first: its port is free for the adopted one.
        session.adopt(std::move(adopted));
        QVERIFY(watched.isNull());
        QCOMPARE(session.device()->open(), 0);
        watched = session.device();
    }
    QVERIFY(watched.isNull());
    QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 01 01", "A5 08", "A5 01 01"}));
    Device other(simulator.portInfo());
    QCOMPARE(other.open(), 0);
    other.close();

    // A device still sending an abandoned memory reply closes in steps: the LED command waits for the
    // quiet line from the event loop. Opening the port again meanwhile releases it at once, without it.
    SimulatorProcess slow;
    QVERIFY(startAndOpen(slow, device,
                         {"--speed", "11520", "--packet-size", "64", "--finish-abandoned-replies"}));
    QCOMPARE(device->selectMemory(DEVICE_MEMORY_MAIN), 0);
    QCOMPARE(device->startReadSelectedMemory(device->getMemoryBuffer(DEVICE_MEMORY_MAIN)), 0);
    QTRY_VERIFY(device->continueReceive(0) == DEVICE_RECEIVE_PENDING && device->receivedByteCount() > 0);
    watched = device;
    {
        DeviceSession closing;
        closing.adopt(std::unique_ptr<Device>(device));
        closing.close();
        QVERIFY(!closing.device());
    }
    QVERIFY(!watched.isNull());
    QVERIFY(watched->isClosing());
    Device next(slow.portInfo());
    QCOMPARE(next.beginOpen(), 0);
    QVERIFY(watched.isNull());
    next.close();
    QCOMPARE(slow.requestLog(), QStringList({"A5 02 00", "A5 05"}));
}

void TestDevice::openFailureCauses()
{
    // Every reason the device layer gives for a failed open has its own cause.
    const QList<QPair<int, DeviceFailureCause::Problem>> problems = {
        {EACCES, DeviceFailureCause::PROBLEM_ACCESS_DENIED},
        {EPERM, DeviceFailureCause::PROBLEM_ACCESS_DENIED},
        {EBUSY, DeviceFailureCause::PROBLEM_BUSY},
        {EWOULDBLOCK, DeviceFailureCause::PROBLEM_BUSY},
        {ENOENT, DeviceFailureCause::PROBLEM_GONE},
        {ETIMEDOUT, DeviceFailureCause::PROBLEM_NO_ANSWER},
        {EPROTO, DeviceFailureCause::PROBLEM_INCOMPLETE_ANSWER},
        {EBADMSG, DeviceFailureCause::PROBLEM_NEVER_QUIET},
        {EILSEQ, DeviceFailureCause::PROBLEM_GARBLED_ANSWER},
        {ENOTTY, DeviceFailureCause::PROBLEM_SYSTEM_ERROR}};
    for (const auto& [errorNumber, problem] : problems)
    {
        const DeviceFailureCause cause = DeviceFailureCause::fromOpenErrorNumber(errorNumber);
        QCOMPARE(cause.operation, DeviceFailureCause::OPERATION_OPENING);
        QCOMPARE(cause.problem, problem);
        QVERIFY(!describeDeviceFailureCause(cause).isEmpty());
    }
    QCOMPARE(describeDeviceFailureCause(DeviceFailureCause::fromOpenErrorNumber(EBUSY)),
             QStringLiteral("the port is in use by another program"));

    // The session reports the cause of a port that is gone and holds nothing afterwards.
    QTemporaryDir directory;
    DeviceSession session;
    int openResult = -1;
    session.open(DevicePortInfo(directory.filePath("no-such-port"), "TZQVR-0001", 0x0403, 0x6015),
                 [&openResult](bool isOpen) { openResult = isOpen ? 1 : 0; });
    QTRY_COMPARE(openResult, 0);
    QVERIFY(!session.device());
    QCOMPARE(session.openFailure().problem, DeviceFailureCause::PROBLEM_GONE);
    QCOMPARE(session.openFailure().errorNumber, ENOENT);
}

QTEST_GUILESS_MAIN(TestDevice)
#include "test_device.moc"
