#include "ViewBase.h"

#include "ViewContentBase.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

ViewBase::ViewBase(ViewContentBase* content, const QString& title, QWidget* parent)
    : QWidget(parent), _contentWidget(content)
{
    _titleLabel = new QLabel(this);
    _titleLabel->setObjectName(QStringLiteral("labelViewTitle"));
    _titleLabel->setAlignment(Qt::AlignHCenter);
    // A title is never markup, even when it quotes user text.
    _titleLabel->setTextFormat(Qt::PlainText);
    QFont font = QApplication::font();
    font.setPointSize(26);
    _titleLabel->setFont(font);
    _titleLabel->setText(title);
    // The page as a whole is announced by its title, wherever the focus lands in it.
    setAccessibleName(title);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 9, 0, 0);
    layout->addWidget(_titleLabel);
    layout->addWidget(content);
}

void ViewBase::setTitle(const QString& title)
{
    _titleLabel->setText(title);
    setAccessibleName(title);
}

QString ViewBase::title() const
{
    return _titleLabel->text();
}

ViewContentBase* ViewBase::contentWidget() const
{
    return _contentWidget;
}
