#include "ViewContentApplicationLocked.h"

#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordFieldGuard.h"
#include "ui_ViewContentApplicationLocked.h"
#include "vault/SecureMemory.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QSvgRenderer>

ViewContentApplicationLocked::ViewContentApplicationLocked(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentApplicationLocked)
{
    form->setupUi(this);
    passwordFieldGuard = new PasswordFieldGuard(form->lineEditPassword);
    form->svgWidgetIcon->load(QStringLiteral(":/Images/Padlock.svg"));
    form->svgWidgetIcon->renderer()->setAspectRatioMode(Qt::KeepAspectRatio);

    connect(form->lineEditPassword, &QLineEdit::textChanged, this,
            &ViewContentApplicationLocked::_slotLineEditPasswordTextChanged);
    connect(form->pushButtonShow, &QPushButton::clicked, this,
            &ViewContentApplicationLocked::_slotPushButtonShowPasswordClicked);
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
    passwordFieldGuard->setPasswordShown(true);
    _slotPushButtonShowPasswordClicked();
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

void ViewContentApplicationLocked::_slotPushButtonShowPasswordClicked()
{
    if (!passwordFieldGuard->isPasswordShown())
    {
        passwordFieldGuard->setPasswordShown(true);
        form->pushButtonShow->setText(tr("Hide"));
    }
    else
    {
        passwordFieldGuard->setPasswordShown(false);
        form->pushButtonShow->setText(tr("Show"));
    }
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
