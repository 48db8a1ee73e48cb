#pragma once

#include <QWidget>

class ViewHost;

// Base of every page shown in place of the vault editor. Pages are created once and reused: activate()
// resets a page for a new visit, deactivate() stops its periodic work and clears what it holds.
class ViewContentBase : public QWidget
{
    Q_OBJECT

public:
    explicit ViewContentBase(QWidget* parent);

    virtual void activate() = 0;
    virtual void deactivate();

protected:
    // Keeps wide forms readable: 620 pixels at least, growing with the window.
    void setMainWidgetWidth(QWidget* widget);

    // The window showing the page: its nearest ancestor that is a ViewHost; null for a page shown alone.
    ViewHost* viewHost() const;

    void changeEvent(QEvent* event) override;

private:
    void refreshLinkColours();
};
