#include "FormContentEditor.h"
// TEMPORARY until the open step is merged
int FormContentEditor::openDevice()
{
    return -1;
}
