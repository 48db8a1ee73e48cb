#pragma once

#include "device/DevicePortInfo.h"
#include "device/DeviceProtocol.h"
#include "device/SerialLink.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

// One connected vault device: its port, the open link, a buffer for each of its two memories and its
// cached name. Operations return 0 on success and -1 on any transport failure, time-out or wrong
// acknowledgement; receive() and setName() have one more code each.
class Device : public QObject
{
    Q_OBJECT

public:
    explicit Device(const DevicePortInfo& portInfo, QObject* parent = nullptr);
    // Zero-fills both memory buffers. A port still open is released without talking to the device;
    // close() is the orderly way and comes first.
    ~Device() override;

    // Opens the port exclusively and reads the device name. 0 or -1; after -1 the reason is in
    // lastOpenErrorNumber() and close() must still be called.
    int open();
    // Stops the LED blinking (outcome ignored) and releases the port. Does nothing when not open.
    void close();
    bool isOpen() const;
    // Why the last open() failed: an errno value (EACCES: no permission on the port; EBUSY or
    // EWOULDBLOCK: in use by another program; ENOENT: gone), ETIMEDOUT when the device did not answer,
    // EPROTO for an incomplete answer, 0 after a successful open.
    int lastOpenErrorNumber() const;

    // Writes the whole request and waits until it has left. 0 or -1.
    int send(const void* data, int size);
    // Reads exactly size bytes within pollBudget reads; each read that finds nothing is followed by a
    // wait of at most 1 ms that ends as soon as data arrives. 0, -1 on a port failure, -2 when the
    // budget ran out.
    int receive(void* data, int size, int pollBudget);

    const DevicePortInfo& getPortInfo() const;
    QString getUsbSerialNumber() const;
    QString getName() const;
    // The main memory buffer for index 0, the backup buffer for 1, null otherwise. DEVICE_MEMORY_SIZE bytes.
    uint8_t* getMemoryBuffer(int memoryIndex);

    int getVersions(unsigned& hardwareVersion, unsigned& firmwareVersion);
    int setLedMode(int mode);
    int selectMemory(int memoryIndex);
    // Selects the memory, then reads all of it into its buffer.
    int readMemory(int memoryIndex);
    // Writes DEVICE_MEMORY_BLOCK_SIZE bytes of data as block blockNumber (0 to 511) of the selected memory.
    int writeMemoryBlock(int blockNumber, const uint8_t* data);
    // The decoded serial number, or the translated "No serial number" when none is set.
    int getSerialNumber(QString& serialNumber);
    // -2 without sending anything when the name is longer than 64 UTF-8 bytes.
    int setName(const QString& name);
    int getBackupDisableFlag(bool& isDisabled);
    int setBackupDisableFlag(bool isDisabled);

private:
    int readName();
    // Sends a request whose whole reply is the single acknowledgement byte.
    int sendAcknowledgedRequest(const uint8_t* request, int size, int pollBudget);
    QString decodeTextField(const uint8_t* field, int size, const QString& unsetText) const;

    DevicePortInfo _portInfo;
    SerialLink _serialLink;
    QString _name;
    int _lastOpenErrorNumber = 0;
    std::unique_ptr<uint8_t[]> _memoryBuffers[DEVICE_MEMORY_COUNT];
};

// The process-wide current device, the one a workflow works on (may be null).
Device* getCurrentDevice();
// Replaces the pointer; the previous device is neither closed nor deleted.
void setCurrentDevice(Device* device);
// Closes and deletes the current device and clears the pointer; nothing when there is none.
void closeCurrentDevice();
