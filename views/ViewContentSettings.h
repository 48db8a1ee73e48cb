#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentSettings;
}

// Edits the application settings kept in the settings store: the update check at start, the inactivity
// lock and its delay, the lock with the session's screen lock and sleep, the clipboard's clearing delay,
// and whether screenshots of the window are allowed. Shows the stored values on every visit; only "Save"
// writes them.
class ViewContentSettings : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentSettings(QWidget* parent);
    ~ViewContentSettings() override;

    void activate() override;

    // Whether this system announces screen locks and sleep; when not, the page says that the option has no
    // effect (it stays editable, for a session where it will).
    void setSessionLockDetectionAvailable(bool isAvailable);

Q_SIGNALS:
    // The settings were saved and the previous page is shown again; the main window applies them.
    void configurationChanged();

private Q_SLOTS:
    void _slotCheckBoxApplicationAutoLockingCheckStateChanged(int state);
    void _slotPushButtonSaveClicked();
    void _slotPushButtonCancelClicked();

private:
    Ui::ViewContentSettings* form;
};
