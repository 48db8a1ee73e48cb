#include "cli/CliTerminalInput.h"

#include "common/SecureMemory.h"

#include <QByteArray>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace
{
// Longest line accepted, in bytes. Anything longer is refused rather than silently cut.
constexpr int MAXIMUM_LINE_SIZE = 4096;

// The terminal settings to restore if a signal ends the program while echo is off: a shell left without
// echo is worse than the interrupted command.
struct termios savedTerminalAttributes;
volatile sig_atomic_t savedTerminalDescriptor = -1;
// Not SIGTSTP: a stopped job gets its terminal back from the shell, which sets the modes it needs.
const int RESTORING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction previousSignalActions[sizeof(RESTORING_SIGNALS) / sizeof(RESTORING_SIGNALS[0])];

void _restoreTerminalOnSignal_helper(int signalNumber)
{
    if (savedTerminalDescriptor >= 0)
        tcsetattr(savedTerminalDescriptor, TCSANOW, &savedTerminalAttributes);
    // Then die (or stop) exactly as the signal would have made us.
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void _installSignalHandlers_helper()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = _restoreTerminalOnSignal_helper;
    sigemptyset(&action.sa_mask);
    for (size_t index = 0; index < sizeof(RESTORING_SIGNALS) / sizeof(RESTORING_SIGNALS[0]); index++)
        sigaction(RESTORING_SIGNALS[index], &action, &previousSignalActions[index]);
}

void _removeSignalHandlers_helper()
{
    for (size_t index = 0; index < sizeof(RESTORING_SIGNALS) / sizeof(RESTORING_SIGNALS[0]); index++)
        sigaction(RESTORING_SIGNALS[index], &previousSignalActions[index], nullptr);
}

// The terminal to talk to: /dev/tty when it can be opened (prompts then reach the user even when
// standard error is redirected), standard input otherwise. -1 when neither is a terminal.
class TerminalChannel
{
public:
    TerminalChannel()
    {
        _descriptor = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (_descriptor >= 0)
        {
            _isOwned = true;
            return;
        }
        if (isatty(STDIN_FILENO))
            _descriptor = STDIN_FILENO;
    }
    ~TerminalChannel()
    {
        if (_isOwned)
            ::close(_descriptor);
    }
    TerminalChannel(const TerminalChannel&) = delete;
    TerminalChannel& operator=(const TerminalChannel&) = delete;

    int readDescriptor() const
    {
        return _descriptor;
    }
    int writeDescriptor() const
    {
        return _isOwned ? _descriptor : STDERR_FILENO;
    }

private:
    int _descriptor = -1;
    bool _isOwned = false;
};

void _writeAll_helper(int descriptor, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype remaining = bytes.size();
    while (remaining > 0)
    {
        const ssize_t written = ::write(descriptor, data, static_cast<size_t>(remaining));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        remaining -= written;
    }
}

enum LineReadResult
{
    LINE_READ_RESULT_OK,
    LINE_READ_RESULT_END_OF_INPUT,
    LINE_READ_RESULT_TOO_LONG,
    LINE_READ_RESULT_ERROR
};

// Reads up to the line feed one byte at a time: nothing past the line is consumed (the next question
// gets the next line) and no copy of the secret stays behind in a stdio buffer.
LineReadResult _readLine_helper(int descriptor, char* buffer, int& size)
{
    size = 0;
    bool isAnythingRead = false;
    bool isTooLong = false;
    while (true)
    {
        char character = 0;
        const ssize_t count = ::read(descriptor, &character, 1);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return LINE_READ_RESULT_ERROR;
        if (count == 0)
        {
            if (!isAnythingRead)
                return LINE_READ_RESULT_END_OF_INPUT;
            break;
        }
        isAnythingRead = true;
        if (character == '\n')
            break;
        if (size < MAXIMUM_LINE_SIZE)
            buffer[size++] = character;
        else
            isTooLong = true;
        character = 0;
    }
    if (size > 0 && buffer[size - 1] == '\r')
        buffer[--size] = 0;
    return isTooLong ? LINE_READ_RESULT_TOO_LONG : LINE_READ_RESULT_OK;
}

bool _readLineToString_helper(int descriptor, QString& text, QString& errorMessage)
{
    char buffer[MAXIMUM_LINE_SIZE];
    int size = 0;
    const LineReadResult result = _readLine_helper(descriptor, buffer, size);
    const int readErrorNumber = errno;
    if (result == LINE_READ_RESULT_OK)
        text = QString::fromUtf8(buffer, size);
    secureZeroMemory(buffer, sizeof(buffer));
    switch (result)
    {
    case LINE_READ_RESULT_OK:
        return true;
    case LINE_READ_RESULT_END_OF_INPUT:
        errorMessage = QStringLiteral("no input (end of file)");
        return false;
    case LINE_READ_RESULT_TOO_LONG:
        errorMessage = QStringLiteral("input line longer than %1 bytes").arg(MAXIMUM_LINE_SIZE);
        return false;
    default:
        errorMessage = QStringLiteral("cannot read the input: %1")
                           .arg(QString::fromLocal8Bit(strerror(readErrorNumber)));
        return false;
    }
}

// Echo goes off before the prompt appears, and the settings change without discarding pending input:
// whatever the user types (or pastes) as soon as the prompt shows is neither echoed nor lost.
bool _readHiddenLine_helper(const TerminalChannel& terminal, const QString& prompt, QString& text,
                            QString& errorMessage)
{
    const int descriptor = terminal.readDescriptor();
    struct termios attributes;
    const bool isTerminalConfigurable = tcgetattr(descriptor, &attributes) == 0;
    if (isTerminalConfigurable)
    {
        savedTerminalAttributes = attributes;
        savedTerminalDescriptor = descriptor;
        _installSignalHandlers_helper();
        attributes.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK);
        attributes.c_lflag |= ECHONL;
        tcsetattr(descriptor, TCSANOW, &attributes);
    }
    _writeAll_helper(terminal.writeDescriptor(), prompt.toUtf8());

    const bool isRead = _readLineToString_helper(descriptor, text, errorMessage);

    if (isTerminalConfigurable)
    {
        tcsetattr(descriptor, TCSANOW, &savedTerminalAttributes);
        savedTerminalDescriptor = -1;
        _removeSignalHandlers_helper();
    }
    return isRead;
}
} // namespace

bool isStandardInputTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

bool readPassword(const QString& prompt, QString& password, QString& errorMessage)
{
    if (!isStandardInputTerminal())
    {
        if (_readLineToString_helper(STDIN_FILENO, password, errorMessage))
        {
            lockString(password);
            return true;
        }
        errorMessage = QStringLiteral("no password read from standard input: %1").arg(errorMessage);
        return false;
    }
    const TerminalChannel terminal;
    if (_readHiddenLine_helper(terminal, prompt, password, errorMessage))
    {
        lockString(password);
        return true;
    }
    errorMessage = QStringLiteral("no password read: %1").arg(errorMessage);
    return false;
}

bool askConfirmation(const QString& question, bool& isConfirmed, QString& errorMessage)
{
    isConfirmed = false;
    if (!isStandardInputTerminal())
    {
        errorMessage = QStringLiteral("standard input is not a terminal to ask for confirmation");
        return false;
    }
    const TerminalChannel terminal;
    _writeAll_helper(terminal.writeDescriptor(), (question + QStringLiteral(" [y/N] ")).toUtf8());
    QString answer;
    if (!_readLineToString_helper(terminal.readDescriptor(), answer, errorMessage))
        return false;
    const QString trimmedAnswer = answer.trimmed();
    isConfirmed = trimmedAnswer.compare(QLatin1String("y"), Qt::CaseInsensitive) == 0 ||
                  trimmedAnswer.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
    return true;
}
