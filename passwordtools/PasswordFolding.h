#pragma once

#include <QString>

// Folds a password or one of the record's words for the dictionaries of the rating, which hold unaccented
// ASCII: a character whose decomposition (NFKD) is ASCII once its combining marks are dropped is replaced
// by it, so "motdepassé" reads "motdepasse" and a full-width "ｐａｓｓ" reads "pass". Other characters stay
// as they are: folding "й" into "и" or a Hangul syllable into its letters would match no word and only
// break sequences or multiply the characters to guess. Case is kept.
QString foldPasswordCharacters(const QString& text);
