#pragma once

class QMimeData;

// Marks clipboard data as a secret for the system's clipboard managers: one file per system.
// Linux (SensitiveClipboardHintsPosix.cpp): "x-kde-passwordManagerHint" = "secret", which KDE's Klipper and
// compatible history tools honour. Windows (SensitiveClipboardHintsWin32.cpp): the formats that keep the
// data out of clipboard monitors, the clipboard history and the cloud clipboard.
void addSensitiveClipboardHints(QMimeData* mimeData);
