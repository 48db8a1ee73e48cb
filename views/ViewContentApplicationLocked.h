#pragma once

#include "ViewContentBase.h"

#include <QString>

class PasswordVisibilityToggle;
class QTimer;

namespace Ui
{
class ViewContentApplicationLocked;
}

// Covers the main window while the application is locked. The page keeps no password: it hands the typed
// one to the window, which accepts it only if it decrypts what the lock sealed. After three wrong passwords
// each attempt waits longer (1, 2, 4 ... at most 30 seconds), the wait shown on the page. "Quit" leaves
// without a password.
class ViewContentApplicationLocked : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentApplicationLocked(QWidget* parent);
    ~ViewContentApplicationLocked() override;

    void activate() override;
    void deactivate() override;

    // The answer to unlockRequested(): the password opened the sealed state (the previous page is back), or
    // it did not (the wrong password box, and the wait before the next attempt once it is due).
    void acceptPassword();
    void rejectPassword();
    // Whether a device transfer goes on behind the page, and, once it has, that it finished: the page says
    // so, since it is what tells when quitting is safe.
    void setTransferRunning(bool isRunning);
    // The unit of the waits between attempts, one second unless a test shortens it.
    void setWaitUnitMilliseconds(int milliseconds);
    // Seconds still to wait before the next attempt, 0 when none.
    int remainingWaitSeconds() const;

    // What the window says when quitting is refused during a transfer behind the page.
    static QString quitRefusalText();

Q_SIGNALS:
    // Unlock was pressed with this password.
    void unlockRequested(QString password);
    // The right password was typed; the previous page is already shown again.
    void applicationUnlocked();

private Q_SLOTS:
    void _slotLineEditPasswordTextChanged(QString referenceText);
    void _slotPushButtonUnlockClicked();
    void _slotTimerWaitTimeout();

private:
    void updateWaitState();

    Ui::ViewContentApplicationLocked* form;
    PasswordVisibilityToggle* passwordVisibilityToggle = nullptr;
    QTimer* timerWait = nullptr;
    int wrongPasswordCount = 0;
    int remainingWait = 0;
    int waitUnitMilliseconds = 1000;
};
