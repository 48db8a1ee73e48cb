#pragma once

#include <QString>

// Text that comes from a device or a file (a device name, a serial number, a tab name) is shown only through
// these, so that it can neither drive a terminal (escape sequences that clear the screen or write the
// clipboard) nor rearrange the text around it (line breaks, bidirectional overrides).

// For a terminal: every control character (C0, DEL, C1) and every bidirectional or invisible formatting
// character becomes a visible escape ("\x1b", "\u202e"). keptCharacters lists controls that stay as they
// are (the tool's own line breaks in a message that it built).
QString escapeForTerminal(const QString& text, const QString& keptCharacters = QString());

// For a window: line breaks become a visible arrow, other controls and bidirectional or invisible
// formatting characters a visible "<U+202E>", and the whole is isolated (first strong
// isolate ... pop directional isolate) so that it cannot reorder the text it is placed in, unless it holds
// nothing but left-to-right text, digits, spaces and punctuation.
QString makeVisibleAndIsolated(const QString& text);
