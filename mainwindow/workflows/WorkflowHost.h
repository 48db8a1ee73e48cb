#pragma once

#include "views/ViewHost.h"
#include "views/ViewId.h"

#include <functional>

class QWidget;
struct WindowPages;

// What a device workflow asks of the window that hosts it, beyond what a page may ask: the pages it drives,
// the view stack, questions whose answer comes back to it, and the lock. The main window implements it.
class WorkflowHost : public ViewHost
{
public:
    virtual const WindowPages& windowPages() const = 0;
    virtual void pushView(int viewId) = 0;
    // The page the workflows are on (the one the locked page covers while locked).
    virtual int activeViewId() const = 0;
    // Asks on the message page; answered runs with the button pressed.
    virtual void askQuestion(ViewContentMessageBoxDialog::Icon icon, const QString& title,
                             const QString& text, int buttons,
                             ViewContentMessageBoxDialog::Button defaultButton,
                             std::function<void(int button)> answered) = 0;
    // Runs action now, or after the unlock while the application is locked: nothing a workflow shows may
    // appear over the locked page.
    virtual void runWhenUnlocked(std::function<void()> action) = 0;
    // Runs ask, which opens a modal box or file dialog and keeps its answer. A lock closes such a box without
    // an answer: then ask runs again once the application is unlocked. False when the application quit while
    // locked (no answer).
    [[nodiscard]] virtual bool askAcrossLock(const std::function<void()>& ask) = 0;
    // The parent of the modal boxes a workflow shows.
    virtual QWidget* dialogParent() = 0;

protected:
    ~WorkflowHost() = default;
};
