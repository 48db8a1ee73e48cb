#pragma once

#include <QString>
#include <QtGlobal>

// The raw serial link to one port: exclusive, 115 200 baud 8N1, no flow control, DTR and RTS inactive,
// reads that return at once with whatever has arrived, writes that complete fully. This is the seam to
// the operating system; SerialLinkPosix.cpp implements it for Linux, SerialLinkWin32.cpp for Windows.
class SerialLink
{
public:
    SerialLink() = default;
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens and configures the port. False on failure, with the reason in lastErrorNumber() (an errno
    // value: EACCES for missing permission, EBUSY or EWOULDBLOCK when another program holds the port).
    [[nodiscard]] bool open(const QString& systemLocation);
    void close();
    bool isOpen() const;

    // Reads what has arrived, at most size bytes, without waiting: the count (0 when nothing is there),
    // or -1 when the port failed (device gone).
    [[nodiscard]] int read(void* data, int size);
    // Writes every byte, waiting while the driver's buffer is full; false on failure, or when the port
    // accepted nothing for several seconds.
    [[nodiscard]] bool write(const void* data, int size);
    // Waits until the written bytes have left.
    [[nodiscard]] bool flush();
    // Waits until data can be read, the port fails or timeoutMilliseconds pass. False only on failure.
    bool waitForReadable(int timeoutMilliseconds);

    int lastErrorNumber() const;

private:
#ifdef Q_OS_WIN
    void* _portHandle = nullptr;
#else
    int _fileDescriptor = -1;
#endif
    int _lastErrorNumber = 0;
};
