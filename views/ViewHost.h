#pragma once

#include "ViewContentMessageBoxDialog.h"

#include <QString>

class ViewContentBase;

// What a page may ask of the window that shows it. Pages know the window only through this, so that a
// page builds, and can be shown and tested, without the window; the main window implements it.
class ViewHost
{
public:
    // View stack moves (see ViewId): a page leaves through removeView(this), never by popping whatever is
    // on top, which may be another page.
    virtual void switchView(int viewId) = 0;
    virtual void popView(int targetViewId) = 0;
    virtual void removeView(const ViewContentBase* page) = 0;

    // Shows a message page over the current page on the next turn of the event loop.
    virtual void pushMessageBoxDialogView(ViewContentMessageBoxDialog::Icon icon, const QString& title,
                                          const QString& text, int buttons,
                                          ViewContentMessageBoxDialog::Button defaultButton) = 0;

    // Puts a secret on the clipboard the way every copy of the application does (clearable, counted down).
    virtual void copyToClipboard(const QString& text) = 0;

    // The update check that follows the first display of the start menu.
    virtual void startAutomaticUpdateCheck() = 0;
    // The one-time offer of the getting-started page, once the license terms are accepted.
    virtual void askFirstRunQuestion() = 0;

protected:
    // Hosts are never deleted through this interface.
    ~ViewHost() = default;
};
