#pragma once

#include <QString>

// The memory image uses U+0000, U+0003 and U+0004 as terminators, so no text of the vault may hold them.
bool isForbiddenVaultCharacter(QChar character);
bool containsForbiddenVaultCharacters(const QString& text);

// Returns the text without U+0000, U+0003 and U+0004; removedCount (optional) receives how many were dropped.
QString removeForbiddenVaultCharacters(const QString& text, int* removedCount = nullptr);
