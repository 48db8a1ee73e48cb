#pragma once

#include "cli/CliExitCode.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// The command line of one subcommand: its options, its help text and its usage errors.
//
//     CliCommandLine commandLine("backup", "[--device USB_SERIAL] FILE", "Saves both memories...");
//     commandLine.addOption(deviceOption);
//     if (int exitCode = commandLine.parse(arguments, 1, 1); exitCode != CLI_EXIT_CODE_CONTINUE)
//         return exitCode;
class CliCommandLine
{
public:
    // parse() returns this when the command should run.
    static constexpr int CLI_EXIT_CODE_CONTINUE = -1;

    CliCommandLine(const QString& commandName, const QString& synopsis, const QString& description);

    void addOption(const QCommandLineOption& option);
    void addPositionalArgument(const QString& name, const QString& description, const QString& syntax);

    // Parses the arguments that follow the command name. Prints the help and returns 0 for --help,
    // reports a usage error and returns 2 for unknown options, missing values or a positional argument
    // count outside [minimumPositionalCount, maximumPositionalCount]; CLI_EXIT_CODE_CONTINUE otherwise.
    [[nodiscard]] int parse(const QStringList& arguments, int minimumPositionalCount,
                            int maximumPositionalCount);

    bool isSet(const QCommandLineOption& option) const;
    QString value(const QCommandLineOption& option) const;
    QStringList positionalArguments() const;

    // Prints "corvane-cli <command>: <message>" and a pointer to the help on standard error; returns 2.
    int reportUsageError(const QString& message) const;
    QString helpText() const;

private:
    QString _commandName;
    QString _synopsis;
    QCommandLineParser _parser;
    QCommandLineOption _helpOption;
};

// Prints "corvane-cli: <message>" on standard error and returns CLI_EXIT_CODE_FAILURE.
int reportFailure(const QString& message);
// A line on standard error that is information, not an error (progress, summaries).
void printNote(const QString& message);
// A line on standard output.
void printLine(const QString& text);
// "1 record", "2 records": the tool speaks English only, so two forms are enough.
QString countedNoun(qsizetype count, const char* singular, const char* plural);
