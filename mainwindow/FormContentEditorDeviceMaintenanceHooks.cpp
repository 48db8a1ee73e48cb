// Where the device maintenance workflows (information, configuration, erase, copy) continue after the
// shared device selection and read steps. They are not part of this build yet: each hook releases the
// device it was handed and says so.
#include "FormContentEditor.h"

#include "device/Device.h"

namespace
{
void _refuseMaintenanceOperation_helper(FormContentEditor* window)
{
    closeCurrentDevice();
    window->pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, FormContentEditor::tr("Error"),
                                     FormContentEditor::tr("This operation is not available in this build."),
                                     ViewContentMessageBoxDialog::BUTTON_OK,
                                     ViewContentMessageBoxDialog::BUTTON_OK);
}
} // namespace

void FormContentEditor::continueShowDeviceInformation()
{
    _refuseMaintenanceOperation_helper(this);
}

void FormContentEditor::continueConfigureDevice()
{
    _refuseMaintenanceOperation_helper(this);
}

void FormContentEditor::continueEraseDevice()
{
    _refuseMaintenanceOperation_helper(this);
}

void FormContentEditor::continueCopyReadSourceDevice()
{
    _refuseMaintenanceOperation_helper(this);
}

void FormContentEditor::continueCopyWriteTargetDevice()
{
    _refuseMaintenanceOperation_helper(this);
}

void FormContentEditor::continueEraseDeviceRead(int)
{
    _refuseMaintenanceOperation_helper(this);
}

void FormContentEditor::continueCopySourceDeviceRead(int)
{
    _refuseMaintenanceOperation_helper(this);
}

void FormContentEditor::continueCopyTargetDeviceRead(int)
{
    _refuseMaintenanceOperation_helper(this);
}
