// generate and estimate: the password tools, without any device or vault.

#include "cli/CliCommandLine.h"
#include "cli/CliCommands.h"
#include "cli/CliTerminalInput.h"
#include "common/SecureMemory.h"
#include "passwordtools/PasswordGenerator.h"
#include "passwordtools/PasswordRating.h"
#include "passwordtools/PasswordStrength.h"

namespace
{
// The application's generator modes: "Auto" draws 20 to 30 characters of every class; "Advanced"
// takes a length from 4 (one character of each class) to 1024.
constexpr int AUTO_MINIMUM_LENGTH = 20;
constexpr int AUTO_MAXIMUM_LENGTH = 30;
constexpr int ADVANCED_MINIMUM_LENGTH = 4;
constexpr int ADVANCED_MAXIMUM_LENGTH = 1024;
} // namespace

int runGenerateCommand(const QStringList& arguments)
{
    CliCommandLine commandLine(
        QStringLiteral("generate"),
        QStringLiteral("[--length N | --auto] [--no-lower] [--no-upper] [--no-digits] [--no-symbols]"),
        QStringLiteral(
            "Prints a random password made by the application's generator: at least one character of "
            "every enabled class. Without --length (or with --auto) its length is drawn from 20 to 30."));
    const QCommandLineOption lengthOption(QStringLiteral("length"),
                                          QStringLiteral("Exactly N characters, from 4 to 1024."),
                                          QStringLiteral("N"));
    const QCommandLineOption autoOption(
        QStringLiteral("auto"), QStringLiteral("The application's Auto mode: 20 to 30 characters of all four "
                                               "classes (the default; not combinable with other options)."));
    const QCommandLineOption noLowerOption(QStringLiteral("no-lower"),
                                           QStringLiteral("No lowercase letters."));
    const QCommandLineOption noUpperOption(QStringLiteral("no-upper"),
                                           QStringLiteral("No uppercase letters."));
    const QCommandLineOption noDigitsOption(QStringLiteral("no-digits"), QStringLiteral("No digits."));
    const QCommandLineOption noSymbolsOption(QStringLiteral("no-symbols"), QStringLiteral("No symbols."));
    for (const QCommandLineOption& option :
         {lengthOption, autoOption, noLowerOption, noUpperOption, noDigitsOption, noSymbolsOption})
        commandLine.addOption(option);
    if (const int exitCode = commandLine.parse(arguments, 0, 0);
        exitCode != CliCommandLine::CLI_EXIT_CODE_CONTINUE)
        return exitCode;

    const bool useLowercaseLetters = !commandLine.isSet(noLowerOption);
    const bool useUppercaseLetters = !commandLine.isSet(noUpperOption);
    const bool useDigits = !commandLine.isSet(noDigitsOption);
    const bool useSymbols = !commandLine.isSet(noSymbolsOption);
    if (commandLine.isSet(autoOption) && (commandLine.isSet(lengthOption) || !useLowercaseLetters ||
                                          !useUppercaseLetters || !useDigits || !useSymbols))
        return commandLine.reportUsageError(QStringLiteral("--auto uses every class and its own length"));
    if (!useLowercaseLetters && !useUppercaseLetters && !useDigits && !useSymbols)
        return commandLine.reportUsageError(QStringLiteral("at least one character class is needed"));
    int minimumLength = AUTO_MINIMUM_LENGTH;
    int maximumLength = AUTO_MAXIMUM_LENGTH;
    if (commandLine.isSet(lengthOption))
    {
        bool isNumber = false;
        minimumLength = maximumLength = commandLine.value(lengthOption).toInt(&isNumber);
        if (!isNumber || minimumLength < ADVANCED_MINIMUM_LENGTH || minimumLength > ADVANCED_MAXIMUM_LENGTH)
            return commandLine.reportUsageError(
                QStringLiteral("--length takes a number from %1 to %2")
                    .arg(QString::number(ADVANCED_MINIMUM_LENGTH), QString::number(ADVANCED_MAXIMUM_LENGTH)));
    }

    QString password = generatePassword(minimumLength, maximumLength, useLowercaseLetters,
                                        useUppercaseLetters, useDigits, useSymbols);
    printLine(password);
    secureClearString(password);
    return CLI_EXIT_CODE_SUCCESS;
}

int runEstimateCommand(const QStringList& arguments)
{
    CliCommandLine commandLine(
        QStringLiteral("estimate"), QStringLiteral("[--detailed] [PASSWORD]"),
        QStringLiteral(
            "Rates a password as the application does for a new master password and prints the level "
            "(0 to 4) and its label: very weak, weak, average, good or excellent. Without PASSWORD it "
            "is asked on the terminal, or read as one line from standard input. A PASSWORD given as an "
            "argument is visible to other users in the process list and stays in the shell history."));
    commandLine.addPositionalArgument(QStringLiteral("PASSWORD"),
                                      QStringLiteral("The password to rate (prefer standard input)."),
                                      QStringLiteral("[PASSWORD]"));
    const QCommandLineOption detailedOption(
        QStringLiteral("detailed"),
        QStringLiteral("Also print the rating of the password health report: the zxcvbn score (0 to 4, "
                       "weak up to 2), log10 of the guesses it needs and the patterns found, in order."));
    commandLine.addOption(detailedOption);
    if (const int exitCode = commandLine.parse(arguments, 0, 1);
        exitCode != CliCommandLine::CLI_EXIT_CODE_CONTINUE)
        return exitCode;

    QString password;
    QString errorMessage;
    if (!commandLine.positionalArguments().isEmpty())
        password = commandLine.positionalArguments().first();
    else if (!readPassword(QStringLiteral("Password: "), password, errorMessage))
        return reportFailure(errorMessage);
    QString strengthText;
    const int level = getPasswordStrength(password, &strengthText);
    PasswordRating rating;
    if (commandLine.isSet(detailedOption))
        rating = ratePassword(password, QStringList());
    secureClearString(password);
    printLine(QStringLiteral("%1 %2").arg(QString::number(level), strengthText));
    if (commandLine.isSet(detailedOption))
    {
        const QString patterns = PasswordRating::patternsText(rating.patterns);
        printLine(QStringLiteral("zxcvbn score: %1").arg(rating.score));
        printLine(QStringLiteral("guesses (log10): %1").arg(rating.log10Guesses(), 0, 'f', 2));
        printLine(QStringLiteral("patterns: %1").arg(patterns.isEmpty() ? QStringLiteral("none") : patterns));
    }
    return CLI_EXIT_CODE_SUCCESS;
}
