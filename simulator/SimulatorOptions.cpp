#include "simulator/SimulatorOptions.h"

#include <QCommandLineParser>

namespace
{
// Large enough for any USB bulk packet.
constexpr int MAXIMUM_PACKET_SIZE = 4096;

const char* const DESCRIPTION = R"(Simulated Corvane device served on a pseudo-terminal.

It creates a pseudo-terminal, answers the device protocol on it like the device firmware, and registers
itself by writing "<device-dir>/<device-file-name>" (lines port=, usb_serial=, and vid=/pid= when given)
once it is ready; then it prints "ready port=<path>" on standard output. The file is removed when the
program ends through SIGINT, SIGTERM or SIGHUP. Clients may open and close the port any number of times.

Firmware behaviour:
  A5 00 get versions [hw hi lo fw hi lo]   A5 01 m  LED mode 1..3 [A5]
  A5 02 i select memory 0..1 [A5]          A5 04 hi lo +256 bytes  write block 0..511 [A5]
  A5 05 read selected memory [131072 b.]   A5 06 serial number field [16 bytes]
  A5 08 name field [64 bytes]              A5 09 +64-byte name field [A5]
  A5 0A 00 backup flag [A5 flag]           A5 0B 00 v  set backup flag 0..1 [A5]
  Bytes before an A5 are ignored; an unknown code is dropped with its A5 and the firmware waits for the
  next A5. Bad arguments get a reply of the usual length starting with 00, and change nothing.
  A new request arriving while a reply is still being sent cancels the rest of that reply, unless
  --finish-abandoned-replies is given: then, as on the real device, the rest of the old reply is sent
  first and the new reply follows it. Either way a client closing the port does not stop a reply: a
  client opening it next may read the tail.
  Unset text fields start with FF. New memories are zero-filled; versions default to 1 and 1.

State directory (--state-dir): main_memory.bin and backup_memory.bin (131072 bytes each, mapped, so
each stored block is in the file at once), name.bin (64 bytes), serial_number.bin (16 bytes),
device.conf (hardware_version=, firmware_version=, backup_disabled=). Options below override the
stored values and are stored.

Request log (--log): one line per request in upper-case hexadecimal bytes separated by spaces, in full
(a block write is its 260 bytes), written before the reply is sent. An ignored unknown command is
logged as its two bytes followed by " ?".

Link speed (--speed): both directions are paced to the given bytes per second: a request is acted on
when its last byte would have arrived, and the reply leaves at the same rate (in pieces of about 1 ms).
With --packet-size N the reply leaves in packets of N bytes instead, as a USB-serial bridge delivers
them: each packet reaches the terminal at once when its last byte would have left the line; a packet
is cut short only where the line falls idle (the end of a reply, unless another reply follows at once).
The real line is --speed 11520 (115 200 baud, 8N1) with 64-byte packets. With --latency-timer MS a
short packet (an acknowledgement, the end of a reply) is held MS milliseconds more, as a USB-serial
bridge holds it until its latency timer runs out (16 ms by default on the device's bridge, 1 ms once the
udev rule has lowered it): 1024 acknowledgements of a save then cost about 16 s more, or 1 s.
Without --speed everything moves as fast as the pseudo-terminal allows.

Babbling device (--flood BYTE): from the moment it is ready the device sends BYTE without end, at the
--speed rate (11520 bytes per second without --speed), in pieces or packets as above. Requests are
still taken and logged but neither answered nor acted on. Flood bytes the terminal cannot take (no
client reading) are lost, as on a line without flow control.)";

bool _parseNumber_helper(const QString& text, long long minimum, long long maximum, long long& value)
{
    bool isValid = false;
    value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toLongLong(&isValid, 16)
                                                                      : text.toLongLong(&isValid, 10);
    return isValid && value >= minimum && value <= maximum;
}

bool _parseUsbIdentifierText_helper(const QString& text, QString& normalizedText)
{
    if (text == QLatin1String("none"))
    {
        normalizedText = QStringLiteral("none");
        return true;
    }
    long long value = 0;
    if (!_parseNumber_helper(text, 0, 0xFFFF, value))
        return false;
    normalizedText = QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0'));
    return true;
}
} // namespace

bool parseSimulatorOptions(const QStringList& arguments, SimulatorOptions& options, QString& errorMessage)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(DESCRIPTION));
    parser.addHelpOption();
    const QCommandLineOption stateDirectoryOption(
        "state-dir", "Keep memories, name, serial number, versions and flag in DIR between runs.", "DIR");
    const QCommandLineOption usbSerialOption(
        "usb-serial", "USB serial number of the port (default TZQVR-SIM-0001).", "TEXT");
    const QCommandLineOption vendorOption(
        "vid",
        "USB vendor identifier written to the device file (0x0403 form or decimal; \"none\": no identifier).",
        "ID");
    const QCommandLineOption productOption(
        "pid", "USB product identifier written to the device file (as --vid).", "ID");
    const QCommandLineOption deviceDirectoryOption(
        "device-dir", "Directory of device files (default: $CORVANE_DEVICE_DIR; none: no file is written).",
        "DIR");
    const QCommandLineOption deviceFileNameOption(
        "device-file-name", "Name of the device file (default: <usb-serial>.device).", "NAME");
    const QCommandLineOption nameOption("name", "Set the device name (at most 64 UTF-8 bytes).", "TEXT");
    const QCommandLineOption serialNumberOption(
        "serial-number", "Set the device serial number (at most 16 UTF-8 bytes).", "TEXT");
    const QCommandLineOption hardwareVersionOption("hardware-version", "Hardware version 0..65535.", "N");
    const QCommandLineOption firmwareVersionOption("firmware-version", "Firmware version 0..65535.", "N");
    const QCommandLineOption backupDisabledOption("backup-disabled", "Set the backup disable flag.");
    const QCommandLineOption speedOption("speed", "Emulate a link of BYTES_PER_SECOND in both directions.",
                                         "BYTES_PER_SECOND");
    const QCommandLineOption packetSizeOption(
        "packet-size", "With --speed: replies leave in packets of N bytes (1..4096), as over USB.", "N");
    const QCommandLineOption latencyTimerOption(
        "latency-timer",
        "With --packet-size: hold a short packet MS milliseconds (0..255), as a bridge does.", "MS");
    const QCommandLineOption finishAbandonedOption(
        "finish-abandoned-replies",
        "A request arriving during a reply does not cancel the rest of it: the rest is sent first.");
    const QCommandLineOption logOption("log",
                                       "Write every request to FILE (emptied at start, then appended to, so "
                                       "a reader may truncate it; format above).",
                                       "FILE");
    const QCommandLineOption exitWithParentOption("exit-with-parent",
                                                  "End (cleanly) when the parent process ends.");
    const QCommandLineOption silentOption("silent", "Fault: take every request but never answer.");
    const QCommandLineOption silentAfterBlocksOption(
        "silent-after-blocks", "Fault: store and acknowledge N block writes, then answer nothing at all.",
        "N");
    const QCommandLineOption wrongAcknowledgeOption(
        "wrong-ack",
        "Fault: command CODE (e.g. 0x04) is refused with the acknowledgement 00 (a data command's reply "
        "comes one byte short instead).",
        "CODE");
    const QCommandLineOption storeInvertedOption(
        "store-inverted", "Fault: acknowledge block writes but store the bitwise inverse of the data.");
    const QCommandLineOption backupDiffersOption(
        "backup-differs-at",
        "Fault: at start, make the backup memory's byte OFFSET the inverse of the main memory's.", "OFFSET");
    const QCommandLineOption truncateMemoryReplyOption(
        "truncate-memory-reply",
        "Fault: every memory read reply stops after its first N bytes (0..131071); the device stays "
        "silent until the next request.",
        "N");
    const QCommandLineOption floodOption(
        "flood", "Fault: send BYTE (0x form or decimal) without end instead of any reply (see above).",
        "BYTE");
    const QCommandLineOption replyOption(
        "reply", "Fault: answer command CODE with exactly the bytes HEX (repeatable; e.g. 0x0A=A502).",
        "CODE=HEX");
    parser.addOptions({stateDirectoryOption,
                       usbSerialOption,
                       vendorOption,
                       productOption,
                       deviceDirectoryOption,
                       deviceFileNameOption,
                       nameOption,
                       serialNumberOption,
                       hardwareVersionOption,
                       firmwareVersionOption,
                       backupDisabledOption,
                       speedOption,
                       packetSizeOption,
                       latencyTimerOption,
                       finishAbandonedOption,
                       logOption,
                       exitWithParentOption,
                       silentOption,
                       silentAfterBlocksOption,
                       wrongAcknowledgeOption,
                       storeInvertedOption,
                       backupDiffersOption,
                       truncateMemoryReplyOption,
                       floodOption,
                       replyOption});
    if (!parser.parse(arguments))
    {
        errorMessage = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty())
    {
        errorMessage = QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first());
        return false;
    }

    options.stateDirectoryPath = parser.value(stateDirectoryOption);
    if (parser.isSet(usbSerialOption))
        options.usbSerialNumber = parser.value(usbSerialOption);
    if (parser.isSet(vendorOption) &&
        !_parseUsbIdentifierText_helper(parser.value(vendorOption), options.vendorIdentifierText))
    {
        errorMessage = QStringLiteral("bad --vid value");
        return false;
    }
    if (parser.isSet(productOption) &&
        !_parseUsbIdentifierText_helper(parser.value(productOption), options.productIdentifierText))
    {
        errorMessage = QStringLiteral("bad --pid value");
        return false;
    }
    options.deviceDirectoryPath = parser.isSet(deviceDirectoryOption)
                                      ? parser.value(deviceDirectoryOption)
                                      : qEnvironmentVariable("CORVANE_DEVICE_DIR");
    options.deviceFileName = parser.isSet(deviceFileNameOption) ? parser.value(deviceFileNameOption)
                                                                : options.usbSerialNumber + ".device";
    if (options.deviceFileName.contains(QLatin1Char('/')) || options.deviceFileName.isEmpty())
    {
        errorMessage = QStringLiteral("bad --device-file-name value");
        return false;
    }
    if (parser.isSet(nameOption))
    {
        options.name = parser.value(nameOption);
        if (options.name->toUtf8().size() > DeviceFirmwareModel::NAME_FIELD_SIZE)
        {
            errorMessage = QStringLiteral("--name is longer than 64 UTF-8 bytes");
            return false;
        }
    }
    if (parser.isSet(serialNumberOption))
    {
        options.serialNumber = parser.value(serialNumberOption);
        if (options.serialNumber->toUtf8().size() > DeviceFirmwareModel::SERIAL_NUMBER_FIELD_SIZE)
        {
            errorMessage = QStringLiteral("--serial-number is longer than 16 UTF-8 bytes");
            return false;
        }
    }
    bool isValid = true;
    const auto readNumber =
        [&](const QCommandLineOption& option, long long minimum, long long maximum, const auto& assign)
    {
        long long value = 0;
        if (!isValid || !parser.isSet(option))
            return;
        if (!_parseNumber_helper(parser.value(option), minimum, maximum, value))
        {
            errorMessage = QStringLiteral("bad --%1 value").arg(option.names().first());
            isValid = false;
            return;
        }
        assign(value);
    };
    readNumber(hardwareVersionOption, 0, 0xFFFF,
               [&](long long value) { options.hardwareVersion = int(value); });
    readNumber(firmwareVersionOption, 0, 0xFFFF,
               [&](long long value) { options.firmwareVersion = int(value); });
    readNumber(speedOption, 1, 1000000000LL, [&](long long value) { options.link.bytesPerSecond = value; });
    readNumber(packetSizeOption, 1, MAXIMUM_PACKET_SIZE,
               [&](long long value) { options.link.packetSize = int(value); });
    readNumber(latencyTimerOption, 0, 255,
               [&](long long value) { options.link.latencyTimerMilliseconds = int(value); });
    readNumber(silentAfterBlocksOption, 0, 1 << 30,
               [&](long long value) { options.faults.silentAfterBlockWriteCount = int(value); });
    readNumber(wrongAcknowledgeOption, 0, 0xFF,
               [&](long long value) { options.faults.wrongAcknowledgeCommandCode = int(value); });
    readNumber(backupDiffersOption, 0, DeviceFirmwareModel::MEMORY_SIZE - 1,
               [&](long long value) { options.backupDifferenceOffset = int(value); });
    readNumber(truncateMemoryReplyOption, 0, DeviceFirmwareModel::MEMORY_SIZE - 1,
               [&](long long value) { options.faults.memoryReplyLimit = int(value); });
    readNumber(floodOption, 0, 0xFF, [&](long long value) { options.faults.floodByte = int(value); });
    if (!isValid)
        return false;
    if (options.link.packetSize > 0 && options.link.bytesPerSecond <= 0)
    {
        // Packets fall due by line time: without a speed there is none.
        errorMessage = QStringLiteral("--packet-size needs --speed");
        return false;
    }
    if (options.link.latencyTimerMilliseconds > 0 && options.link.packetSize <= 0)
    {
        // Only a packet can be held.
        errorMessage = QStringLiteral("--latency-timer needs --packet-size");
        return false;
    }
    options.link.isFinishingAbandonedReplies = parser.isSet(finishAbandonedOption);
    options.isBackupDisabled = parser.isSet(backupDisabledOption);
    options.logFilePath = parser.value(logOption);
    options.isExitingWithParent = parser.isSet(exitWithParentOption);
    options.faults.isSilent = parser.isSet(silentOption);
    options.faults.isStoringInvertedBlocks = parser.isSet(storeInvertedOption);
    const QStringList replies = parser.values(replyOption);
    for (const QString& reply : replies)
    {
        long long number = 0;
        const int separator = reply.indexOf(QLatin1Char('='));
        const QByteArray bytes = QByteArray::fromHex(reply.mid(separator + 1).toLatin1());
        if (separator < 0 || !_parseNumber_helper(reply.left(separator), 0, 0xFF, number) ||
            bytes.toHex().size() != reply.mid(separator + 1).remove(QLatin1Char(' ')).size())
        {
            errorMessage = QStringLiteral("bad --reply value %1").arg(reply);
            return false;
        }
        options.faults.replyOverrides.insert(static_cast<uint8_t>(number), bytes);
    }
    return true;
}
