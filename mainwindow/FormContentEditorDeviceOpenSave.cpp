#include "FormContentEditor.h"

// Opening and saving a device arrive with the device workflows; until then the start menu's open
// button says so instead of doing nothing.
void FormContentEditor::_slotViewStartMenuOpenDeviceClicked()
{
    pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_INFORMATION, tr("Opening a device"),
                             tr("Opening a device is not available in this build."),
                             ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
}
