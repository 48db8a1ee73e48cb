#pragma once

#include <QString>

#include <cstdint>

class DeviceFirmwareModel;

// Keeps a simulated device's state in a directory between runs:
//   main_memory.bin, backup_memory.bin   131 072 bytes each, mapped into memory, so every stored block
//                                        is in the file at once (zero-filled when created)
//   name.bin                             the 64-byte name field (missing: unset)
//   serial_number.bin                    the 16-byte serial number field (missing: unset)
//   device.conf                          "hardware_version=", "firmware_version=", "backup_disabled=0|1"
// The small files are replaced atomically (write to a temporary file, then rename).
class SimulatorStateStore
{
public:
    SimulatorStateStore() = default;
    ~SimulatorStateStore();
    SimulatorStateStore(const SimulatorStateStore&) = delete;
    SimulatorStateStore& operator=(const SimulatorStateStore&) = delete;

    // Creates the directory if needed, maps the memories into the model and loads the other values.
    [[nodiscard]] bool open(const QString& directoryPath, DeviceFirmwareModel& model, QString& errorMessage);
    // Writes the name, serial number, versions and flag.
    bool save(const DeviceFirmwareModel& model, QString& errorMessage) const;
    // Pushes the mapped memories to their files.
    void synchronize();

private:
    [[nodiscard]] bool mapMemoryFile(const QString& filePath, uint8_t*& memory, QString& errorMessage);

    QString _directoryPath;
    uint8_t* _memories[2] = {nullptr, nullptr};
};
