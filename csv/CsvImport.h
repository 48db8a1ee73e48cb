#pragma once

#include "vault/PasswordRecord.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>

// A vault holds 128 KiB; a larger CSV file is refused before it is read into memory.
constexpr qint64 MAXIMUM_CSV_FILE_SIZE = qint64(16) * 1024 * 1024;

// Reads a CSV file into records in file order. 0 on success; -1 when the file cannot be used
// (errorMessage says why: unreadable, too large, an unclosed quote, or data lines that gave no record); -2
// when no column order could be determined (errorMessage untouched). On failure passwords is left empty: a
// broken file never yields a partial list.
[[nodiscard]] int importCSVFile(const QString& fileName, QChar fieldsSeparatorCharacter,
                                bool isColumnsOrderFixed, QList<PasswordRecord>& passwords,
                                QString& errorMessage);

// The parsing part of importCSVFile on bytes already in memory (the whole file content, no size check),
// with the same results and messages.
[[nodiscard]] int importCSVText(const QByteArray& bytes, QChar fieldsSeparatorCharacter,
                                bool isColumnsOrderFixed, QList<PasswordRecord>& passwords,
                                QString& errorMessage);

// Whether the text starts with a line of column titles as other password managers write them: at least
// MINIMUM_KNOWN_COLUMN_TITLE_COUNT of its fields are titles the header detection knows. Lets a user who
// chose the fixed column order switch to the detection instead of importing the titles as a record.
constexpr int MINIMUM_KNOWN_COLUMN_TITLE_COUNT = 3;
bool csvTextStartsWithColumnTitles(const QByteArray& bytes, QChar fieldsSeparatorCharacter);
// The same for the start of a file; false when it cannot be read.
bool csvFileStartsWithColumnTitles(const QString& fileName, QChar fieldsSeparatorCharacter);
