#include "ViewContentApplicationLocked.h"

#include "ViewHost.h"
#include "common/SecureMemory.h"
#include "ui_ViewContentApplicationLocked.h"
#include "widgets/PasswordVisibilityToggle.h"

#include <QCoreApplication>
#include <QMessageBox>

ViewContentApplicationLocked::ViewContentApplicationLocked(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentApplicationLocked)
{
    form->setupUi(this);
    passwordVisibilityToggle = new PasswordVisibilityToggle(form->pushButtonShow, {form->lineEditPassword});
    form->svgWidgetIcon->loadInPaletteColours(QStringLiteral(":/Images/Padlock.svg"));

    connect(form->lineEditPassword, &QLineEdit::textChanged, this,
            &ViewContentApplicationLocked::_slotLineEditPasswordTextChanged);
    connect(form->pushButtonUnlock, &QPushButton::clicked, this,
            &ViewContentApplicationLocked::_slotPushButtonUnlockClicked);
    // Quitting needs no password; the main window's close handling still asks about unsaved data.
    connect(form->pushButtonQuit, &QPushButton::clicked, QCoreApplication::instance(),
            &QCoreApplication::quit);
}

ViewContentApplicationLocked::~ViewContentApplicationLocked()
{
    secureClearString(masterPassword);
    delete form;
}

void ViewContentApplicationLocked::setMasterPassword(QString& masterPassword)
{
    secureClearString(this->masterPassword);
    this->masterPassword = masterPassword;
    secureClearString(masterPassword);
}

void ViewContentApplicationLocked::activate()
{
    form->lineEditPassword->clear();
    // Every lock starts hidden, whatever the user left shown at the previous one.
    passwordVisibilityToggle->hidePasswords();
    form->lineEditPassword->setFocus();
    form->pushButtonUnlock->setDefault(true);
    form->pushButtonUnlock->setEnabled(false);
}

void ViewContentApplicationLocked::deactivate()
{
    form->lineEditPassword->clear();
    secureClearString(masterPassword);
}

void ViewContentApplicationLocked::_slotLineEditPasswordTextChanged(QString referenceText)
{
    form->pushButtonUnlock->setEnabled(!referenceText.isEmpty());
}

void ViewContentApplicationLocked::_slotPushButtonUnlockClicked()
{
    // An empty copy (the page shown without a lock) matches nothing.
    if (masterPassword.isEmpty() || form->lineEditPassword->text() != masterPassword)
    {
        QMessageBox::critical(this, tr("Wrong master password"),
                              tr("Wrong master password, please retry.\nYou can also quit the application."),
                              QMessageBox::Ok);
        form->lineEditPassword->selectAll();
        form->lineEditPassword->setFocus();
        return;
    }

    secureClearString(masterPassword);
    // The window takes the locked page away: it is not one of the view stack's pages.
    Q_EMIT applicationUnlocked();
}
