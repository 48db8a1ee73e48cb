#pragma once

// Debug lines are for developers; they go through logging categories ("corvane.csv.import") and never hold
// a value the code works on (a header-less CSV file's first line is a record, password included). The
// programs switch them off; QT_LOGGING_RULES="*.debug=true" turns them back on for a diagnosis.
void silenceDebugOutput();
