#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

// The viewer's input, watched without ever blocking the window: the bytes that arrive and the input's end
// come as signals on the thread that made the object. One file per system: POSIX watches the descriptor
// with a socket notifier; Windows, where a notifier cannot watch a pipe, reads it on a thread of its own.
class HelpViewerInput : public QObject
{
    Q_OBJECT

public:
    explicit HelpViewerInput(int fileDescriptor, QObject* parent = nullptr);
    ~HelpViewerInput() override;

    // True until the input has ended (or could not be read at all).
    bool isReading() const
    {
        return isInputOpen;
    }

Q_SIGNALS:
    void bytesReceived(const QByteArray& bytes);
    // Once, after the last bytes; nothing arrives after it.
    void ended();

private:
    class Reader;
    std::unique_ptr<Reader> reader;
    bool isInputOpen = true;

    // Called on the object's own thread when the input has ended: says so once.
    void finish()
    {
        if (!isInputOpen)
            return;
        isInputOpen = false;
        Q_EMIT ended();
    }
};
