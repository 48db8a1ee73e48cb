#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentConfigureDevice;
}

// Edits the current device's name and its backup disable flag ("Prevent using this device as a backup
// target"). The main window opens the device before showing the page; the page closes it when it is left.
class ViewContentConfigureDevice : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentConfigureDevice(QWidget* parent);
    ~ViewContentConfigureDevice() override;

    // Loads the name and the flag. When the flag cannot be read, the device is closed and
    // configurationLoadingFailed() is emitted; the main window, connected queued, then leaves the page.
    void activate() override;

Q_SIGNALS:
    void configurationLoadingFailed(int returnValue);

private Q_SLOTS:
    void _slotLineEditNameTextChanged(QString referenceText);
    void _slotPushButtonOkClicked();
    void _slotPushButtonCancelClicked();

private:
    Ui::ViewContentConfigureDevice* form;
    QString initialName;
    bool initialFlag = false;
};
