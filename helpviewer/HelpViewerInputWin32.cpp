#include "HelpViewerInput.h"

#include <QMetaObject>

#include <io.h>
#include <mutex>
#include <thread>
#include <windows.h>

namespace
{
// What the reading thread shares with the object. The thread reaches the object only under the mutex, and
// the object's destructor clears it there, so nothing is ever posted to a deleted object.
struct ReaderLink
{
    std::mutex mutex;
    HelpViewerInput* input = nullptr;
};
} // namespace

class HelpViewerInput::Reader
{
public:
    std::shared_ptr<ReaderLink> link = std::make_shared<ReaderLink>();

    // On the reading thread. The application's end of the pipe stays open as long as it runs, so a read
    // may wait for good: the thread is never joined. It ends with the input, or with the process, or at
    // its next bytes once the object is gone.
    static void readInput(HANDLE handle, std::shared_ptr<ReaderLink> link)
    {
        // QProcess opens its child's end of the pipe for overlapped reads, an anonymous pipe is synchronous:
        // a read with an OVERLAPPED structure and its own event serves both (on a synchronous handle it
        // completes before ReadFile returns).
        OVERLAPPED overlapped = {};
        overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        for (;;)
        {
            char buffer[4096];
            DWORD size = 0;
            const bool isStarted =
                overlapped.hEvent && (ReadFile(handle, buffer, sizeof(buffer), nullptr, &overlapped) ||
                                      GetLastError() == ERROR_IO_PENDING);
            // The end of the input: ERROR_BROKEN_PIPE once the writer closed its end, or no bytes at all.
            if (!isStarted || !GetOverlappedResult(handle, &overlapped, &size, TRUE) || size == 0)
            {
                post(link, [](HelpViewerInput* input) { input->finish(); });
                break;
            }
            QByteArray bytes(buffer, static_cast<qsizetype>(size));
            if (!post(link, [bytes](HelpViewerInput* input) { Q_EMIT input->bytesReceived(bytes); }))
                break;
        }
        if (overlapped.hEvent)
            CloseHandle(overlapped.hEvent);
    }

    // Runs step on the object's thread; false when the object is gone.
    template <typename Step> static bool post(const std::shared_ptr<ReaderLink>& link, Step step)
    {
        std::lock_guard<std::mutex> lock(link->mutex);
        HelpViewerInput* input = link->input;
        if (!input)
            return false;
        // Deleting the object discards what is still queued for it.
        QMetaObject::invokeMethod(
            input, [input, step]() { step(input); }, Qt::QueuedConnection);
        return true;
    }
};

HelpViewerInput::HelpViewerInput(int fileDescriptor, QObject* parent) : QObject(parent), reader(new Reader)
{
    // A socket notifier cannot watch a pipe here: the descriptor's handle is read on a thread of its own.
    const intptr_t handle = _get_osfhandle(fileDescriptor);
    if (handle == -1 || handle == -2 || handle == 0)
    {
        // No input at all (-2: a window program started without one): it has ended, said once the window
        // listens.
        QMetaObject::invokeMethod(
            this, [this]() { finish(); }, Qt::QueuedConnection);
        return;
    }
    reader->link->input = this;
    std::thread(&Reader::readInput, reinterpret_cast<HANDLE>(handle), reader->link).detach();
}

HelpViewerInput::~HelpViewerInput()
{
    std::lock_guard<std::mutex> lock(reader->link->mutex);
    reader->link->input = nullptr;
}
