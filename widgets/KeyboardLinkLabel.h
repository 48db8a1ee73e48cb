#pragma once

#include <QLabel>

// A label that is one link: a single Tab stop that lands on the link itself (shown focused, followed with
// Return), where a plain label with keyboard links takes a first, invisible stop on the label. Screen
// readers see a link named after the label's accessible name, whose press action follows it.
class KeyboardLinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit KeyboardLinkLabel(QWidget* parent = nullptr);

    // Follows the (first) link, as a click on it does.
    void activateLink();
    QString linkTarget() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    // Tab and Shift+Tab leave the label: it holds one link, reached as the label gets the focus.
    bool focusNextPrevChild(bool next) override;
};
