#pragma once

#include <QWidget>

class QLabel;
class ViewContentBase;

// The frame of a page: a large centred title above one content view, which the frame owns.
class ViewBase : public QWidget
{
    Q_OBJECT

public:
    ViewBase(ViewContentBase* content, const QString& title, QWidget* parent);

    void setTitle(const QString& title);
    QString title() const;
    ViewContentBase* contentWidget() const;

private:
    ViewContentBase* _contentWidget;
    QLabel* _titleLabel;
};
