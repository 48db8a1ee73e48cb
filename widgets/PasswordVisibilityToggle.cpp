#include "PasswordVisibilityToggle.h"

#include "PasswordFieldGuard.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

PasswordVisibilityToggle::PasswordVisibilityToggle(QPushButton* pushButton,
                                                   const QList<QLineEdit*>& lineEdits)
    : QObject(pushButton), pushButton(pushButton), lineEdits(lineEdits)
{
    for (QLineEdit* lineEdit : lineEdits)
        fieldGuards.append(new PasswordFieldGuard(lineEdit));
    lastFocusedLineEdit = lineEdits.value(0);

    connect(pushButton, &QPushButton::clicked, this, &PasswordVisibilityToggle::_slotPushButtonClicked);
    connect(qApp, &QApplication::focusChanged, this, &PasswordVisibilityToggle::_slotApplicationFocusChanged);
}

void PasswordVisibilityToggle::hidePasswords()
{
    setPasswordsShown(false);
    lastFocusedLineEdit = lineEdits.value(0);
}

bool PasswordVisibilityToggle::arePasswordsShown() const
{
    // The fields always change together; the first one tells.
    return !fieldGuards.isEmpty() && fieldGuards.first()->isPasswordShown();
}

void PasswordVisibilityToggle::setPasswordsShown(bool isShown)
{
    for (PasswordFieldGuard* fieldGuard : std::as_const(fieldGuards))
        fieldGuard->setPasswordShown(isShown);
    pushButton->setText(isShown ? tr("&Hide") : tr("S&how"));
}

void PasswordVisibilityToggle::_slotPushButtonClicked()
{
    setPasswordsShown(!arePasswordsShown());
    // The click took the focus; typing and Return belong to the field.
    if (lastFocusedLineEdit)
        lastFocusedLineEdit->setFocus();
}

void PasswordVisibilityToggle::_slotApplicationFocusChanged(QWidget*, QWidget* now)
{
    for (QLineEdit* lineEdit : std::as_const(lineEdits))
    {
        if (now == lineEdit)
            lastFocusedLineEdit = lineEdit;
    }
}
