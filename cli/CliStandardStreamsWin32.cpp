#include "cli/CliStandardStreams.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

void prepareStandardStreams()
{
    // Memory images and CSV files pass through the standard streams byte for byte: the C runtime's text
    // mode would turn every line feed into CR LF and stop reading at a Ctrl+Z.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Messages are UTF-8; the console shows them as such.
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}
