#pragma once

#include "common/SecureImageBuffer.h"
#include "device/DevicePortInfo.h"
#include "device/DeviceProtocol.h"
#include "device/SerialLink.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

// Why the last exchange with a device failed, for messages that name the real cause.
enum DeviceFailure
{
    DEVICE_FAILURE_NONE = 0,
    // The operating system reported an error on the port (device unplugged, for example).
    DEVICE_FAILURE_PORT,
    // No byte arrived for the reply's silence limit.
    DEVICE_FAILURE_SILENCE,
    // The reply kept trickling in for longer than it needs on the slowest supported link.
    DEVICE_FAILURE_TOO_SLOW,
    // The reply arrived but is not the expected acknowledgement.
    DEVICE_FAILURE_WRONG_REPLY,
    // Before the request, the device kept sending data nobody asked for.
    DEVICE_FAILURE_NEVER_QUIET
};

// Returned by continueReceive() while reply bytes are still due.
constexpr int DEVICE_RECEIVE_PENDING = 1;

// One connected vault device: its port, the open link, a buffer for each of its two memories and its
// cached name. Operations return 0 on success and -1 on any transport failure, time-out or wrong
// acknowledgement; receive() and setName() have one more code each.
//
// Every request first makes sure that nothing is left on the line from an earlier reply: stray bytes are
// discarded, and after a failed reply (or right after opening) the line must fall quiet first, because a
// device goes on sending a reply that its reader abandoned.
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
    [[nodiscard]] int open();
    // Stops the LED blinking (outcome ignored) and releases the port. Does nothing when not open.
    void close();
    bool isOpen() const;
    // Why the last open() failed: an errno value (EACCES: no permission on the port; EBUSY or
    // EWOULDBLOCK: in use by another program; ENOENT: gone), ETIMEDOUT when the device did not answer,
    // EPROTO for an incomplete answer, EBADMSG when it kept sending unasked, 0 after a successful open.
    int lastOpenErrorNumber() const;
    DeviceFailure lastFailure() const;

    // Clears the line of earlier replies (see the class comment), writes the whole request and waits
    // until it has left. 0 or -1.
    [[nodiscard]] int send(const void* data, int size);
    // Reads exactly size bytes. 0; -1 on a port failure; -2 when no byte arrived for
    // silenceLimitMilliseconds, or when the reply took longer than size bytes need on the slowest
    // supported link (plus the silence limit). A reply that keeps arriving is never cut off before that.
    [[nodiscard]] int receive(void* data, int size, int silenceLimitMilliseconds);

    // receive() in steps, for transfers that must leave the event loop running: beginReceive() sets up the
    // reply, each continueReceive() takes what has arrived and waits at most waitMilliseconds for more.
    // continueReceive() returns DEVICE_RECEIVE_PENDING while bytes are still due, then receive()'s code;
    // for a reply started by a start...() command below, 0 also means that the acknowledgement was right.
    void beginReceive(void* data, int size, int silenceLimitMilliseconds);
    [[nodiscard]] int continueReceive(int waitMilliseconds);
    // Bytes of the current (or last) reply received so far.
    int receivedByteCount() const;

    const DevicePortInfo& getPortInfo() const;
    QString getUsbSerialNumber() const;
    QString getName() const;
    // The main memory buffer for index 0, the backup buffer for 1, null otherwise. DEVICE_MEMORY_SIZE bytes.
    uint8_t* getMemoryBuffer(int memoryIndex);

    [[nodiscard]] int getVersions(unsigned& hardwareVersion, unsigned& firmwareVersion);
    [[nodiscard]] int setLedMode(int mode);
    [[nodiscard]] int selectMemory(int memoryIndex);
    // Selects the memory, then reads all of it into its buffer.
    [[nodiscard]] int readMemory(int memoryIndex);
    // Writes DEVICE_MEMORY_BLOCK_SIZE bytes of data as block blockNumber (0 to 511) of the selected memory.
    [[nodiscard]] int writeMemoryBlock(int blockNumber, const uint8_t* data);
    // The decoded serial number, or the translated "No serial number" when none is set.
    [[nodiscard]] int getSerialNumber(QString& serialNumber);
    // -2 without sending anything when the name is longer than 64 UTF-8 bytes.
    [[nodiscard]] int setName(const QString& name);
    [[nodiscard]] int getBackupDisableFlag(bool& isDisabled);
    [[nodiscard]] int setBackupDisableFlag(bool isDisabled);

    // Step-wise forms of the transfer commands: each sends its request and begins receiving the reply,
    // which continueReceive() completes. 0 when the request left, -1 otherwise.
    [[nodiscard]] int startSetLedMode(int mode);
    [[nodiscard]] int startSelectMemory(int memoryIndex);
    [[nodiscard]] int startWriteMemoryBlock(int blockNumber, const uint8_t* data);
    // The read command alone (the memory must be selected): the reply goes to destination
    // (DEVICE_MEMORY_SIZE bytes).
    [[nodiscard]] int startReadSelectedMemory(uint8_t* destination);

private:
    // What is being received: where to, how much, and the bounds of the wait.
    struct Reply
    {
        uint8_t* data = nullptr;
        int size = 0;
        int receivedCount = 0;
        int silenceLimitMilliseconds = 0;
        qint64 totalLimitMilliseconds = 0;
        qint64 lastByteMilliseconds = 0;
        bool isAcknowledgement = false;
        // Begun and neither complete nor failed: abandoning it leaves its bytes on the line.
        bool isOutstanding = false;
        QElapsedTimer clock;
    };

    [[nodiscard]] int readName();
    // Sends a request whose whole reply is the single acknowledgement byte, and begins receiving it.
    [[nodiscard]] int startAcknowledgedRequest(const uint8_t* request, int size,
                                               int silenceLimitMilliseconds);
    // Waits for the whole reply begun last.
    [[nodiscard]] int finishReceive();
    // 0 when the request was sent and acknowledged, -1 otherwise.
    [[nodiscard]] int awaitAcknowledgement(int startResult);
    int failReceive(int returnValue, DeviceFailure failure);
    // Discards what is on the line; after a failure, waits until the line has been quiet for a while.
    bool clearLineBeforeRequest();
    bool waitForQuietLine();
    QString decodeTextField(const uint8_t* field, int size, const QString& unsetText) const;

    DevicePortInfo _portInfo;
    SerialLink _serialLink;
    QString _name;
    int _lastOpenErrorNumber = 0;
    DeviceFailure _lastFailure = DEVICE_FAILURE_NONE;
    // True when the line may still carry an earlier reply: after opening and after a failed exchange.
    bool _isLineUnsettled = false;
    Reply _reply;
    uint8_t _acknowledgement = 0;
    SecureImageBuffer _memoryBuffers[DEVICE_MEMORY_COUNT];
};
