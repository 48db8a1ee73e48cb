#pragma once

#include <QPointer>
#include <QWidget>

class QDataStream;
class QKeyEvent;
class QPushButton;
class ViewHost;

// Base of every page shown in place of the vault editor. Pages are created once and reused: activate()
// resets a page for a new visit, deactivate() stops its periodic work and clears what it holds.
//
// Pages answer the keyboard as dialogs do, although they are widgets in the main window: Return and Enter
// click the focused push button, otherwise the page's default button (QPushButton::isDefault()) when it is
// shown and enabled; Escape clicks the page's cancel button.
class ViewContentBase : public QWidget
{
    Q_OBJECT

public:
    explicit ViewContentBase(QWidget* parent);

    virtual void activate() = 0;
    virtual void deactivate();

    // Locking: writeSecrets() writes what the page holds that is secret (its text fields by default) and
    // wipeSecrets() empties it; after the unlock restoreSecrets() reads it back, every password hidden.
    virtual void writeSecrets(QDataStream& stream) const;
    virtual void wipeSecrets();
    virtual void restoreSecrets(QDataStream& stream);

    // The default button Return clicks, or nullptr when none is shown and enabled.
    QPushButton* defaultButton() const;

protected:
    // Keeps wide forms readable: 620 pixels at least, growing with the window.
    void setMainWidgetWidth(QWidget* widget);

    // The window showing the page: its nearest ancestor that is a ViewHost; null for a page shown alone.
    ViewHost* viewHost() const;

    // The button Escape clicks (the default button is marked in the page's form).
    void setCancelButton(QPushButton* cancelButton);

    void changeEvent(QEvent* event) override;
    // Reached by the keys the focused widget left alone (a line edit's Return, for example).
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refreshLinkColours();

    QPointer<QPushButton> _cancelButton;
};
