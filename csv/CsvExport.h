#pragma once

#include "vault/PasswordRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Writes the records in this application's own layout (every field quoted, quotes doubled, comma
// separated, the system's line ends: CR LF on Windows) through OwnerOnlyFileWriter: owner-only, all or
// nothing, never through a link. An existing file is replaced only with isReplacingAllowed. 0 on success
// (errorMessage cleared); -1 when the file cannot be written (errorMessage says why, without the file name).
[[nodiscard]] int exportCSVFile(const QString& fileName, const QList<PasswordRecord>& passwords,
                                bool isReplacingAllowed, QString& errorMessage);

// The same layout in memory, exactly what exportCSVFile writes. The caller should clear the result after use.
QByteArray exportCSVText(const QList<PasswordRecord>& passwords);
