#pragma once

#include <cstdint>

// The request/reply protocol of the vault device. Every request starts with COMMAND_MAGIC and a command
// code; commands that change or select something answer ACKNOWLEDGE, commands that fetch data answer
// with the data alone. Multi-byte numbers are big-endian. One request is outstanding at a time.

constexpr uint8_t COMMAND_MAGIC = 0xA5;
constexpr uint8_t ACKNOWLEDGE = 0xA5;

enum DeviceCommand : uint8_t
{
    COMMAND_GET_VERSIONS = 0x00,
    COMMAND_SET_LED_MODE = 0x01,
    COMMAND_SELECT_MEMORY = 0x02,
    COMMAND_WRITE_MEMORY_BLOCK = 0x04,
    COMMAND_READ_MEMORY = 0x05,
    COMMAND_GET_SERIAL_NUMBER = 0x06,
    COMMAND_GET_NAME = 0x08,
    COMMAND_SET_NAME = 0x09,
    COMMAND_GET_BACKUP_DISABLE_FLAG = 0x0A,
    COMMAND_SET_BACKUP_DISABLE_FLAG = 0x0B
};

enum DeviceLedMode
{
    LED_MODE_STOP_BLINKING = 1,
    LED_MODE_BLINK = 2,
    LED_MODE_BLINK_DURING_ACCESS = 3
};

enum DeviceMemoryIndex
{
    DEVICE_MEMORY_MAIN = 0,
    DEVICE_MEMORY_BACKUP = 1
};

constexpr int DEVICE_MEMORY_COUNT = 2;
constexpr int DEVICE_MEMORY_SIZE = 131072;
constexpr int DEVICE_MEMORY_BLOCK_SIZE = 256;
constexpr int DEVICE_MEMORY_BLOCK_COUNT = DEVICE_MEMORY_SIZE / DEVICE_MEMORY_BLOCK_SIZE;
constexpr int DEVICE_NAME_FIELD_SIZE = 64;
constexpr int DEVICE_SERIAL_NUMBER_FIELD_SIZE = 16;
// A text field whose first byte is this holds no text.
constexpr uint8_t DEVICE_TEXT_FIELD_UNSET = 0xFF;

// How long a reply may stay silent, in milliseconds, before the device is taken for gone (see
// Device::receive). A reply that keeps arriving is not cut off by these.
constexpr int DEVICE_SILENCE_LIMIT_DEFAULT = 2000;
constexpr int DEVICE_SILENCE_LIMIT_WRITE_MEMORY_BLOCK = 3000;
constexpr int DEVICE_SILENCE_LIMIT_READ_MEMORY = 6000;
// The slowest link a reply is waited for: 9 600 baud, 8N1. A whole memory needs 137 s at that rate,
// 11.4 s at the device's 115 200 baud.
constexpr int DEVICE_SLOWEST_LINK_BYTES_PER_SECOND = 960;
// USB-serial bridges hand received bytes to the host in packets of up to this many bytes.
constexpr int DEVICE_LINK_PACKET_SIZE = 64;
// A line without a byte for this long has finished sending whatever it was sending. At the slowest
// supported rate a bridge delivers a reply in whole packets, one every 67 ms (64 bytes at 960 bytes/s):
// the quiet time must outlast the gap between two packets of a reply still under way, so it is one
// packet's line time at that rate with a quarter more for margin (83 ms).
constexpr int DEVICE_QUIET_LINE_MILLISECONDS =
    DEVICE_LINK_PACKET_SIZE * 1000 * 5 / (DEVICE_SLOWEST_LINK_BYTES_PER_SECOND * 4);
// Longest wait for a line to fall quiet before a request: a little more than one whole memory reply
// at 115 200 baud, the longest thing a device can still be sending for an earlier request.
constexpr int DEVICE_QUIET_LINE_WAIT_LIMIT_MILLISECONDS = 13000;

// USB identity of the device's serial bridge.
constexpr uint16_t DEVICE_USB_VENDOR_IDENTIFIER = 0x0403;
constexpr uint16_t DEVICE_USB_PRODUCT_IDENTIFIER = 0x6015;
#define DEVICE_USB_SERIAL_NUMBER_PREFIX "TZQVR-"
