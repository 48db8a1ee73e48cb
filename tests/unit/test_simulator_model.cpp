// The firmware model alone: every command's request and reply bytes, framing, bad arguments and faults.

#include "simulator/DeviceFirmwareModel.h"

#include <QRandomGenerator>
#include <QtTest>

namespace
{
QByteArray _bytes_helper(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

QByteArray _blockWriteRequest_helper(int blockNumber, const QByteArray& data)
{
    return _bytes_helper({0xA5, 0x04, blockNumber >> 8, blockNumber & 0xFF}) + data;
}

QByteArray _pattern_helper(int size, quint32 seed)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(seed);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

const QByteArray ACK = _bytes_helper({0xA5});
const QByteArray NACK = _bytes_helper({0x00});
} // namespace

class TestSimulatorModel : public QObject
{
    Q_OBJECT

private slots:
    void versionsAndTextFields();
    void ledModeAndMemorySelection();
    void blockWritesAndMemoryRead();
    void backupDisableFlag();
    void requestsSplitAnywhere();
    void framingIgnoresJunkAndUnknownCodes();
    void faults();
    void changesAreReported();
};

void TestSimulatorModel::versionsAndTextFields()
{
    DeviceFirmwareModel model;
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x00})), _bytes_helper({0x00, 0x01, 0x00, 0x01}));
    model.setVersions(258, 10);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x00})), _bytes_helper({0x01, 0x02, 0x00, 0x0A}));

    // Unset fields answer FF first; the name field is stored exactly as sent, garbage after the text
    // included.
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x08})), QByteArray(64, char(0xFF)));
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x06})), QByteArray(16, char(0xFF)));
    const QByteArray nameField = QByteArray("Home") + '\0' + QByteArray(59, 'x');
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x09}) + nameField), ACK);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x08})), nameField);

    QByteArray serialField;
    QVERIFY(DeviceFirmwareModel::makeTextField("0123456789ABCDEF", 16, serialField));
    model.setSerialNumberField(serialField);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x06})), QByteArray("0123456789ABCDEF"));
    QVERIFY(!DeviceFirmwareModel::makeTextField("0123456789ABCDEFG", 16, serialField));
    QVERIFY(DeviceFirmwareModel::makeTextField(QString::fromUtf8("Caf\xC3\xA9"), 16, serialField));
    QCOMPARE(serialField, QByteArray("Caf\xC3\xA9").leftJustified(16, '\0'));
}

void TestSimulatorModel::ledModeAndMemorySelection()
{
    DeviceFirmwareModel model;
    QCOMPARE(model.ledMode(), 1);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x01, 0x03})), ACK);
    QCOMPARE(model.ledMode(), 3);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x01, 0x02})), ACK);
    QCOMPARE(model.ledMode(), 2);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x01, 0x04})), NACK);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x01, 0x00})), NACK);
    QCOMPARE(model.ledMode(), 2);

    QCOMPARE(model.selectedMemory(), 0);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x02, 0x01})), ACK);
    QCOMPARE(model.selectedMemory(), 1);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x02, 0x02})), NACK);
    QCOMPARE(model.selectedMemory(), 1);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x02, 0x00})), ACK);
    QCOMPARE(model.selectedMemory(), 0);
}

void TestSimulatorModel::blockWritesAndMemoryRead()
{
    DeviceFirmwareModel model;
    const QByteArray block = _pattern_helper(256, 300);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x02, 0x01})), ACK);
    // Block 300 is bytes 76 800 to 77 055.
    QCOMPARE(model.receive(_blockWriteRequest_helper(300, block)), ACK);
    QCOMPARE(model.receive(_blockWriteRequest_helper(511, block)), ACK);
    QCOMPARE(model.receive(_blockWriteRequest_helper(512, block)), NACK);
    QCOMPARE(model.acknowledgedBlockWriteCount(), 2);

    const QByteArray backup = model.receive(_bytes_helper({0xA5, 0x05}));
    QCOMPARE(backup.size(), 131072);
    QCOMPARE(backup.mid(76800, 256), block);
    QCOMPARE(backup.mid(130816, 256), block);
    QCOMPARE(backup.left(76800), QByteArray(76800, '\0'));
    QCOMPARE(backup.mid(77056, 130816 - 77056), QByteArray(130816 - 77056, '\0'));

    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x02, 0x00})), ACK);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x05})), QByteArray(131072, '\0'));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(model.memory(1)), 131072), backup);
    QVERIFY(model.memory(2) == nullptr);
}

void TestSimulatorModel::backupDisableFlag()
{
    DeviceFirmwareModel model;
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x0A, 0x00})), _bytes_helper({0xA5, 0x00}));
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x0B, 0x00, 0x01})), ACK);
    QVERIFY(model.isBackupDisabled());
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x0A, 0x00})), _bytes_helper({0xA5, 0x01}));
    // The constant byte must be 00 and the value 0 or 1.
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x0A, 0x01})), _bytes_helper({0x00, 0x00}));
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x0B, 0x00, 0x02})), NACK);
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x0B, 0x01, 0x00})), NACK);
    QVERIFY(model.isBackupDisabled());
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x0B, 0x00, 0x00})), ACK);
    QVERIFY(!model.isBackupDisabled());
}

void TestSimulatorModel::requestsSplitAnywhere()
{
    const QByteArray block = _pattern_helper(256, 7);
    const QByteArray requests = _bytes_helper({0xA5, 0x02, 0x01}) + _blockWriteRequest_helper(3, block) +
                                _bytes_helper({0xA5, 0x00, 0xA5, 0x0A, 0x00}) + _bytes_helper({0xA5, 0x09}) +
                                QByteArray(64, 'n') + _bytes_helper({0xA5, 0x08});
    const QByteArray expectedReplies =
        ACK + ACK + _bytes_helper({0x00, 0x01, 0x00, 0x01, 0xA5, 0x00}) + ACK + QByteArray(64, 'n');

    DeviceFirmwareModel wholeModel;
    QCOMPARE(wholeModel.receive(requests), expectedReplies);

    DeviceFirmwareModel byteModel;
    QByteArray replies;
    for (char byte : requests)
    {
        replies += byteModel.receive(&byte, 1);
    }
    QCOMPARE(replies, expectedReplies);
    QVERIFY(!byteModel.isInsideRequest());

    const QList<int> requestEnds = {3, 263, 265, 268, 334, 336};
    QRandomGenerator generator(42);
    for (int round = 0; round < 20; round++)
    {
        DeviceFirmwareModel model;
        QByteArray pieceReplies;
        int position = 0;
        while (position < requests.size())
        {
            const int size = qMin(static_cast<int>(requests.size()) - position, 1 + generator.bounded(40));
            pieceReplies += model.receive(requests.constData() + position, size);
            position += size;
            QCOMPARE(model.isInsideRequest(), !requestEnds.contains(position));
        }
        QCOMPARE(pieceReplies, expectedReplies);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(model.memory(1)) + 768, 256), block);
    }
}

void TestSimulatorModel::framingIgnoresJunkAndUnknownCodes()
{
    DeviceFirmwareModel model;
    QList<QPair<QByteArray, bool>> observed;
    model.setRequestObserver(
        [&](const QByteArray& request, bool isKnown) {
            observed.append({request, isKnown});
        });

    // Junk before a magic byte, an unknown code, a code that is itself a magic byte: the firmware
    // resynchronises each time and answers only the real requests.
    const QByteArray input = _bytes_helper({0x00, 0x42, 0xA5, 0x7F, 0x08, 0xA5, 0xA5, 0x00});
    QCOMPARE(model.receive(input), _bytes_helper({0x00, 0x01, 0x00, 0x01}));
    QCOMPARE(observed.size(), 3);
    QCOMPARE(observed.at(0).first, _bytes_helper({0xA5, 0x7F}));
    QVERIFY(!observed.at(0).second);
    QCOMPARE(observed.at(1).first, _bytes_helper({0xA5, 0xA5}));
    QVERIFY(!observed.at(1).second);
    QCOMPARE(observed.at(2).first, _bytes_helper({0xA5, 0x00}));
    QVERIFY(observed.at(2).second);
    // Codes the application never sends (03, 07) are unknown too.
    QCOMPARE(model.receive(_bytes_helper({0xA5, 0x03, 0xA5, 0x07})), QByteArray());
    QVERIFY(!model.isInsideRequest());
}

void TestSimulatorModel::faults()
{
    const QByteArray block = _pattern_helper(256, 9);
    // A silent firmware and a flooding one (whose flood the link sends) both take requests and do nothing.
    for (const bool isFlooding : {false, true})
    {
        DeviceFirmwareModel model;
        int observedCount = 0;
        model.setRequestObserver([&](const QByteArray&, bool) { observedCount++; });
        DeviceFirmwareModel::Faults faults;
        faults.isSilent = !isFlooding;
        faults.floodByte = isFlooding ? 0x5A : -1;
        model.setFaults(faults);
        QCOMPARE(model.receive(_bytes_helper({0xA5, 0x08, 0xA5, 0x02, 0x01})), QByteArray());
        QCOMPARE(observedCount, 2);
        QCOMPARE(model.selectedMemory(), 0);
    }
    {
        DeviceFirmwareModel model;
        DeviceFirmwareModel::Faults faults;
        faults.silentAfterBlockWriteCount = 2;
        model.setFaults(faults);
        QCOMPARE(model.receive(_blockWriteRequest_helper(0, block)), ACK);
        QCOMPARE(model.receive(_blockWriteRequest_helper(1, block)), ACK);
        QCOMPARE(model.receive(_blockWriteRequest_helper(2, block)), QByteArray());
        QCOMPARE(model.receive(_bytes_helper({0xA5, 0x00})), QByteArray());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(model.memory(0)) + 512, 256),
                 QByteArray(256, '\0'));
    }
    {
        DeviceFirmwareModel model;
        DeviceFirmwareModel::Faults faults;
        faults.wrongAcknowledgeCommandCode = 0x02;
        model.setFaults(faults);
        QCOMPARE(model.receive(_bytes_helper({0xA5, 0x02, 0x01})), _bytes_helper({0x00}));
        QCOMPARE(model.selectedMemory(), 0);
        faults.wrongAcknowledgeCommandCode = 0x0A;
        model.setFaults(faults);
        model.setBackupDisabled(true);
        QCOMPARE(model.receive(_bytes_helper({0xA5, 0x0A, 0x00})), _bytes_helper({0x00, 0x01}));
        // A data command answers one byte short.
        faults.wrongAcknowledgeCommandCode = 0x08;
        model.setFaults(faults);
        QCOMPARE(model.receive(_bytes_helper({0xA5, 0x08})), QByteArray(63, char(0xFF)));
    }
    {
        DeviceFirmwareModel model;
        DeviceFirmwareModel::Faults faults;
        faults.isStoringInvertedBlocks = true;
        model.setFaults(faults);
        QCOMPARE(model.receive(_blockWriteRequest_helper(5, block)), ACK);
        const QByteArray stored(reinterpret_cast<const char*>(model.memory(0)) + 5 * 256, 256);
        for (int index = 0; index < 256; index++)
            QCOMPARE(static_cast<uint8_t>(stored.at(index)), static_cast<uint8_t>(~block.at(index)));
    }
    {
        DeviceFirmwareModel model;
        DeviceFirmwareModel::Faults faults;
        faults.replyOverrides.insert(0x0A, _bytes_helper({0xA5, 0x02}));
        model.setFaults(faults);
        QCOMPARE(model.receive(_bytes_helper({0xA5, 0x0A, 0x00})), _bytes_helper({0xA5, 0x02}));
        QCOMPARE(model.receive(_bytes_helper({0xA5, 0x00})), _bytes_helper({0x00, 0x01, 0x00, 0x01}));
    }
    {
        DeviceFirmwareModel model;
        model.memory(0)[1000] = 0x3C;
        model.makeBackupDifferAt(1000);
        int differenceCount = 0;
        for (int offset = 0; offset < DeviceFirmwareModel::MEMORY_SIZE; offset++)
            differenceCount += model.memory(0)[offset] != model.memory(1)[offset] ? 1 : 0;
        QCOMPARE(differenceCount, 1);
        QCOMPARE(model.memory(1)[1000], uint8_t(0xC3));
    }
}

void TestSimulatorModel::changesAreReported()
{
    DeviceFirmwareModel model;
    QCOMPARE(model.takeChanges(), 0);
    model.receive(_bytes_helper({0xA5, 0x00, 0xA5, 0x08, 0xA5, 0x01, 0x03}));
    QCOMPARE(model.takeChanges(), 0);
    model.receive(_blockWriteRequest_helper(1, QByteArray(256, 'a')));
    QCOMPARE(model.takeChanges(), int(DeviceFirmwareModel::CHANGE_MEMORY));
    model.receive(_bytes_helper({0xA5, 0x09}) + QByteArray(64, 'b') +
                  _bytes_helper({0xA5, 0x0B, 0x00, 0x01}));
    QCOMPARE(model.takeChanges(),
             int(DeviceFirmwareModel::CHANGE_NAME | DeviceFirmwareModel::CHANGE_BACKUP_DISABLE_FLAG));
    QCOMPARE(model.takeChanges(), 0);
}

QTEST_GUILESS_MAIN(TestSimulatorModel)
#include "test_simulator_model.moc"
