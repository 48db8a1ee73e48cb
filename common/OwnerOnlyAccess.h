#pragma once

#include <QString>

#include <string>

// Makes the file at filePath readable and writable by its owner alone, creating it empty when it does not
// exist yet, so that whatever writes it later keeps these permissions. A link is never followed; a failure
// leaves the file as it was without a word (a store on a file system without permissions still works).
void restrictFileToOwner(const QString& filePath);

// A folder owned by the current user that nobody else may write to.
bool isFolderOwnedAndWritableByUserAlone(const QString& folderPath);

#ifdef Q_OS_WIN
// The access list that gives the current user, and nobody else, every right, in the security descriptor
// language ("D:P(A;;FA;;;<user's SID>)"); empty when the user's SID cannot be read.
std::wstring ownerOnlyAccessList();
#endif
