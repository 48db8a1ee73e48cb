#include "FormContentEditor.h"

// Auto-locking counts user activity here; until it exists no event is filtered.
bool FormContentEditor::eventFilter(QObject* watched, QEvent* event)
{
    return QMainWindow::eventFilter(watched, event);
}

// The update check arrives with its own workflow; the start menu already asks for it at the right time.
void FormContentEditor::startAutomaticUpdateCheck() {}
