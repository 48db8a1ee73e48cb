#include "cli/CliCommandLine.h"

#include "common/UntrustedText.h"

#include <cstdio>

namespace
{
// Qt prints the description as given; long sentences are wrapped here to fit a terminal.
constexpr int HELP_TEXT_WIDTH = 79;

QString _wrapText_helper(const QString& text, int width)
{
    QStringList wrappedLines;
    for (const QString& paragraph : text.split(QLatin1Char('\n')))
    {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        {
            if (!line.isEmpty() && line.size() + 1 + word.size() > width)
            {
                wrappedLines.append(line);
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        wrappedLines.append(line);
    }
    return wrappedLines.join(QLatin1Char('\n'));
}

void _printUtf8_helper(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}
} // namespace

CliCommandLine::CliCommandLine(const QString& commandName, const QString& synopsis,
                               const QString& description)
    : _commandName(commandName), _synopsis(synopsis),
      _helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."))
{
    _parser.setApplicationDescription(_wrapText_helper(description, HELP_TEXT_WIDTH));
    _parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    _parser.addOption(_helpOption);
}

void CliCommandLine::addOption(const QCommandLineOption& option)
{
    _parser.addOption(option);
}

void CliCommandLine::addPositionalArgument(const QString& name, const QString& description,
                                           const QString& syntax)
{
    _parser.addPositionalArgument(name, description, syntax);
}

int CliCommandLine::parse(const QStringList& arguments, int minimumPositionalCount,
                          int maximumPositionalCount)
{
    // QCommandLineParser skips the first element, the program name.
    if (!_parser.parse(QStringList{QStringLiteral("corvane-cli")} + arguments))
        return reportUsageError(_parser.errorText());
    if (_parser.isSet(_helpOption))
    {
        _printUtf8_helper(stdout, helpText());
        return CLI_EXIT_CODE_SUCCESS;
    }
    const int positionalCount = static_cast<int>(_parser.positionalArguments().size());
    if (positionalCount < minimumPositionalCount)
        return reportUsageError(QStringLiteral("missing argument"));
    if (positionalCount > maximumPositionalCount)
        return reportUsageError(QStringLiteral("unexpected argument '%1'")
                                    .arg(_parser.positionalArguments().at(maximumPositionalCount)));
    return CLI_EXIT_CODE_CONTINUE;
}

bool CliCommandLine::isSet(const QCommandLineOption& option) const
{
    return _parser.isSet(option);
}

QString CliCommandLine::value(const QCommandLineOption& option) const
{
    return _parser.value(option);
}

QStringList CliCommandLine::positionalArguments() const
{
    return _parser.positionalArguments();
}

int CliCommandLine::reportUsageError(const QString& message) const
{
    _printUtf8_helper(stderr,
                      QStringLiteral("corvane-cli %1: %2\nUsage: corvane-cli %1 %3\nTry 'corvane-cli %1 "
                                     "--help' for more information.\n")
                          .arg(_commandName, message, _synopsis));
    return CLI_EXIT_CODE_USAGE;
}

QString CliCommandLine::helpText() const
{
    // Qt's first line names the bare program; the subcommand's own synopsis replaces it.
    QString text = _parser.helpText();
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    text.replace(0, firstLineEnd, QStringLiteral("Usage: corvane-cli %1 %2").arg(_commandName, _synopsis));
    return text;
}

// Messages carry device names, file names and tab names: no terminal control may pass, only the line breaks
// and tabs the tool writes itself.
int reportFailure(const QString& message)
{
    _printUtf8_helper(
        stderr, QStringLiteral("corvane-cli: %1\n").arg(escapeForTerminal(message, QStringLiteral("\n\t"))));
    return CLI_EXIT_CODE_FAILURE;
}

void printNote(const QString& message)
{
    _printUtf8_helper(stderr, escapeForTerminal(message, QStringLiteral("\n\t")) + QLatin1Char('\n'));
}

void printLine(const QString& text)
{
    _printUtf8_helper(stdout, escapeForTerminal(text, QStringLiteral("\n\t")) + QLatin1Char('\n'));
}

QString countedNoun(qsizetype count, const char* singular, const char* plural)
{
    return QStringLiteral("%1 %2").arg(QString::number(count),
                                       QString::fromLatin1(count == 1 ? singular : plural));
}
