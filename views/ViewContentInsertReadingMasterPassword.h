#pragma once

#include "ViewContentBase.h"

#include <QString>

class PasswordVisibilityToggle;

namespace Ui
{
class ViewContentInsertReadingMasterPassword;
}

// Asks once for the master password of the vault being opened. Any non-empty text is accepted: whether it
// is right shows when the vault is decrypted.
class ViewContentInsertReadingMasterPassword : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentInsertReadingMasterPassword(QWidget* parent);
    ~ViewContentInsertReadingMasterPassword() override;

    void activate() override;
    // The password must not stay in the field once the page is left.
    void deactivate() override;

Q_SIGNALS:
    // isValid: OK with the text exactly as typed; false: Cancel, with an empty password.
    void insertionFinished(bool isValid, QString password = QString());

private Q_SLOTS:
    void _slotPushButtonOkClicked();
    void _slotPushButtonCancelClicked();
    void _slotLineEditTextEdited(QString);

private:
    Ui::ViewContentInsertReadingMasterPassword* form;
    PasswordVisibilityToggle* passwordVisibilityToggle = nullptr;
};
