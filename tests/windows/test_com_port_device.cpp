// Every device command over the Windows serial link: the simulator serves a pseudo-terminal at the real line
// rate, Wine maps COM5 to it, and CORVANE_DEVICE_DIR holds a simulated-port file naming COM5 (set up by
// scripts/windows-device-test, which runs this program under Wine). Each setting written is read back from
// the device, after closing and opening it again where the device reports it on opening.

#include "device/Device.h"
#include "device/DeviceEnumeration.h"
#include "device/DeviceProtocol.h"

#include <QtTest>

#include <memory>

class TestComPortDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void discoveryFindsTheDeviceOnComFive();
    void everyCommandRoundTripsThroughTheSerialLink();

private:
    std::unique_ptr<Device> _openDevice();

    DevicePortInfo _portInfo;
};

void TestComPortDevice::initTestCase()
{
    if (qEnvironmentVariableIsEmpty(DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE))
        QSKIP("Needs a simulated device on COM5 (scripts/windows-device-test)");
}

void TestComPortDevice::discoveryFindsTheDeviceOnComFive()
{
    const QList<DevicePortInfo> devices = enumerateDevices();
    for (const DevicePortInfo& device : devices)
    {
        if (device.portName() == QStringLiteral("COM5"))
            _portInfo = device;
    }
    QVERIFY2(_portInfo.portName() == QStringLiteral("COM5"),
             qPrintable(QStringLiteral("devices found: %1").arg(devices.size())));
    QCOMPARE(_portInfo.serialNumber(), qEnvironmentVariable("CORVANE_TEST_USB_SERIAL"));
}

std::unique_ptr<Device> TestComPortDevice::_openDevice()
{
    auto device = std::make_unique<Device>(_portInfo);
    return device->open() == 0 ? std::move(device) : nullptr;
}

void TestComPortDevice::everyCommandRoundTripsThroughTheSerialLink()
{
    QVERIFY(_portInfo.portName() == QStringLiteral("COM5"));
    std::unique_ptr<Device> device = _openDevice();
    QVERIFY(device);
    const QString originalName = device->getName();
    QVERIFY(!originalName.isEmpty());

    unsigned hardwareVersion = 0;
    unsigned firmwareVersion = 0;
    QCOMPARE(device->getVersions(hardwareVersion, firmwareVersion), 0);
    QVERIFY(hardwareVersion > 0 || firmwareVersion > 0);
    QCOMPARE(device->setLedMode(LED_MODE_BLINK_DURING_ACCESS), 0);
    QString serialNumber;
    QCOMPARE(device->getSerialNumber(serialNumber), 0);
    QVERIFY(!serialNumber.isEmpty());

    QCOMPARE(device->setBackupDisableFlag(true), 0);
    bool isDisabled = false;
    QCOMPARE(device->getBackupDisableFlag(isDisabled), 0);
    QVERIFY(isDisabled);
    QCOMPARE(device->setBackupDisableFlag(false), 0);
    QCOMPARE(device->getBackupDisableFlag(isDisabled), 0);
    QVERIFY(!isDisabled);

    // Non-ASCII goes out as UTF-8 and comes back on the next opening.
    const QString newName = QStringLiteral("Wine renamed é");
    QCOMPARE(device->setName(newName), 0);
    device->close();
    device = _openDevice();
    QVERIFY(device);
    QCOMPARE(device->getName(), newName);

    // One block of the backup memory written, then the whole memory read back at the line rate.
    QCOMPARE(device->readMemory(1), 0);
    constexpr int BLOCK_OFFSET = 300 * DEVICE_MEMORY_BLOCK_SIZE;
    QByteArray block(DEVICE_MEMORY_BLOCK_SIZE, '\0');
    for (int index = 0; index < block.size(); index++)
        block[index] = static_cast<char>(index * 7 + 3);
    const QByteArray before(reinterpret_cast<const char*>(device->getMemoryBuffer(1)), DEVICE_MEMORY_SIZE);
    QCOMPARE(device->writeMemoryBlock(300, reinterpret_cast<const uint8_t*>(block.constData())), 0);
    QCOMPARE(device->readMemory(1), 0);
    const QByteArray after(reinterpret_cast<const char*>(device->getMemoryBuffer(1)), DEVICE_MEMORY_SIZE);
    QCOMPARE(after.mid(BLOCK_OFFSET, DEVICE_MEMORY_BLOCK_SIZE), block);
    QCOMPARE(after.left(BLOCK_OFFSET), before.left(BLOCK_OFFSET));
    QCOMPARE(after.mid(BLOCK_OFFSET + DEVICE_MEMORY_BLOCK_SIZE),
             before.mid(BLOCK_OFFSET + DEVICE_MEMORY_BLOCK_SIZE));
    // Put back what was there, so the script's later checks see the device as it was.
    QCOMPARE(
        device->writeMemoryBlock(300, reinterpret_cast<const uint8_t*>(before.constData()) + BLOCK_OFFSET),
        0);
    QCOMPARE(device->setName(originalName), 0);
    device->close();
}

QTEST_GUILESS_MAIN(TestComPortDevice)
#include "test_com_port_device.moc"
