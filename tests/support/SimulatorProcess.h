#pragma once

#include "device/DevicePortInfo.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// One corvane-device-simulator child process for tests: a simulated device on a real pseudo-terminal.
// By default it keeps its state in a temporary directory of its own and logs every request.
//
//     SimulatorProcess simulator;
//     QVERIFY2(simulator.start(deviceDirectory.path(), "TZQVR-0001", {"--name", "Home"}),
//              qPrintable(simulator.errorString()));
//     Device device(simulator.portInfo());
//     ...
//     QCOMPARE(simulator.requestLog().last(), QString("A5 01 01"));
class SimulatorProcess
{
public:
    SimulatorProcess();
    // Stops the simulator if it still runs.
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // Before start(): keep the state in this directory instead (to restart a device with its memories).
    void setStateDirectory(const QString& directoryPath);
    // Before start(): no request log (for benchmarks). Logging is on by default.
    void setRequestLogEnabled(bool isEnabled);
    // Before start(): fills a memory (0 main, 1 backup) of the state directory; false on a write error.
    bool writeMemory(int memoryIndex, const QByteArray& content);

    // Starts the simulator, registered in deviceDirectory (empty: not registered) as
    // "<usbSerialNumber>.device" unless extraArguments name another "--device-file-name", and waits until
    // it is ready. extraArguments are further simulator options ("--name", "Home", "--silent"...).
    // False when it did not become ready; errorString() then says why.
    bool start(const QString& deviceDirectory, const QString& usbSerialNumber,
               const QStringList& extraArguments = QStringList());
    // Ends it the way a device is unplugged (SIGTERM: the device file is removed) and waits for the end.
    // True when it ended cleanly; stopping a simulator that does not run is true as well.
    bool stop();
    bool isRunning() const;

    QString portPath() const;
    // Description of the simulated port, as the enumeration would build it.
    DevicePortInfo portInfo() const;
    // Empty when not registered.
    QString deviceFilePath() const;
    QString statePath() const;
    QString logPath() const;
    // The requests received so far, one per element, as upper-case hexadecimal bytes ("A5 02 01").
    QStringList requestLog() const;
    void clearRequestLog();
    // A memory as stored now in the state directory (0 main, 1 backup).
    QByteArray memory(int memoryIndex) const;
    QString errorString() const;

    static QString programPath();

private:
    QString memoryFilePath(int memoryIndex) const;

    std::unique_ptr<QProcess> _process;
    QTemporaryDir _workDirectory;
    QString _statePath;
    QString _portPath;
    QString _usbSerialNumber;
    QString _deviceFilePath;
    QString _errorString;
    bool _isRequestLogEnabled = true;
};
