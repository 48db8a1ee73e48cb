#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentMessageBoxDialog;
}

// A message with an icon and a choice of OK, Yes, No and Cancel, shown as a page instead of a modal box.
class ViewContentMessageBoxDialog : public ViewContentBase
{
    Q_OBJECT

public:
    // Also the bits of the button set given to setContent().
    enum Button
    {
        BUTTON_OK = 1,
        BUTTON_YES = 2,
        BUTTON_NO = 4,
        BUTTON_CANCEL = 8
    };

    enum Icon
    {
        ICON_SUCCESS = 0,
        ICON_ERROR = 1,
        ICON_INFORMATION = 2,
        ICON_QUESTION = 3
    };

    explicit ViewContentMessageBoxDialog(QWidget* parent);
    ~ViewContentMessageBoxDialog() override;

    // Prepares the next visit; buttons is a set of Button bits, defaultButton one Button value
    // (any other value leaves the focus and the default button as they are).
    void setContent(int icon, const QString& text, int buttons, int defaultButton);

    void activate() override;

Q_SIGNALS:
    void dialogExited(ViewContentMessageBoxDialog::Button pressedButton);

private Q_SLOTS:
    void _slotPushButtonOkClicked();
    void _slotPushButtonYesClicked();
    void _slotPushButtonNoClicked();
    void _slotPushButtonCancelClicked();

private:
    void exitWithButton(Button button);
    void setWrappedText(const QString& text);
    // Widest the text may be so that the window still fits on its screen.
    int wrappingWidth() const;
    void restoreMaximizedWindow();

    Ui::ViewContentMessageBoxDialog* form;
    // A window grown for a wide message loses its maximised state; it gets it back once the message is gone.
    bool wasWindowMaximized = false;
};
