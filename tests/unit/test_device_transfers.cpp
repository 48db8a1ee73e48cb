// Whole-memory transfers between Device and a simulator process, checked byte for byte against the
// memories the simulator stores, and the transfer faults.

#include "device/Device.h"
#include "device/DeviceTransfer.h"
#include "support/SimulatorProcess.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

#include <cstring>

namespace
{
QByteArray _randomImage_helper(quint32 seed)
{
    QByteArray image(DEVICE_MEMORY_SIZE, '\0');
    QRandomGenerator generator(seed);
    generator.fillRange(reinterpret_cast<quint32*>(image.data()), DEVICE_MEMORY_SIZE / 4);
    return image;
}

QByteArray _buffer_helper(Device& device, int memoryIndex)
{
    return QByteArray(reinterpret_cast<const char*>(device.getMemoryBuffer(memoryIndex)), DEVICE_MEMORY_SIZE);
}

// The host's write sequence for one memory: select it once, then every block in order.
int _writeMemory_helper(Device& device, int memoryIndex, const QByteArray& image, int& failedBlock)
{
    failedBlock = -1;
    if (device.selectMemory(memoryIndex) != 0)
        return -1;
    for (int block = 0; block < DEVICE_MEMORY_BLOCK_COUNT; block++)
    {
        const auto* data =
            reinterpret_cast<const uint8_t*>(image.constData()) + block * DEVICE_MEMORY_BLOCK_SIZE;
        if (device.writeMemoryBlock(block, data) != 0)
        {
            failedBlock = block;
            return -1;
        }
    }
    return 0;
}
} // namespace

class TestDeviceTransfers : public QObject
{
    Q_OBJECT

private slots:
    void readBothMemories();
    void writeBothMemories();
    void writeFaults();
    void pacedLinkCarriesTheSameBytes();
    void differingBackupByte();
    void lineLeftoversAndSilence();
};

void TestDeviceTransfers::readBothMemories()
{
    const QByteArray mainImage = _randomImage_helper(1);
    const QByteArray backupImage = _randomImage_helper(2);
    SimulatorProcess simulator;
    QVERIFY(simulator.writeMemory(0, mainImage));
    QVERIFY(simulator.writeMemory(1, backupImage));
    QVERIFY2(simulator.start(QString(), "TZQVR-0001"), qPrintable(simulator.errorString()));
    Device device(simulator.portInfo());
    QCOMPARE(device.open(), 0);
    QCOMPARE(device.readMemory(0), 0);
    QCOMPARE(device.readMemory(1), 0);
    QVERIFY(_buffer_helper(device, 0) == mainImage);
    QVERIFY(_buffer_helper(device, 1) == backupImage);
    device.close();
    QCOMPARE(simulator.requestLog(),
             QStringList({"A5 08", "A5 02 00", "A5 05", "A5 02 01", "A5 05", "A5 01 01"}));
}

void TestDeviceTransfers::writeBothMemories()
{
    const QByteArray image = _randomImage_helper(3);
    SimulatorProcess simulator;
    QVERIFY2(simulator.start(QString(), "TZQVR-0001"), qPrintable(simulator.errorString()));
    Device device(simulator.portInfo());
    QCOMPARE(device.open(), 0);
    int failedBlock = -1;
    QCOMPARE(_writeMemory_helper(device, 0, image, failedBlock), 0);
    QCOMPARE(_writeMemory_helper(device, 1, image, failedBlock), 0);
    // Every acknowledged block is already in the stored memories.
    QVERIFY(simulator.memory(0) == image);
    QVERIFY(simulator.memory(1) == image);
    const QStringList log = simulator.requestLog();
    QCOMPARE(log.size(), 1 + 2 * (1 + DEVICE_MEMORY_BLOCK_COUNT));
    QCOMPARE(log.at(1), QStringLiteral("A5 02 00"));
    QVERIFY(log.at(2).startsWith("A5 04 00 00 "));
    QVERIFY(log.at(513).startsWith("A5 04 01 FF "));
    QCOMPARE(log.at(514), QStringLiteral("A5 02 01"));
    QCOMPARE(log.at(515).size(), 260 * 3 - 1);

    // Read back through the device, and after a restart of the simulator with the same state.
    QCOMPARE(device.readMemory(1), 0);
    QVERIFY(_buffer_helper(device, 1) == image);
    device.close();
    QVERIFY(simulator.stop());
    QVERIFY2(simulator.start(QString(), "TZQVR-0001"), qPrintable(simulator.errorString()));
    Device reopened(simulator.portInfo());
    QCOMPARE(reopened.open(), 0);
    QCOMPARE(reopened.readMemory(0), 0);
    QVERIFY(_buffer_helper(reopened, 0) == image);
    reopened.close();
}

void TestDeviceTransfers::writeFaults()
{
    const QByteArray image = _randomImage_helper(4);
    int failedBlock = -1;
    {
        // A device that dies in the middle keeps exactly the acknowledged blocks.
        SimulatorProcess simulator;
        QVERIFY2(simulator.start(QString(), "TZQVR-0001", {"--silent-after-blocks", "10"}),
                 qPrintable(simulator.errorString()));
        Device device(simulator.portInfo());
        QCOMPARE(device.open(), 0);
        QCOMPARE(_writeMemory_helper(device, 0, image, failedBlock), -1);
        QCOMPARE(failedBlock, 10);
        const QByteArray stored = simulator.memory(0);
        QCOMPARE(stored.left(10 * 256), image.left(10 * 256));
        QCOMPARE(stored.mid(10 * 256), QByteArray(DEVICE_MEMORY_SIZE - 10 * 256, '\0'));
        device.close();
    }
    {
        // Refused blocks fail at once.
        SimulatorProcess simulator;
        QVERIFY2(simulator.start(QString(), "TZQVR-0001", {"--wrong-ack", "0x04"}),
                 qPrintable(simulator.errorString()));
        Device device(simulator.portInfo());
        QCOMPARE(device.open(), 0);
        QCOMPARE(_writeMemory_helper(device, 1, image, failedBlock), -1);
        QCOMPARE(failedBlock, 0);
        device.close();
    }
    {
        // Acknowledged but stored wrongly: only reading back shows it.
        SimulatorProcess simulator;
        QVERIFY2(simulator.start(QString(), "TZQVR-0001", {"--store-inverted"}),
                 qPrintable(simulator.errorString()));
        Device device(simulator.portInfo());
        QCOMPARE(device.open(), 0);
        QCOMPARE(_writeMemory_helper(device, 0, image, failedBlock), 0);
        QCOMPARE(device.readMemory(0), 0);
        const QByteArray readBack = _buffer_helper(device, 0);
        QVERIFY(readBack != image);
        QCOMPARE(static_cast<uint8_t>(readBack.at(777)), static_cast<uint8_t>(~image.at(777)));

        // The transfer compares the main memory before it touches the backup memory.
        const QByteArray previousBackup = simulator.memory(1);
        std::memcpy(device.getMemoryBuffer(0), image.constData(), DEVICE_MEMORY_SIZE);
        std::memcpy(device.getMemoryBuffer(1), image.constData(), DEVICE_MEMORY_SIZE);
        simulator.clearRequestLog();
        DeviceTransfer transfer;
        transfer.startWriting(&device);
        QCOMPARE(transfer.run(), int(DeviceTransfer::WRITE_RESULT_MAIN_VERIFICATION_FAILED));
        QVERIFY(!simulator.requestLog().contains("A5 02 01"));
        QCOMPARE(simulator.memory(1), previousBackup);
        device.close();
    }
}

void TestDeviceTransfers::pacedLinkCarriesTheSameBytes()
{
    // A paced link changes the timing only: requests and replies stay intact, split or not.
    const QByteArray image = _randomImage_helper(5);
    SimulatorProcess simulator;
    QVERIFY(simulator.writeMemory(0, image));
    QVERIFY2(simulator.start(QString(), "TZQVR-0001", {"--speed", "200000", "--name", "Paced"}),
             qPrintable(simulator.errorString()));
    Device device(simulator.portInfo());
    QCOMPARE(device.open(), 0);
    QCOMPARE(device.getName(), QStringLiteral("Paced"));
    QCOMPARE(device.selectMemory(0), 0);
    for (int block = 0; block < 8; block++)
        QCOMPARE(device.writeMemoryBlock(block, reinterpret_cast<const uint8_t*>(image.constData()) + 4096 +
                                                    block * 256),
                 0);
    QCOMPARE(device.readMemory(0), 0);
    QVERIFY(_buffer_helper(device, 0).left(2048) == image.mid(4096, 2048));
    QVERIFY(_buffer_helper(device, 0).mid(2048) == image.mid(2048));

    // The time left of a write counts the read-back that follows it once told about it.
    DeviceTransfer transfer;
    transfer.startWriting(&device);
    while (!transfer.advance() && transfer.remainingSecondsEstimate() < 0)
    {
    }
    const int writeOnly = transfer.remainingSecondsEstimate();
    transfer.setFollowingByteCount(DEVICE_MEMORY_COUNT * DEVICE_MEMORY_SIZE);
    const int withReadBack = transfer.remainingSecondsEstimate();
    QVERIFY2(writeOnly > 0 && withReadBack > writeOnly,
             qPrintable(QStringLiteral("%1 %2").arg(writeOnly).arg(withReadBack)));
    QCOMPARE(transfer.run(), int(DeviceTransfer::WRITE_RESULT_SUCCESS));
    device.close();
}

void TestDeviceTransfers::differingBackupByte()
{
    const QByteArray image = _randomImage_helper(6);
    SimulatorProcess simulator;
    QVERIFY(simulator.writeMemory(0, image));
    QVERIFY(simulator.writeMemory(1, image));
    QVERIFY2(simulator.start(QString(), "TZQVR-0001", {"--backup-differs-at", "65536"}),
             qPrintable(simulator.errorString()));
    Device device(simulator.portInfo());
    QCOMPARE(device.open(), 0);
    QCOMPARE(device.readMemory(0), 0);
    QCOMPARE(device.readMemory(1), 0);
    const QByteArray mainMemory = _buffer_helper(device, 0);
    const QByteArray backupMemory = _buffer_helper(device, 1);
    QVERIFY(mainMemory == image);
    QCOMPARE(backupMemory.left(65536), image.left(65536));
    QCOMPARE(static_cast<uint8_t>(backupMemory.at(65536)), static_cast<uint8_t>(~image.at(65536)));
    QCOMPARE(backupMemory.mid(65537), image.mid(65537));
    device.close();
}

void TestDeviceTransfers::lineLeftoversAndSilence()
{
    const QByteArray image = _randomImage_helper(7);
    {
        // A reply that stops half-way fails after the silence limit with the real cause. The device that
        // stopped answering is asked nothing more; opened again, it answers correctly.
        SimulatorProcess simulator;
        QVERIFY(simulator.writeMemory(0, image));
        QVERIFY2(simulator.start(QString(), "TZQVR-0001", {"--truncate-memory-reply", "65536"}),
                 qPrintable(simulator.errorString()));
        Device device(simulator.portInfo());
        QCOMPARE(device.open(), 0);
        DeviceTransfer transfer;
        transfer.startReading(&device);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(transfer.run(), int(DeviceTransfer::READ_RESULT_MAIN_MEMORY_FAILED));
        QVERIFY2(clock.elapsed() >= DEVICE_SILENCE_LIMIT_READ_MEMORY - 100,
                 qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(transfer.failureCause(),
                 QStringLiteral(
                     "reading the main memory: the device stopped answering after 65536 of 131072 bytes"));
        QCOMPARE(transfer.completedByteCount(), 65536);
        QCOMPARE(transfer.failure().problem, DeviceFailureCause::PROBLEM_STOPPED_ANSWERING);
        QCOMPARE(transfer.failure().receivedByteCount, 65536);
        QCOMPARE(transfer.failure().expectedByteCount, 131072);
        unsigned hardwareVersion = 0;
        unsigned firmwareVersion = 0;
        simulator.clearRequestLog();
        QCOMPARE(device.getVersions(hardwareVersion, firmwareVersion), -1);
        device.close();
        QVERIFY(simulator.requestLog().isEmpty());
        Device reopened(simulator.portInfo());
        QCOMPARE(reopened.open(), 0);
        QCOMPARE(reopened.getVersions(hardwareVersion, firmwareVersion), 0);
        QCOMPARE(hardwareVersion, 1u);
        reopened.close();
    }
    {
        // A program that gave up on a memory reply leaves the device sending the rest of it: the next
        // program must not take those bytes for the answers to its own requests.
        SimulatorProcess simulator;
        QVERIFY(simulator.writeMemory(0, image));
        QVERIFY2(simulator.start(QString(), "TZQVR-0001",
                                 {"--finish-abandoned-replies", "--speed", "100000", "--name", "Home"}),
                 qPrintable(simulator.errorString()));
        {
            Device abandoning(simulator.portInfo());
            QCOMPARE(abandoning.open(), 0);
            QCOMPARE(abandoning.selectMemory(0), 0);
            const uint8_t readRequest[] = {0xA5, 0x05};
            uint8_t start[64];
            QCOMPARE(abandoning.send(readRequest, sizeof(readRequest)), 0);
            QCOMPARE(abandoning.receive(start, sizeof(start), DEVICE_SILENCE_LIMIT_DEFAULT), 0);
            // Released without a word, as a program that is killed.
        }
        Device next(simulator.portInfo());
        QCOMPARE(next.open(), 0);
        QCOMPARE(next.getName(), QStringLiteral("Home"));
        DeviceTransfer transfer;
        transfer.startReading(&next);
        QCOMPARE(transfer.run(), int(DeviceTransfer::READ_RESULT_SUCCESS));
        QVERIFY(_buffer_helper(next, 0) == image);
        next.close();
    }
    {
        // At 9 600 baud a bridge delivers a 64-byte reply as one packet 67 ms after the request: the line
        // looks quiet meanwhile, longer than a too-short quiet rule waits.
        SimulatorProcess simulator;
        QVERIFY2(simulator.start(QString(), "TZQVR-0001",
                                 {"--finish-abandoned-replies", "--speed", "960", "--packet-size", "64",
                                  "--name", "Slow", "--serial-number", "SN-960"}),
                 qPrintable(simulator.errorString()));
        for (int round = 0; round < 3; round++)
        {
            {
                Device abandoning(simulator.portInfo());
                QCOMPARE(abandoning.open(), 0);
                // Asked for its serial number, then gone before the answer.
                const uint8_t request[] = {0xA5, 0x06};
                QCOMPARE(abandoning.send(request, sizeof(request)), 0);
                const uint8_t nameRequest[] = {0xA5, 0x08};
                QCOMPARE(abandoning.send(nameRequest, sizeof(nameRequest)), 0);
            }
            Device next(simulator.portInfo());
            QCOMPARE(next.open(), 0);
            QCOMPARE(next.getName(), QStringLiteral("Slow"));
            // Each answer is its own: a stale name would make these fail.
            QCOMPARE(next.selectMemory(DEVICE_MEMORY_BACKUP), 0);
            QString serialNumber;
            QCOMPARE(next.getSerialNumber(serialNumber), 0);
            QCOMPARE(serialNumber, QStringLiteral("SN-960"));
            QCOMPARE(next.selectMemory(DEVICE_MEMORY_MAIN), 0);
            next.close();
        }
    }
}

QTEST_GUILESS_MAIN(TestDeviceTransfers)
#include "test_device_transfers.moc"
