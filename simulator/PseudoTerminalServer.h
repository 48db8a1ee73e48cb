#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

class DeviceFirmwareModel;

// Serves a firmware model on a pseudo-terminal. It keeps a descriptor of the terminal side open itself,
// so the terminal stays usable while no client has it open and clients can come and go. With a speed
// set, both directions are paced to that many bytes per second.
class PseudoTerminalServer
{
public:
    PseudoTerminalServer(DeviceFirmwareModel& model, long long bytesPerSecond);
    ~PseudoTerminalServer();
    PseudoTerminalServer(const PseudoTerminalServer&) = delete;
    PseudoTerminalServer& operator=(const PseudoTerminalServer&) = delete;

    bool open(QString& errorMessage);
    // The path clients open ("/dev/pts/7").
    QString portPath() const;

    // Serves until stopFileDescriptor becomes readable (a signalfd) or the terminal fails. afterRequests
    // runs after each batch of bytes given to the model. Returns false on a failure.
    bool run(int stopFileDescriptor, const std::function<void()>& afterRequests, QString& errorMessage);

private:
    // Pacing of one direction: bytes waiting, and the line time already used since an anchor.
    struct PacedQueue
    {
        QByteArray bytes;
        int64_t anchorNanoseconds = 0;
        int64_t sentSinceAnchor = 0;
    };

    void enqueue(PacedQueue& queue, const char* data, int size, int64_t now) const;
    int dueCount(const PacedQueue& queue, int64_t now) const;
    void consume(PacedQueue& queue, int count) const;
    int64_t completionTime(const PacedQueue& queue, int count) const;

    DeviceFirmwareModel& _model;
    long long _bytesPerSecond;
    int _masterFileDescriptor = -1;
    int _keptTerminalFileDescriptor = -1;
    QString _portPath;
    PacedQueue _input;
    PacedQueue _output;
};
