#include "ViewContentBase.h"

#include <QEvent>
#include <QLabel>

ViewContentBase::ViewContentBase(QWidget* parent) : QWidget(parent) {}

void ViewContentBase::deactivate() {}

void ViewContentBase::setMainWidgetWidth(QWidget* widget)
{
    widget->setMinimumWidth(620);
    widget->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
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
