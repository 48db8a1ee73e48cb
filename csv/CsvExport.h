#pragma once

#include "vault/PasswordRecord.h"

#include <QList>
#include <QString>

// Writes the records in this application's own layout (every field quoted, quotes doubled, comma
// separated, platform line ends), as a file readable by its owner only. 0 on success (errorMessage
// cleared); -1 when the file cannot be opened or written (errorMessage = the file's error string).
int exportCSVFile(const QString& fileName, const QList<PasswordRecord>& passwords, QString& errorMessage);
