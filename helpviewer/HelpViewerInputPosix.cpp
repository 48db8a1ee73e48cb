#include "HelpViewerInput.h"

#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

class HelpViewerInput::Reader
{
public:
    int fileDescriptor;
    QSocketNotifier* notifier;
};

HelpViewerInput::HelpViewerInput(int fileDescriptor, QObject* parent)
    : QObject(parent),
      reader(new Reader{fileDescriptor, new QSocketNotifier(fileDescriptor, QSocketNotifier::Read, this)})
{
    connect(reader->notifier, &QSocketNotifier::activated, this,
            [this]()
            {
                // The notifier only fires when data or the end of the input is waiting, so this read never
                // blocks.
                char buffer[4096];
                ssize_t size = ::read(reader->fileDescriptor, buffer, sizeof(buffer));
                if (size > 0)
                {
                    Q_EMIT bytesReceived(QByteArray(buffer, size));
                }
                else if (size == 0 || (errno != EINTR && errno != EAGAIN))
                {
                    // An ended input would wake the notifier again and again: stop watching it for good.
                    reader->notifier->setEnabled(false);
                    finish();
                }
            });
}

HelpViewerInput::~HelpViewerInput() = default;
