#pragma once

// Debug lines are for developers and may quote what they work on: the CSV import logs the header it
// detected, which for a file without one is its first record, password included. The programs switch them
// off; QT_LOGGING_RULES="*.debug=true" turns them back on for a diagnosis.
void silenceDebugOutput();
