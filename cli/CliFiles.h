#pragma once

#include <QString>

#include <cstdint>

// Files written by the tool hold secrets (encrypted images, decrypted CSV): they are created readable
// by their owner only, every write and the final sync and close are checked, and a failed write
// leaves no partial file behind.

// Writes size bytes to a new file of mode 0600. Without isReplacingAllowed an existing file is an
// error (the file is created exclusively); with it, the data go to a temporary file of mode 0600 in
// the same directory that then replaces the file in one rename, so the old content stays intact until
// the new one is complete. False with errorMessage naming the file and the reason.
bool writeOwnerOnlyFile(const QString& filePath, const uint8_t* data, qint64 size, bool isReplacingAllowed,
                        QString& errorMessage);

// Reads a memory image file, which must hold exactly MEMORY_IMAGE_SIZE bytes, into image.
bool readMemoryImageFile(const QString& filePath, uint8_t* image, QString& errorMessage);

// Writes all bytes to standard output. False with errorMessage when the output fails (closed pipe,
// full disk).
bool writeStandardOutput(const char* data, qint64 size, QString& errorMessage);

// True when the path names an existing file (or a dangling symbolic link): used to refuse early,
// before any device access or password question, what the exclusive creation would refuse at the end.
bool pathExists(const QString& filePath);
