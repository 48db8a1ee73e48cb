#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QLineEdit;
class QPushButton;
class QWidget;

class PasswordFieldGuard;

// The "Show"/"Hide" button of a page's password fields: it shows or masks all of them together, keeps
// their text from leaking while shown (PasswordFieldGuard), and hands the keyboard focus back to the field
// the user was typing in, so that typing and Return still belong to the field after a click.
class PasswordVisibilityToggle : public QObject
{
    Q_OBJECT

public:
    // lineEdits: the fields the button shows and masks, the first one taking the focus back until another
    // one had it. The toggle lives as long as the button (it becomes its child).
    PasswordVisibilityToggle(QPushButton* pushButton, const QList<QLineEdit*>& lineEdits);

    // Masks every field and names the button "Show": the state each visit of a page starts in.
    void hidePasswords();
    bool arePasswordsShown() const;

private Q_SLOTS:
    void _slotPushButtonClicked();
    void _slotApplicationFocusChanged(QWidget*, QWidget* now);

private:
    void setPasswordsShown(bool isShown);

    QPushButton* pushButton;
    QList<QLineEdit*> lineEdits;
    QList<PasswordFieldGuard*> fieldGuards;
    QPointer<QLineEdit> lastFocusedLineEdit;
};
