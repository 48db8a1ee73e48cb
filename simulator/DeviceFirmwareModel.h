#pragma once

#include <QByteArray>
#include <QHash>

#include <cstdint>
#include <functional>
#include <memory>

// The firmware of a simulated vault device, without any I/O: request bytes go in (in pieces of any
// size), reply bytes come out. It keeps two memories of 131 072 bytes (main and backup), a 64-byte name
// field, a 16-byte serial number field, hardware and firmware versions, the LED mode, the backup disable
// flag and the selected memory.
//
// Requests, as the application sends them (reply in brackets):
//   A5 00                  get versions          [hardware hi, lo, firmware hi, lo]
//   A5 01 mode             set LED mode 1..3     [A5]
//   A5 02 index            select memory 0..1    [A5]
//   A5 04 hi lo +256 bytes write block 0..511    [A5]
//   A5 05                  read selected memory  [131 072 bytes]
//   A5 06                  get serial number     [16-byte field]
//   A5 08                  get name              [64-byte field]
//   A5 09 +64 bytes        set name field        [A5]
//   A5 0A 00               get backup flag       [A5, flag]
//   A5 0B 00 value         set backup flag 0..1  [A5]
//
// Framing: bytes before a 0xA5 are ignored. An unknown command code is ignored together with its 0xA5
// and the firmware waits for the next 0xA5 (a code byte that is itself 0xA5 starts a new request).
// Bad arguments (LED mode outside 1..3, memory index outside 0..1, block number above 511, a constant
// byte other than 00, a flag value other than 0 or 1) are answered with a reply of the normal length
// whose first byte is NEGATIVE_ACKNOWLEDGE (00) and whose other bytes are 00; nothing changes.
// Memories start zero-filled, text fields unset (first byte FF), versions 1 and 1.
class DeviceFirmwareModel
{
public:
    static constexpr int MEMORY_SIZE = 131072;
    static constexpr int BLOCK_SIZE = 256;
    static constexpr int BLOCK_COUNT = MEMORY_SIZE / BLOCK_SIZE;
    static constexpr int NAME_FIELD_SIZE = 64;
    static constexpr int SERIAL_NUMBER_FIELD_SIZE = 16;
    static constexpr uint8_t MAGIC = 0xA5;
    static constexpr uint8_t ACKNOWLEDGE = 0xA5;
    static constexpr uint8_t NEGATIVE_ACKNOWLEDGE = 0x00;
    // Sent in place of the acknowledgement by the wrong-acknowledgement fault.
    static constexpr uint8_t WRONG_ACKNOWLEDGE = 0x00;

    // Misbehaviours for testing the application's failure paths.
    struct Faults
    {
        // Takes every request (and logs it) but never answers.
        bool isSilent = false;
        // Stores and acknowledges this many block writes, then answers nothing any more (-1: never).
        int silentAfterBlockWriteCount = -1;
        // For this command code, the acknowledgement byte (the first reply byte of commands that start
        // with one) becomes WRONG_ACKNOWLEDGE and the command has no effect; commands that answer data
        // only answer one byte less instead (-1: none).
        int wrongAcknowledgeCommandCode = -1;
        // Block writes are acknowledged but the bitwise inverse of the data is stored.
        bool isStoringInvertedBlocks = false;
        // Replies given verbatim, of any length, in place of the normal reply of a command code (the
        // command still has its effect).
        QHash<uint8_t, QByteArray> replyOverrides;
        // Memory read replies stop after this many bytes; the firmware then stays silent until the next
        // request (-1: whole replies).
        int memoryReplyLimit = -1;
        // A babbling firmware: it sends this byte without end and nothing else, so it takes every request
        // (and logs it) but neither answers nor acts on any (-1: none). The link paces the flood.
        int floodByte = -1;
    };

    enum Change
    {
        CHANGE_MEMORY = 1,
        CHANGE_NAME = 2,
        CHANGE_BACKUP_DISABLE_FLAG = 4
    };

    DeviceFirmwareModel();
    DeviceFirmwareModel(const DeviceFirmwareModel&) = delete;
    DeviceFirmwareModel& operator=(const DeviceFirmwareModel&) = delete;

    // Feeds bytes received from the host; returns the reply bytes that the firmware sends in response
    // (empty while a request is incomplete).
    QByteArray receive(const char* data, int size);
    QByteArray receive(const QByteArray& data);
    // True while a request has started but is not complete.
    bool isInsideRequest() const;

    // Called with the bytes of every complete request (known or not) before its reply is produced;
    // isKnown is false for an ignored unknown command (then the bytes are the 0xA5 and the code).
    void setRequestObserver(std::function<void(const QByteArray& request, bool isKnown)> observer);

    void setFaults(const Faults& faults);
    const Faults& faults() const;

    // Memory storage: by default owned by the model; external storage (for example a mapped file) of
    // MEMORY_SIZE bytes per memory can replace it and is used as it is, without copying.
    uint8_t* memory(int memoryIndex);
    const uint8_t* memory(int memoryIndex) const;
    void useExternalMemory(uint8_t* mainMemory, uint8_t* backupMemory);

    QByteArray nameField() const;
    // Pads with zeros; a longer field is cut.
    void setNameField(const QByteArray& field);
    // Builds the field the way a host sets it: UTF-8 text, zero-terminated when shorter than the field.
    // False when the text is longer than the field.
    static bool makeTextField(const QString& text, int fieldSize, QByteArray& field);
    static QByteArray makeUnsetTextField(int fieldSize);
    QByteArray serialNumberField() const;
    void setSerialNumberField(const QByteArray& field);

    uint16_t hardwareVersion() const;
    uint16_t firmwareVersion() const;
    void setVersions(uint16_t hardwareVersion, uint16_t firmwareVersion);

    bool isBackupDisabled() const;
    void setBackupDisabled(bool isDisabled);
    int ledMode() const;
    int selectedMemory() const;
    int acknowledgedBlockWriteCount() const;

    // Makes the backup memory differ from the main memory in exactly the byte at offset (the backup byte
    // becomes the inverse of the main byte).
    void makeBackupDifferAt(int offset);

    // The changes since the last call, as a set of Change flags.
    int takeChanges();

private:
    int requestLength(uint8_t commandCode) const;
    QByteArray execute(const QByteArray& request);
    QByteArray executeKnownCommand(const QByteArray& request);
    QByteArray applyFaults(uint8_t commandCode, QByteArray reply) const;
    bool isAnsweringNothing() const;

    std::unique_ptr<uint8_t[]> _ownedMemories[2];
    uint8_t* _memories[2] = {nullptr, nullptr};
    QByteArray _nameField;
    QByteArray _serialNumberField;
    uint16_t _hardwareVersion = 1;
    uint16_t _firmwareVersion = 1;
    bool _isBackupDisabled = false;
    int _ledMode = 1;
    int _selectedMemory = 0;
    int _acknowledgedBlockWriteCount = 0;
    int _changes = 0;
    Faults _faults;
    QByteArray _pendingRequest;
    std::function<void(const QByteArray&, bool)> _requestObserver;
};
