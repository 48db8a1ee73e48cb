#pragma once

// Makes the standard streams fit for this tool before Qt starts: UTF-8 text, bytes written exactly as
// given, and a closed pipe reported as a write error rather than ending the process silently. One file per
// system: CliStandardStreamsPosix.cpp and CliStandardStreamsWin32.cpp.
void prepareStandardStreams();
