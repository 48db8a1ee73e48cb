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
#include <vector>

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
    DEVICE_FAILURE_NEVER_QUIET,
    // Another program holds the port.
    DEVICE_FAILURE_PORT_BUSY,
    // The operating system refused access to the port.
    DEVICE_FAILURE_PERMISSION_DENIED,
    // A reply arrived whole but is not something a device sends (a name that is not text): the device is
    // babbling rather than answering.
    DEVICE_FAILURE_GARBLED_REPLY
};

// Returned by continueReceive() while reply bytes are still due.
constexpr int DEVICE_RECEIVE_PENDING = 1;

// One connected vault device: its port, the open link, a buffer for each of its two memories and its
// cached name. Operations return 0 on success and -1 on any transport failure, time-out or wrong
// acknowledgement; receive() and setName() have one more code each.
//
// Every request first makes sure that nothing is left on the line from an earlier reply: stray bytes are
// discarded, and after a failed reply (or right after opening) the line must fall quiet first, because a
// device goes on sending a reply that its reader abandoned. That wait is part of the reply's steps
// (continueReceive()), so that a device that keeps sending never holds the caller for longer than one step.
//
// A device that failed to open or stopped answering gets no further request: every command fails at once,
// and closing it only releases the port.
class Device : public QObject
{
    Q_OBJECT

public:
    explicit Device(const DevicePortInfo& portInfo, QObject* parent = nullptr);
    // Zero-fills both memory buffers. A port still open is released without talking to the device;
    // close() is the orderly way and comes first.
    ~Device() override;

    // Opens the port exclusively and reads the device name. 0 or -1; after -1 the reason is in
    // lastOpenErrorNumber() and close() must still be called. A name that is not text (babble) fails.
    [[nodiscard]] int open();
    // open() in steps, for callers that must leave the event loop running: beginOpen() opens the port and
    // requests the name (-1 at once when the port cannot be opened, 0 otherwise); each continueOpen() waits
    // at most waitMilliseconds and returns DEVICE_RECEIVE_PENDING until open() would have returned, then
    // open()'s result.
    [[nodiscard]] int beginOpen();
    [[nodiscard]] int continueOpen(int waitMilliseconds);
    // Stops the LED blinking (outcome ignored) and releases the port. Does nothing when not open. A device
    // that failed to open or stopped answering is released without a word.
    void close();
    // close() in steps: true once the port is released.
    bool continueClose(int waitMilliseconds);
    // True from the first continueClose() until the port is released.
    bool isClosing() const;
    bool isOpen() const;
    // False once the device failed to open, stopped answering or babbled: it is sent nothing more.
    bool isAnswering() const;
    // Why the last open() failed: an errno value (EACCES: no permission on the port; EBUSY or
    // EWOULDBLOCK: in use by another program; ENOENT: gone), ETIMEDOUT when the device did not answer,
    // EPROTO for an incomplete answer, EBADMSG when it kept sending unasked, EILSEQ when its name was
    // babble, 0 after a successful open.
    int lastOpenErrorNumber() const;
    DeviceFailure lastFailure() const;
    // The last failure in words for the user ("the device keeps sending data that nobody asked for"),
    // translated; empty when nothing failed.
    QString lastFailureDescription() const;

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
        // The request still waits for the line to fall quiet (see the class comment) and has not left.
        bool isWaitingForQuietLine = false;
        qint64 lastDiscardedByteMilliseconds = 0;
        QElapsedTimer clock;
    };

    // Sends the request, or keeps it until the line is quiet when it may still carry an earlier reply,
    // and begins receiving replySize bytes into replyData. 0, or -1 when nothing can be sent.
    [[nodiscard]] int startRequest(const uint8_t* request, int size, void* replyData, int replySize,
                                   int silenceLimitMilliseconds);
    // Discards what arrived meanwhile and, once the line has been quiet long enough, sends the kept
    // request. DEVICE_RECEIVE_PENDING while the line is still busy, then 0 or -1.
    [[nodiscard]] int continueQuietLineWait(const QElapsedTimer& callClock, qint64 waitMilliseconds);
    [[nodiscard]] int writePendingRequest();
    [[nodiscard]] int finishOpen(int receiveResult);
    // Sends a request whose whole reply is the single acknowledgement byte, and begins receiving it.
    [[nodiscard]] int startAcknowledgedRequest(const uint8_t* request, int size,
                                               int silenceLimitMilliseconds);
    // Waits for the whole reply begun last.
    [[nodiscard]] int finishReceive();
    // 0 when the request was sent and acknowledged, -1 otherwise.
    [[nodiscard]] int awaitAcknowledgement(int startResult);
    int failReceive(int returnValue, DeviceFailure failure);
    QString decodeTextField(const uint8_t* field, int size, const QString& unsetText) const;

    DevicePortInfo _portInfo;
    SerialLink _serialLink;
    QString _name;
    int _lastOpenErrorNumber = 0;
    DeviceFailure _lastFailure = DEVICE_FAILURE_NONE;
    // True when the line may still carry an earlier reply: after opening and after a failed exchange.
    bool _isLineUnsettled = false;
    bool _isAnswering = false;
    bool _isOpening = false;
    // The name has arrived; the line must now stay quiet for a moment (see continueOpen()).
    bool _isCheckingSilenceAfterName = false;
    bool _isClosing = false;
    Reply _reply;
    // The request kept while the line falls quiet; zero-filled once sent (a block may be plaintext).
    std::vector<uint8_t> _pendingRequest;
    uint8_t _nameField[DEVICE_NAME_FIELD_SIZE] = {};
    uint8_t _acknowledgement = 0;
    SecureImageBuffer _memoryBuffers[DEVICE_MEMORY_COUNT];
};

// Closes device in steps on the event loop and then deletes it. A later open of the same port releases it
// at once, without the LED command, so that the port is never found busy by this process.
void closeAndDeleteDeviceInSteps(Device* device);
