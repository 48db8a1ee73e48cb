#include "ViewContentBase.h"

#include "ViewHost.h"
#include "widgets/AccessibleRoles.h"
#include "widgets/PasswordVisibilityToggle.h"
#include "widgets/SecretFieldWiping.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace
{
bool _isClickable_helper(const QPushButton* button)
{
    return button && button->isVisible() && button->isEnabled();
}
} // namespace

ViewContentBase::ViewContentBase(QWidget* parent) : QWidget(parent)
{
    // The pictures and links of every page reach screen readers as images and links.
    installAccessibleRoles();
}

void ViewContentBase::deactivate() {}

void ViewContentBase::writeSecrets(QDataStream& stream) const
{
    writeTextFields(secretTextFields(const_cast<ViewContentBase*>(this)), stream);
}

void ViewContentBase::wipeSecrets()
{
    wipeTextFields(secretTextFields(this));
}

void ViewContentBase::restoreSecrets(QDataStream& stream)
{
    restoreTextFields(secretTextFields(this), stream);
    const QList<PasswordVisibilityToggle*> toggles = findChildren<PasswordVisibilityToggle*>();
    for (PasswordVisibilityToggle* toggle : toggles)
        toggle->hidePasswords();
}

QPushButton* ViewContentBase::defaultButton() const
{
    // Pages such as the message page move the default between buttons: ask the buttons themselves.
    const QList<QPushButton*> buttons = findChildren<QPushButton*>();
    for (QPushButton* button : buttons)
    {
        if (button->isDefault() && _isClickable_helper(button))
            return button;
    }
    return nullptr;
}

void ViewContentBase::setMainWidgetWidth(QWidget* widget)
{
    widget->setMinimumWidth(620);
    widget->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
}

ViewHost* ViewContentBase::viewHost() const
{
    // Looked up at each use rather than at construction: the window moves its pages into their frames.
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget())
    {
        if (auto* host = dynamic_cast<ViewHost*>(ancestor))
            return host;
    }
    return nullptr;
}

void ViewContentBase::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        refreshLinkColours();
}

void ViewContentBase::refreshLinkColours()
{
    // A label's links take the palette's link colour when its text is parsed: parse it again.
    const QList<QLabel*> labels = findChildren<QLabel*>();
    for (QLabel* label : labels)
    {
        const QString text = label->text();
        if (!text.contains(QLatin1String("<a ")))
            continue;
        label->clear();
        label->setText(text);
    }
}

void ViewContentBase::setCancelButton(QPushButton* cancelButton)
{
    _cancelButton = cancelButton;
}

void ViewContentBase::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & ~Qt::KeypadModifier)
    {
        QWidget::keyPressEvent(event);
        return;
    }
    QPushButton* target = nullptr;
    switch (event->key())
    {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    {
        // Lists and tables activate their current item on Return themselves.
        if (qobject_cast<QAbstractItemView*>(focusWidget()))
            break;
        auto* focusedButton = qobject_cast<QPushButton*>(focusWidget());
        target = focusedButton && _isClickable_helper(focusedButton) ? focusedButton : defaultButton();
        break;
    }
    case Qt::Key_Escape:
        target = _isClickable_helper(_cancelButton) ? _cancelButton.data() : nullptr;
        break;
    default:
        break;
    }
    if (!target)
    {
        QWidget::keyPressEvent(event);
        return;
    }
    target->click();
}
