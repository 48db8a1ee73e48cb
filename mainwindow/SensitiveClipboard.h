#pragma once

#include <QString>

// MIME type that asks KDE's clipboard manager (Klipper) and compatible history tools not to keep
// the entry; its value "secret" marks a password.
inline constexpr char SENSITIVE_CLIPBOARD_HINT_MIME_TYPE[] = "x-kde-passwordManagerHint";

// Puts the text on the system clipboard (clipboard mode) together with the password-manager hint.
void copySensitiveTextToClipboard(const QString& text);

// Empties the system clipboard (clipboard mode).
void clearSystemClipboard();
