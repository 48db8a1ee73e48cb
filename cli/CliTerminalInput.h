#pragma once

#include <QString>

// Secrets and answers typed by the user. On a terminal (standard input is a tty) the prompt goes to
// the terminal and a password is read without echo; otherwise one line is read from standard input, so
// that scripts and tests can pipe their input (one line per question, in the order asked).

// True when standard input is a terminal, that is when the user can be asked.
bool isStandardInputTerminal();

// Reads one password. False on end of input, a read error or a line too long; errorMessage says which.
// The caller clears the password with secureClearString() after use.
[[nodiscard]] bool readPassword(const QString& prompt, QString& password, QString& errorMessage);

// Asks a yes/no question on the terminal; isConfirmed is true only for the answer y or yes (any case).
// False when there is no terminal to ask on, or on end of input.
[[nodiscard]] bool askConfirmation(const QString& question, bool& isConfirmed, QString& errorMessage);
