#pragma once

#include "ViewContentBase.h"

#include <QString>

class PasswordVisibilityToggle;

namespace Ui
{
class ViewContentInsertReadingMasterPassword;
}

// Asks for the master password of the vault being opened. Any non-empty text is accepted: whether it is
// right shows when the vault is decrypted, and a wrong one brings the page back with the error shown on it.
class ViewContentInsertReadingMasterPassword : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentInsertReadingMasterPassword(QWidget* parent);
    ~ViewContentInsertReadingMasterPassword() override;

    void activate() override;
    // The password must not stay in the field once the page is left; nor does the error.
    void deactivate() override;
    // The error shown above the buttons on the next visit (the password just typed was wrong), read out with
    // the field; empty hides it.
    void setErrorText(const QString& text);
    QString errorText() const;

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
