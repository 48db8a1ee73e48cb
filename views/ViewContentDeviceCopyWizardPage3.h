#pragma once

#include "ViewContentBase.h"

class PasswordVisibilityToggle;

namespace Ui
{
class ViewContentDeviceCopyWizardPage3;
}

// Third page of the device copy wizard, shown once the source has been read and decrypted: the target
// device's master password, empty meaning the source's. The main window writes the target when the
// password is handed over.
class ViewContentDeviceCopyWizardPage3 : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentDeviceCopyWizardPage3(QWidget* parent);
    ~ViewContentDeviceCopyWizardPage3() override;

    void activate() override;
    // The page is left backwards (Previous, Cancel, or the stack unwinding after success): the typed
    // password goes.
    void deactivate() override;

Q_SIGNALS:
    // May be empty: the target then gets the source device's master password.
    void passwordInserted(QString password);
    // Emitted by deactivate(): the decrypted source content is no longer needed.
    void wizardPageLeft();

private Q_SLOTS:
    void _slotLineEditPasswordTextEdited(QString);
    void _slotPushButtonPreviousClicked();
    void _slotPushButtonNextClicked();
    void _slotPushButtonCancelClicked();

private:
    void updatePasswordStrength();

    Ui::ViewContentDeviceCopyWizardPage3* form;
    PasswordVisibilityToggle* passwordVisibilityToggle = nullptr;
};
