#pragma once

#include <QLatin1String>

// The line end of this system's text files: a line feed, or carriage return + line feed on Windows. CSV
// exports end their lines with it, and the line feeds inside fields become it too, as a text-mode file would
// write them. One file per system: TextLineEndsPosix.cpp and TextLineEndsWin32.cpp.
QLatin1String platformTextLineEnd();
