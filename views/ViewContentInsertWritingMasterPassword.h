#pragma once

#include "ViewContentBase.h"

#include <QString>

class PasswordVisibilityToggle;

namespace Ui
{
class ViewContentInsertWritingMasterPassword;
}

// Asks twice for the new master password a vault is about to be written with, rates its strength and
// links to the guide on choosing it. Any non-empty text typed identically twice is accepted.
class ViewContentInsertWritingMasterPassword : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentInsertWritingMasterPassword(QWidget* parent);
    ~ViewContentInsertWritingMasterPassword() override;

    void activate() override;
    // The passwords must not stay in the fields once the page is left.
    void deactivate() override;

Q_SIGNALS:
    // isValid: OK with the password exactly as typed; false: Cancel, with an empty password.
    void insertionFinished(bool isValid, QString password = QString());

private Q_SLOTS:
    void _slotLineEditTextChanged(QString);
    void _slotPushButtonOkClicked();
    void _slotPushButtonCancelClicked();
    void _slotLabelHelpLinkActivated(QString referenceDocumentFileName);

private:
    void clearFields();

    Ui::ViewContentInsertWritingMasterPassword* form;
    // Both fields together.
    PasswordVisibilityToggle* passwordVisibilityToggle = nullptr;
};
