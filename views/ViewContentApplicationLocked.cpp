#include "ViewContentApplicationLocked.h"

#include "ViewHost.h"
#include "common/SecureMemory.h"
#include "ui_ViewContentApplicationLocked.h"
#include "widgets/PasswordVisibilityToggle.h"
#include "widgets/SecretFieldWiping.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>

namespace
{
// Wrong passwords allowed without waiting, and the longest wait, in seconds.
constexpr int FREE_ATTEMPT_COUNT = 3;
constexpr int MAXIMUM_WAIT_SECONDS = 30;

int _waitSeconds_helper(int wrongPasswordCount)
{
    if (wrongPasswordCount < FREE_ATTEMPT_COUNT)
        return 0;
    const int doublings = wrongPasswordCount - FREE_ATTEMPT_COUNT;
    // 2^5 already exceeds the longest wait.
    return doublings >= 5 ? MAXIMUM_WAIT_SECONDS : qMin(MAXIMUM_WAIT_SECONDS, 1 << doublings);
}
} // namespace

ViewContentApplicationLocked::ViewContentApplicationLocked(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentApplicationLocked)
{
    form->setupUi(this);
    passwordVisibilityToggle = new PasswordVisibilityToggle(form->pushButtonShow, {form->lineEditPassword});
    form->svgWidgetIcon->loadInPaletteColours(QStringLiteral(":/Images/Padlock.svg"));
    timerWait = new QTimer(this);
    timerWait->setObjectName(QStringLiteral("timerWait"));

    connect(form->lineEditPassword, &QLineEdit::textChanged, this,
            &ViewContentApplicationLocked::_slotLineEditPasswordTextChanged);
    connect(form->pushButtonUnlock, &QPushButton::clicked, this,
            &ViewContentApplicationLocked::_slotPushButtonUnlockClicked);
    connect(timerWait, &QTimer::timeout, this, &ViewContentApplicationLocked::_slotTimerWaitTimeout);
    // Quitting needs no password; the main window's close handling still asks about unsaved data.
    connect(form->pushButtonQuit, &QPushButton::clicked, QCoreApplication::instance(),
            &QCoreApplication::quit);
}

ViewContentApplicationLocked::~ViewContentApplicationLocked()
{
    delete form;
}

void ViewContentApplicationLocked::activate()
{
    form->lineEditPassword->clear();
    // Every lock starts hidden, whatever the user left shown at the previous one.
    passwordVisibilityToggle->hidePasswords();
    form->lineEditPassword->setFocus();
    form->pushButtonUnlock->setDefault(true);
    updateWaitState();
}

void ViewContentApplicationLocked::deactivate()
{
    // After an unlock the field holds the master password itself.
    wipeLineEdit(form->lineEditPassword);
    form->labelTransfer->hide();
}

void ViewContentApplicationLocked::acceptPassword()
{
    wrongPasswordCount = 0;
    remainingWait = 0;
    timerWait->stop();
    updateWaitState();
    Q_EMIT applicationUnlocked();
}

void ViewContentApplicationLocked::rejectPassword()
{
    if (wrongPasswordCount < MAXIMUM_WAIT_SECONDS)
        wrongPasswordCount++;
    // The wait starts now, while the box is read: closing it sooner gains nothing.
    remainingWait = _waitSeconds_helper(wrongPasswordCount);
    if (remainingWait > 0)
        timerWait->start(waitUnitMilliseconds);
    updateWaitState();
    QMessageBox::critical(this, tr("Wrong master password"),
                          tr("Wrong master password, please retry.\nYou can also quit the application."),
                          QMessageBox::Ok);
    form->lineEditPassword->selectAll();
    form->lineEditPassword->setFocus();
}

void ViewContentApplicationLocked::setTransferRunning(bool isRunning)
{
    form->labelTransfer->setText(isRunning ? tr("A device transfer is running behind the locked page.")
                                           : tr("The device transfer has finished."));
    form->labelTransfer->show();
}

void ViewContentApplicationLocked::setWaitUnitMilliseconds(int milliseconds)
{
    waitUnitMilliseconds = qMax(1, milliseconds);
}

int ViewContentApplicationLocked::remainingWaitSeconds() const
{
    return remainingWait;
}

QString ViewContentApplicationLocked::quitRefusalText()
{
    return tr("A device transfer is running behind the locked page: quitting now could leave the device half "
              "written.\nQuit once the locked page says that the transfer has finished.");
}

void ViewContentApplicationLocked::_slotLineEditPasswordTextChanged(QString referenceText)
{
    Q_UNUSED(referenceText)
    updateWaitState();
}

void ViewContentApplicationLocked::_slotPushButtonUnlockClicked()
{
    // Return reaches here through the default button, which the wait disables; a direct call too.
    if (remainingWait > 0 || form->lineEditPassword->text().isEmpty())
        return;
    // A copy of its own, overwritten once the window tried it; the field's text is wiped when the window
    // accepted it, a wrong one stays, selected.
    QString password;
    {
        // Not held across the signal: the field's wipe overwrites its characters only while it holds them
        // alone.
        const QString text = form->lineEditPassword->text();
        password = QString(text.constData(), text.size());
    }
    Q_EMIT unlockRequested(password);
    secureClearString(password);
}

void ViewContentApplicationLocked::_slotTimerWaitTimeout()
{
    if (remainingWait > 0)
        remainingWait--;
    if (remainingWait == 0)
        timerWait->stop();
    updateWaitState();
}

void ViewContentApplicationLocked::updateWaitState()
{
    form->pushButtonUnlock->setEnabled(remainingWait == 0 && !form->lineEditPassword->text().isEmpty());
    form->labelWait->setVisible(remainingWait > 0);
    if (remainingWait > 0)
        form->labelWait->setText(
            tr("Too many wrong passwords: the next attempt is possible in %1 s.").arg(remainingWait));
    else
        form->labelWait->clear();
}
