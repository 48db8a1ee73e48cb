#include "FormContentEditor.h"

// Sees every event of the application. Auto-locking will count user activity here; until then no event
// is filtered out.
bool FormContentEditor::eventFilter(QObject* watched, QEvent* event)
{
    Q_UNUSED(watched);
    Q_UNUSED(event);
    return false;
}

// The update check arrives with its own workflow; the start menu already asks for it at the right time.
void FormContentEditor::startAutomaticUpdateCheck() {}
