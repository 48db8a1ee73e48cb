#pragma once

#include "ViewContentBase.h"

class PasswordVisibilityToggle;

namespace Ui
{
class ViewContentDeviceCopyWizardPage2;
}

// Second page of the device copy wizard: the source device's master password. The main window reads and
// decrypts the source when the password is handed over; the page stays underneath until it moves on.
class ViewContentDeviceCopyWizardPage2 : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentDeviceCopyWizardPage2(QWidget* parent);
    ~ViewContentDeviceCopyWizardPage2() override;

    void activate() override;
    // The page is left for good (Cancel, or the whole wizard unwinding): the typed password goes.
    void deactivate() override;

Q_SIGNALS:
    void passwordInserted(QString password);
    // Emitted by deactivate(): the wizard no longer needs anything derived from the source password.
    void wizardPageLeft();

private Q_SLOTS:
    void _slotLineEditPasswordTextChanged(QString referenceText);
    void _slotPushButtonNextClicked();
    void _slotPushButtonCancelClicked();

private:
    Ui::ViewContentDeviceCopyWizardPage2* form;
    PasswordVisibilityToggle* passwordVisibilityToggle = nullptr;
};
