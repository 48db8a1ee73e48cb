#include "ViewContentBase.h"

#include "ViewHost.h"

#include <QEvent>
#include <QLabel>

ViewContentBase::ViewContentBase(QWidget* parent) : QWidget(parent) {}

void ViewContentBase::deactivate() {}

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
