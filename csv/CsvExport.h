#pragma once

#include "vault/PasswordRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Writes the records in this application's own layout (every field quoted, quotes doubled, comma
// separated, platform line ends), as a file readable by its owner only. 0 on success (errorMessage
// cleared); -1 when the file cannot be opened or written (errorMessage = the file's error string).
int exportCSVFile(const QString& fileName, const QList<PasswordRecord>& passwords, QString& errorMessage);

// The same layout in memory, with a line feed ending each record (what exportCSVFile writes on a
// platform whose text line end is the line feed). The caller should clear the result after use.
QByteArray exportCSVText(const QList<PasswordRecord>& passwords);
