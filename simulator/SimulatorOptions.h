#pragma once

#include "simulator/DeviceFirmwareModel.h"
#include "simulator/PseudoTerminalServer.h"

#include <QString>
#include <QStringList>

#include <optional>

// Everything the simulator program's command line can ask for.
struct SimulatorOptions
{
    QString stateDirectoryPath;
    QString usbSerialNumber = QStringLiteral("TZQVR-SIM-0001");
    // Empty: the device file has no "vid="/"pid=" line (the reader's default applies); "none": an empty
    // value, which means a port without that identifier.
    QString vendorIdentifierText;
    QString productIdentifierText;
    QString deviceDirectoryPath;
    QString deviceFileName;
    std::optional<QString> name;
    std::optional<QString> serialNumber;
    std::optional<int> hardwareVersion;
    std::optional<int> firmwareVersion;
    bool isBackupDisabled = false;
    PseudoTerminalServer::LinkOptions link;
    QString logFilePath;
    bool isExitingWithParent = false;
    int backupDifferenceOffset = -1;
    DeviceFirmwareModel::Faults faults;
};

// Parses the program's arguments (argv[0] first). Returns false with a message for bad input; "--help"
// prints the help text and exits.
[[nodiscard]] bool parseSimulatorOptions(const QStringList& arguments, SimulatorOptions& options,
                                         QString& errorMessage);
