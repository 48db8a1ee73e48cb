#pragma once

#include <QString>

// A message box text that quotes user text (record, tab, device or file names): a message box guesses
// its format, and a name that looks like markup must show as typed. Returns message itself when no
// guess could take it for markup, otherwise its rich-text form showing the same characters and lines.
QString plainTextMessage(const QString& message);
