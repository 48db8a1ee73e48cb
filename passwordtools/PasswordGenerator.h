#pragma once

#include <QString>

// A random password of a length drawn in [minimumLength, maximumLength], holding only characters of
// the enabled classes and at least one of each. Returns an empty string for impossible requests
// (no class enabled, or a length that cannot hold one character of every enabled class).
QString generatePassword(int minimumLength, int maximumLength, bool useLowercaseLetters,
                         bool useUppercaseLetters, bool useDigits, bool useSymbols);
