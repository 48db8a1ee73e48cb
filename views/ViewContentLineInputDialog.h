#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentLineInputDialog;
}

// Asks for one line of text (a tab name, for example) as a page instead of a modal dialog.
class ViewContentLineInputDialog : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentLineInputDialog(QWidget* parent);
    ~ViewContentLineInputDialog() override;

    void setContent(const QString& labelText, const QString& lineEditText);

    void activate() override;

Q_SIGNALS:
    void insertionFinished(bool isValid, QString text = QString());

private Q_SLOTS:
    void _slotPushButtonOkClicked();
    void _slotPushButtonCancelClicked();
    void _slotLineEditTextEdited(QString referenceText);

private:
    void updateOkButtonState();

    Ui::ViewContentLineInputDialog* form;
};
