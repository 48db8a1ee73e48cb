#pragma once

#include <QString>
#include <QWidget>

namespace Ui
{
class PasswordTablePasswordItem;
}

// The password cell of a PasswordTable row: the password masked by default, with an eye button
// that reveals it. Assistive technologies only ever see the mask while the password is hidden.
class PasswordTablePasswordItem : public QWidget
{
    Q_OBJECT

public:
    explicit PasswordTablePasswordItem(const QString& password, QWidget* parent = nullptr);
    ~PasswordTablePasswordItem() override;

    bool isPasswordVisible() const;
    void setPasswordVisible(bool isVisible);
    // The text the cell currently shows, before eliding: the mask, or the password once revealed.
    QString displayedText() const;

    // The style's password character repeated once per UTF-16 code unit of the password.
    static QString maskFor(const QString& password, const QWidget* widget);

    // Width the cell needs to show this password in full, masked or not, with its eye button.
    static int widthHintFor(const QString& password, const QWidget* widget);

Q_SIGNALS:
    // The user revealed or masked the password with the eye button.
    void passwordVisibilityToggled(bool isVisible);

protected:
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void _slotPushButtonClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateDisplay();
    // A cell narrower than its text shows it cut with an ellipsis, never under the eye button.
    void updateElidedText();

    Ui::PasswordTablePasswordItem* form;
    QString password;
    QString displayedFullText;
    bool isVisible = false;
};
