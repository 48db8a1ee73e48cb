#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// Zero-fills memory in a way the optimizer cannot remove.
void secureZeroMemory(void* data, std::size_t size);

// Overwrites the characters of a string or byte array it owns alone, then empties it.
void secureClearString(QString& text);
void secureClearByteArray(QByteArray& bytes);
