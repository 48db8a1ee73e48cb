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
    // How the line between host and firmware behaves.
    struct LinkOptions
    {
        // 0: as fast as the pseudo-terminal goes.
        long long bytesPerSecond = 0;
        // 0: paced replies leave in pieces of about 1 ms. Otherwise they leave in packets of this many
        // bytes, as a USB-serial bridge delivers them; a packet ends early only when the line falls idle.
        int packetSize = 0;
        // False: a request arriving while a reply is still being sent cancels the rest of that reply.
        // True: the rest is sent first, as the real firmware does.
        bool isFinishingAbandonedReplies = false;
        // With packets: a packet cut short where the line falls idle (an acknowledgement, the end of a
        // reply) is held this many milliseconds more, as a USB-serial bridge holds it until its latency
        // timer runs out. 0: not held.
        int latencyTimerMilliseconds = 0;
    };

    // The rate of a real device's line (115 200 baud, 8N1); a flooding firmware sends at this rate
    // when no speed is set.
    static constexpr long long REAL_LINE_BYTES_PER_SECOND = 11520;

    PseudoTerminalServer(DeviceFirmwareModel& model, const LinkOptions& linkOptions);
    ~PseudoTerminalServer();
    PseudoTerminalServer(const PseudoTerminalServer&) = delete;
    PseudoTerminalServer& operator=(const PseudoTerminalServer&) = delete;

    [[nodiscard]] bool open(QString& errorMessage);
    // The path clients open ("/dev/pts/7").
    QString portPath() const;

    // Serves until stopFileDescriptor becomes readable (a signalfd) or the terminal fails. afterRequests
    // runs after each batch of bytes given to the model. Returns false on a failure.
    [[nodiscard]] bool run(int stopFileDescriptor, const std::function<void()>& afterRequests,
                           QString& errorMessage);

private:
    // Pacing of one direction: bytes waiting, and the line time already used since an anchor.
    struct PacedQueue
    {
        QByteArray bytes;
        long long bytesPerSecond = 0;
        int64_t anchorNanoseconds = 0;
        int64_t sentSinceAnchor = 0;
        // sentSinceAnchor when the line last started sending after being idle; packets count from there.
        int64_t sentAtBurstStart = 0;
    };

    bool isFlooding() const;
    bool isCancellingAbandonedReplies() const;
    void actOnDueRequests(int64_t now, const std::function<void()>& afterRequests);
    void topUpFlood(int64_t now);
    [[nodiscard]] bool sendDueReplyBytes(int64_t now, QString& errorMessage);
    [[nodiscard]] bool waitAndReceive(int stopFileDescriptor, bool& isStopping, QString& errorMessage);
    void takeRequestBytes(const char* data, int size);
    int64_t nextWakeTime(int64_t now) const;
    int64_t nextOutputTime(int64_t now) const;
    int dueOutputCount(int64_t now) const;
    int64_t latencyNanoseconds() const;

    void enqueue(PacedQueue& queue, const char* data, int size, int64_t now) const;
    int dueCount(const PacedQueue& queue, int64_t now) const;
    void consume(PacedQueue& queue, int count) const;
    int64_t completionTime(const PacedQueue& queue, int count) const;

    DeviceFirmwareModel& _model;
    LinkOptions _linkOptions;
    int _masterFileDescriptor = -1;
    int _keptTerminalFileDescriptor = -1;
    bool _isMasterWritable = true;
    QString _portPath;
    PacedQueue _input;
    PacedQueue _output;
};
