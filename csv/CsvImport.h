#pragma once

#include "vault/PasswordRecord.h"

#include <QChar>
#include <QList>
#include <QString>

// Reads a CSV file into records in file order. 0 on success; -1 when the file cannot be used
// (errorMessage says why); -2 when no column order could be determined (errorMessage untouched).
int importCSVFile(const QString& fileName, QChar fieldsSeparatorCharacter, bool isColumsOrderFixed,
                  QList<PasswordRecord>& passwords, QString& errorMessage);
