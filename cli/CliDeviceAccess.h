#pragma once

#include "common/SecureImageBuffer.h"
#include "device/Device.h"
#include "vault/DeviceSealMemory.h"

#include <QString>

#include <memory>

// Finding, opening, reading and writing a device the way the application does, with one-line reasons
// for everything that fails.

// Closes the device (which stops its LED) before deleting it.
struct CliDeviceCloser
{
    void operator()(Device* device) const;
};
using CliDevicePointer = std::unique_ptr<Device, CliDeviceCloser>;

// While one exists, a first Ctrl+C asks the running transfer to stop at its next safe point (a read stops
// at once, a write after the block under way) and a second one ends the program at once.
class CliInterruptionGuard
{
public:
    CliInterruptionGuard();
    ~CliInterruptionGuard();
    CliInterruptionGuard(const CliInterruptionGuard&) = delete;
    CliInterruptionGuard& operator=(const CliInterruptionGuard&) = delete;
};
// True once Ctrl+C was pressed under a CliInterruptionGuard: the failing transfer was stopped by it.
bool isCliInterrupted();

// --memory values.
enum CliMemoryChoice
{
    CLI_MEMORY_CHOICE_UNSET = -1,
    CLI_MEMORY_CHOICE_MAIN = DEVICE_MEMORY_MAIN,
    CLI_MEMORY_CHOICE_BACKUP = DEVICE_MEMORY_BACKUP
};
// "main" or "backup" (empty: unset). False for anything else.
bool parseMemoryChoice(const QString& text, CliMemoryChoice& choice);

// The device to work on: the connected one whose USB serial number is usbSerialNumber, or the only
// connected device when usbSerialNumber is empty. Null with errorMessage when none or several match.
std::unique_ptr<DevicePortInfo> selectDevicePort(const QString& usbSerialNumber, QString& errorMessage);
// Selects and opens the device. Null with errorMessage when it cannot be found or opened.
CliDevicePointer openSelectedDevice(const QString& usbSerialNumber, QString& errorMessage);
// Why open() failed, from Device::lastOpenErrorNumber().
QString describeOpenFailure(int errorNumber);
// "device 'Home' (TZQVR-0001)" for messages.
QString describeDevice(const Device& device);

// The stored image a command works on: the file at imagePath, or else the chosen memory of the device
// (opened before any password is asked, so that a missing device is reported at once). deviceIdentity
// receives the device's identity, unknown for an image file.
[[nodiscard]] bool readStoredImage(const QString& imagePath, const QString& usbSerialNumber,
                                   CliMemoryChoice memoryChoice, SecureImageBuffer& storedImage,
                                   DeviceIdentity& deviceIdentity, QString& errorMessage);

// Reads the main then the backup memory into the device's buffers, the LED blinking meanwhile. Stopped
// by Ctrl+C (see CliInterruptionGuard), it fails and errorMessage says so.
[[nodiscard]] bool readDeviceMemories(Device& device, QString& errorMessage);
// After readDeviceMemories: the main image when both memories are equal, the chosen one when choice is
// set; false with errorMessage when they differ and nothing was chosen.
[[nodiscard]] bool chooseDeviceMemory(Device& device, CliMemoryChoice choice, const uint8_t*& image,
                                      QString& errorMessage);
// Writes image to the main memory, then to the backup memory, block by block, the LED blinking
// meanwhile; then reads both back and compares them with image. Stopped by Ctrl+C, it fails and
// errorMessage says what each memory holds and how to finish.
[[nodiscard]] bool writeAndVerifyDeviceMemories(Device& device, const uint8_t* image, QString& errorMessage);
