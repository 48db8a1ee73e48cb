#pragma once

#include "ViewContentBase.h"

#include <QString>

class PasswordVisibilityToggle;

namespace Ui
{
class ViewContentApplicationLocked;
}

// Covers the main window while the application is locked. Only the master password of the open vault
// brings the previous page back; "Quit" leaves without it.
class ViewContentApplicationLocked : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentApplicationLocked(QWidget* parent);
    ~ViewContentApplicationLocked() override;

    // Takes the password the typed text must equal, and clears the caller's string (the caller hands
    // over a temporary copy).
    void setMasterPassword(QString& masterPassword);

    void activate() override;
    void deactivate() override;

Q_SIGNALS:
    // The right password was typed; the previous page is already shown again.
    void applicationUnlocked();

private Q_SLOTS:
    void _slotLineEditPasswordTextChanged(QString referenceText);
    void _slotPushButtonUnlockClicked();

private:
    Ui::ViewContentApplicationLocked* form;
    PasswordVisibilityToggle* passwordVisibilityToggle = nullptr;
    QString masterPassword;
};
