#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// Zero-fills memory in a way the optimizer cannot remove.
void secureZeroMemory(void* data, std::size_t size);

// Overwrites the characters of a string or byte array it owns alone, then empties it.
void secureClearString(QString& text);
void secureClearByteArray(QByteArray& bytes);

// Keeps the pages holding a secret out of swap where the system allows it (mlock); a refusal, such as
// a locked-memory limit reached, leaves them as they were without a word.
void lockMemory(const void* data, std::size_t size);
void unlockMemory(const void* data, std::size_t size);
// Locks the characters of a string where its buffer is now.
void lockString(const QString& text);

// No core dump for this process, so that a crash does not leave a decrypted vault or a master password
// on disk: not dumpable, and a core size limit of 0.
void disableCoreDumps();
