#include "cli/CliTerminalInput.h"

#include "common/SecureMemory.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>

#include <io.h>
#include <windows.h>

namespace
{
// Longest line accepted, in bytes. Anything longer is refused rather than silently cut.
constexpr int MAXIMUM_LINE_SIZE = 4096;

enum LineReadResult
{
    LINE_READ_RESULT_OK,
    LINE_READ_RESULT_END_OF_INPUT,
    LINE_READ_RESULT_TOO_LONG,
    LINE_READ_RESULT_ERROR
};

// Reads up to the line feed one byte at a time from standard input: nothing past the line is consumed
// and no copy of the secret stays behind in a stdio buffer.
LineReadResult _readLine_helper(char* buffer, int& size)
{
    size = 0;
    bool isAnythingRead = false;
    bool isTooLong = false;
    while (true)
    {
        char character = 0;
        const int count = _read(_fileno(stdin), &character, 1);
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

bool _readLineToString_helper(QString& text, QString& errorMessage)
{
    char buffer[MAXIMUM_LINE_SIZE];
    int size = 0;
    const LineReadResult result = _readLine_helper(buffer, size);
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
                           .arg(QString::fromLocal8Bit(std::strerror(readErrorNumber)));
        return false;
    }
}

void _writePrompt_helper(const QString& prompt)
{
    const QByteArray bytes = prompt.toUtf8();
    (void)_write(_fileno(stderr), bytes.constData(), static_cast<unsigned>(bytes.size()));
}

// The console echoes nothing while the password is typed; its mode comes back afterwards.
bool _readHiddenLine_helper(const QString& prompt, QString& text, QString& errorMessage)
{
    const HANDLE console = GetStdHandle(STD_INPUT_HANDLE);
    DWORD previousMode = 0;
    const bool isConsoleConfigurable = GetConsoleMode(console, &previousMode) != 0;
    if (isConsoleConfigurable)
        SetConsoleMode(console, previousMode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    _writePrompt_helper(prompt);
    const bool isRead = _readLineToString_helper(text, errorMessage);
    if (isConsoleConfigurable)
    {
        SetConsoleMode(console, previousMode);
        _writePrompt_helper(QStringLiteral("\n"));
    }
    return isRead;
}
} // namespace

bool isStandardInputTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool readPassword(const QString& prompt, QString& password, QString& errorMessage)
{
    const bool isTerminal = isStandardInputTerminal();
    const bool isRead = isTerminal ? _readHiddenLine_helper(prompt, password, errorMessage)
                                   : _readLineToString_helper(password, errorMessage);
    if (isRead)
    {
        lockString(password);
        return true;
    }
    errorMessage = isTerminal ? QStringLiteral("no password read: %1").arg(errorMessage)
                              : QStringLiteral("no password read from standard input: %1").arg(errorMessage);
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
    _writePrompt_helper(question + QStringLiteral(" [y/N] "));
    QString answer;
    if (!_readLineToString_helper(answer, errorMessage))
        return false;
    const QString trimmedAnswer = answer.trimmed();
    isConfirmed = trimmedAnswer.compare(QLatin1String("y"), Qt::CaseInsensitive) == 0 ||
                  trimmedAnswer.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
    return true;
}
