#pragma once

// readMemoryImageFile() comes from the core, shared with the window's restore.
#include "vault/MemoryImageFile.h"

#include <QString>

#include <cstdint>

// Files written by the tool hold secrets (encrypted images, decrypted CSV): they all go through
// OwnerOnlyFileWriter (owner-only from creation, replaced by a rename only when complete, never through
// a symbolic link or into a FIFO).

// Writes size bytes to filePath. An existing file is an error without isReplacingAllowed (--force).
// False with errorMessage naming the file and the reason.
[[nodiscard]] bool writeOwnerOnlyFile(const QString& filePath, const uint8_t* data, qint64 size,
                                      bool isReplacingAllowed, QString& errorMessage);

// The tool's message for a failed OwnerOnlyFileWriter: the --force hint for an existing file, else the
// file and the reason.
QString describeFileWriteFailure(const QString& filePath, const QString& reason, bool isRefusedAsExisting);

// Writes all bytes to standard output. False with errorMessage when the output fails (closed pipe,
// full disk).
[[nodiscard]] bool writeStandardOutput(const char* data, qint64 size, QString& errorMessage);

// True when the path names an existing file (or a dangling symbolic link): used to refuse early,
// before any device access or password question, what the exclusive creation would refuse at the end.
bool pathExists(const QString& filePath);
