#include "app/DiagnosticOutput.h"

#include <QLoggingCategory>

void silenceDebugOutput()
{
    // Rules from QT_LOGGING_RULES are applied after these, so the environment still wins.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
}
