// Port identity, simulated-port files and the enumeration of connected devices, with simulators plugged
// in and out as child processes.

#include "device/DeviceEnumeration.h"
#include "support/SimulatorProcess.h"

#include <QtTest>

namespace
{
QStringList _serialNumbers_helper(const QList<DevicePortInfo>& ports)
{
    QStringList serialNumbers;
    for (const DevicePortInfo& port : ports)
        serialNumbers.append(port.serialNumber());
    return serialNumbers;
}

bool _writeFile_helper(const QString& filePath, const QByteArray& content)
{
    QFile file(filePath);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
} // namespace

class TestDeviceEnumeration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void identityTest();
    void simulatedPortFiles();
    void enumerationListsMatchingDevicesInOrder();
    void plugAndUnplug();

private:
    QTemporaryDir _deviceDirectory;
    QList<DevicePortInfo> _realDevices;
};

void TestDeviceEnumeration::initTestCase()
{
    // Whatever real devices this machine has come first and stay; the tests look at what follows.
    qunsetenv(DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE);
    _realDevices = enumerateDevices();
    qputenv(DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE, QFile::encodeName(_deviceDirectory.path()));
}

void TestDeviceEnumeration::cleanup()
{
    QDir directory(_deviceDirectory.path());
    for (const QString& fileName : directory.entryList(QDir::Files | QDir::Hidden))
        directory.remove(fileName);
}

void TestDeviceEnumeration::identityTest()
{
    QVERIFY(DevicePortInfo("/dev/ttyUSB0", "TZQVR-0001", 0x0403, 0x6015).isCorvaneDevice());
    QVERIFY(DevicePortInfo("/dev/ttyUSB0", "TZQVR-", 0x0403, 0x6015).isCorvaneDevice());
    QVERIFY(!DevicePortInfo("/dev/ttyUSB0", "tzqvr-0001", 0x0403, 0x6015).isCorvaneDevice());
    QVERIFY(!DevicePortInfo("/dev/ttyUSB0", "TZQVR0001", 0x0403, 0x6015).isCorvaneDevice());
    QVERIFY(!DevicePortInfo("/dev/ttyUSB0", "X-TZQVR-0001", 0x0403, 0x6015).isCorvaneDevice());
    QVERIFY(!DevicePortInfo("/dev/ttyUSB0", "", 0x0403, 0x6015).isCorvaneDevice());
    QVERIFY(!DevicePortInfo("/dev/ttyUSB0", "TZQVR-0001", 0x0403, 0x6001).isCorvaneDevice());
    QVERIFY(!DevicePortInfo("/dev/ttyUSB0", "TZQVR-0001", 0x0404, 0x6015).isCorvaneDevice());
    QVERIFY(!DevicePortInfo("/dev/ttyS0", "TZQVR-0001").isCorvaneDevice());
    QVERIFY(!DevicePortInfo("/dev/ttyS0", "TZQVR-0001", 0x0403, -1).isCorvaneDevice());
    QVERIFY(!DevicePortInfo("/dev/ttyS0", "TZQVR-0001", -1, 0x6015).isCorvaneDevice());

    const DevicePortInfo port("/dev/ttyUSB3", "TZQVR-0042", 0x0403, 0x6015);
    QCOMPARE(port.portName(), QStringLiteral("ttyUSB3"));
    QCOMPARE(port.systemLocation(), QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(DevicePortInfo("/dev/pts/7", "x").portName(), QStringLiteral("pts/7"));
    QVERIFY(port == DevicePortInfo("/dev/ttyUSB3", "TZQVR-0042", 0x0403, 0x6015));
    QVERIFY(port != DevicePortInfo("/dev/ttyUSB4", "TZQVR-0042", 0x0403, 0x6015));
    QVERIFY(!DevicePortInfo().hasVendorIdentifier());
    QCOMPARE(DevicePortInfo().vendorIdentifier(), uint16_t(0));
}

void TestDeviceEnumeration::simulatedPortFiles()
{
    const QString filePath = _deviceDirectory.filePath("port.device");
    DevicePortInfo port;
    // Identifiers default to the device's own; unknown keys and junk lines are ignored.
    QVERIFY(_writeFile_helper(filePath, "port=/dev/pts/9\nusb_serial=TZQVR-0009\ncolour=blue\njunk\n"));
    QVERIFY(DevicePortInfo::readSimulatedPortFile(filePath, port));
    QCOMPARE(port, DevicePortInfo("/dev/pts/9", "TZQVR-0009", 0x0403, 0x6015));

    QVERIFY(_writeFile_helper(filePath,
                              "usb_serial=TZQVR-0009\r\nport=/dev/pts/9\r\nvid=0x0404\r\npid=24597\r\n"));
    QVERIFY(DevicePortInfo::readSimulatedPortFile(filePath, port));
    QCOMPARE(port, DevicePortInfo("/dev/pts/9", "TZQVR-0009", 0x0404, 0x6015));

    // An empty or malformed identifier means none, so the port can never pass the identity test.
    QVERIFY(_writeFile_helper(filePath, "port=/dev/pts/9\nusb_serial=TZQVR-0009\nvid=\npid=0x6015\n"));
    QVERIFY(DevicePortInfo::readSimulatedPortFile(filePath, port));
    QVERIFY(!port.hasVendorIdentifier());
    QVERIFY(!port.isCorvaneDevice());
    QVERIFY(_writeFile_helper(filePath, "port=/dev/pts/9\nusb_serial=TZQVR-0009\npid=0x16015\n"));
    QVERIFY(DevicePortInfo::readSimulatedPortFile(filePath, port));
    QVERIFY(!port.hasProductIdentifier());

    QVERIFY(_writeFile_helper(filePath, "usb_serial=TZQVR-0009\n"));
    QVERIFY(!DevicePortInfo::readSimulatedPortFile(filePath, port));
    QVERIFY(!DevicePortInfo::readSimulatedPortFile(_deviceDirectory.filePath("missing.device"), port));
}

void TestDeviceEnumeration::enumerationListsMatchingDevicesInOrder()
{
    const QString directory = _deviceDirectory.path();
    QCOMPARE(enumerateDevices(), _realDevices);

    SimulatorProcess second;
    SimulatorProcess first;
    SimulatorProcess lowerCase;
    SimulatorProcess noVendor;
    // File names, not start order, decide the order.
    QVERIFY2(second.start(directory, "TZQVR-0002", {"--device-file-name", "b.device"}),
             qPrintable(second.errorString()));
    QVERIFY2(first.start(directory, "TZQVR-0001", {"--device-file-name", "a.device"}),
             qPrintable(first.errorString()));
    QVERIFY2(lowerCase.start(directory, "tzqvr-0003"), qPrintable(lowerCase.errorString()));
    QVERIFY2(noVendor.start(directory, "TZQVR-0004", {"--vid", "none"}), qPrintable(noVendor.errorString()));
    // Files that are not device files are not looked at.
    QVERIFY(_writeFile_helper(directory + "/c.device.tmp", "port=/dev/null\nusb_serial=TZQVR-0005\n"));
    QVERIFY(QDir(directory).mkdir("d.device"));

    const QList<DevicePortInfo> devices = enumerateDevices();
    QCOMPARE(devices.mid(0, _realDevices.size()), _realDevices);
    const QList<DevicePortInfo> simulated = devices.mid(_realDevices.size());
    QCOMPARE(_serialNumbers_helper(simulated), QStringList({"TZQVR-0001", "TZQVR-0002"}));
    QCOMPARE(simulated.at(0), first.portInfo());
    QCOMPARE(simulated.at(1).systemLocation(), second.portPath());
    // All four are there before the identity test.
    QCOMPARE(readSimulatedPorts(directory).size(), 4);
    QVERIFY(QDir(directory).rmdir("d.device"));

    // A folder that others may write to could hold their device files: it is not used at all.
    const QFileDevice::Permissions ownPermissions = QFile::permissions(directory);
    QVERIFY(QFile::setPermissions(directory, ownPermissions | QFileDevice::WriteOther |
                                                 QFileDevice::ReadOther | QFileDevice::ExeOther));
    QVERIFY(!isTrustedDeviceDirectory(directory));
    QCOMPARE(enumerateDevices(), _realDevices);
    QVERIFY(QFile::setPermissions(directory, ownPermissions));
    QVERIFY(isTrustedDeviceDirectory(directory));
    QCOMPARE(enumerateDevices().size(), _realDevices.size() + 2);

    qunsetenv(DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE);
    QCOMPARE(enumerateDevices(), _realDevices);
    qputenv(DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE, QFile::encodeName(directory));
}

void TestDeviceEnumeration::plugAndUnplug()
{
    const QString directory = _deviceDirectory.path();
    SimulatorProcess device1;
    SimulatorProcess device2;
    QVERIFY2(device1.start(directory, "TZQVR-0001"), qPrintable(device1.errorString()));
    QCOMPARE(_serialNumbers_helper(enumerateDevices().mid(_realDevices.size())), QStringList({"TZQVR-0001"}));
    QVERIFY2(device2.start(directory, "TZQVR-0002"), qPrintable(device2.errorString()));
    QCOMPARE(_serialNumbers_helper(enumerateDevices().mid(_realDevices.size())),
             QStringList({"TZQVR-0001", "TZQVR-0002"}));
    QVERIFY(device1.stop());
    QVERIFY(!QFile::exists(device1.deviceFilePath()));
    QCOMPARE(_serialNumbers_helper(enumerateDevices().mid(_realDevices.size())), QStringList({"TZQVR-0002"}));
    QVERIFY(device2.stop());
    QCOMPARE(enumerateDevices(), _realDevices);
    // Plugged in again, with the same state.
    QVERIFY2(device1.start(directory, "TZQVR-0001"), qPrintable(device1.errorString()));
    QCOMPARE(_serialNumbers_helper(enumerateDevices().mid(_realDevices.size())), QStringList({"TZQVR-0001"}));
}

QTEST_GUILESS_MAIN(TestDeviceEnumeration)
#include "test_device_enumeration.moc"
