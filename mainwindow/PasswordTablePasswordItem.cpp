#include "PasswordTablePasswordItem.h"

#include "common/SecureMemory.h"
#include "ui_PasswordTablePasswordItem.h"
#include "widgets/PaletteSvg.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QStyle>

namespace
{
QString _passwordCharacter_helper(const QWidget* widget)
{
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const char32_t code = static_cast<char32_t>(style->styleHint(QStyle::SH_LineEdit_PasswordCharacter));
    const QString character = QString::fromUcs4(&code, 1);
    return character.isEmpty() ? QStringLiteral("*") : character;
}
// Widest of the clear and the masked password in the application font.
int _textWidth_helper(const QString& password, const QWidget* widget)
{
    const QFontMetrics metrics(QApplication::font());
    const int clearWidth = metrics.horizontalAdvance(password);
    const int maskWidth = metrics.horizontalAdvance(_passwordCharacter_helper(widget)) * password.size();
    return qMax(clearWidth, maskWidth);
}
} // namespace

PasswordTablePasswordItem::PasswordTablePasswordItem(const QString& password, QWidget* parent)
    : QWidget(parent), form(new Ui::PasswordTablePasswordItem), password(password)
{
    form->setupUi(this);
    connect(form->pushButton, &QPushButton::clicked, this,
            &PasswordTablePasswordItem::_slotPushButtonClicked);
    setAccessibleName(tr("Password"));

    // Square button: as wide as it is high, whatever height the row gives the cell.
    const int buttonSide = form->pushButton->sizeHint().height();
    form->pushButton->setFixedSize(buttonSide, buttonSide);

    form->label->setMinimumWidth(_textWidth_helper(password, this));

    form->pushButton->setEnabled(!password.isEmpty());
    updateDisplay();
}

PasswordTablePasswordItem::~PasswordTablePasswordItem()
{
    // The label holds its own copy while revealed; drop it before the password goes.
    form->label->clear();
    secureClearString(password);
    delete form;
}

bool PasswordTablePasswordItem::isPasswordVisible() const
{
    return isVisible;
}

QString PasswordTablePasswordItem::displayedText() const
{
    return form->label->text();
}

QString PasswordTablePasswordItem::maskFor(const QString& password, const QWidget* widget)
{
    return _passwordCharacter_helper(widget).repeated(password.size());
}

void PasswordTablePasswordItem::setPasswordVisible(bool isVisible)
{
    this->isVisible = isVisible;
    updateDisplay();
}

int PasswordTablePasswordItem::widthHintFor(const QString& password, const QWidget* widget)
{
    // Everything but the text: margins, spacing and the square button, measured once on an empty cell.
    static int chromeWidth = -1;
    if (chromeWidth < 0)
    {
        const PasswordTablePasswordItem emptyItem(QString{});
        chromeWidth = emptyItem.sizeHint().width();
    }
    return chromeWidth + _textWidth_helper(password, widget);
}

void PasswordTablePasswordItem::_slotPushButtonClicked()
{
    setPasswordVisible(!isVisible);
    emit passwordVisibilityToggled(isVisible);
}

void PasswordTablePasswordItem::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The eye is drawn in the palette's colours: a new palette needs a new eye.
    if (event->type() == QEvent::PaletteChange)
        updateDisplay();
}

void PasswordTablePasswordItem::updateDisplay()
{
    if (isVisible)
    {
        form->label->setText(password);
        // The user chose to reveal it: screen readers may read what is on screen.
        form->label->setAccessibleName(QString());
        setAccessibleDescription(tr("Password shown"));
        form->pushButton->setIcon(
            PaletteSvg::buttonIcon(QStringLiteral(":/Images/Password_Visible.svg"), palette()));
        form->pushButton->setToolTip(tr("Hide password"));
        form->pushButton->setAccessibleName(tr("Hide password"));
    }
    else
    {
        const QString mask = maskFor(password, this);
        form->label->setText(mask);
        form->label->setAccessibleName(mask);
        setAccessibleDescription(tr("Password hidden"));
        form->pushButton->setIcon(
            PaletteSvg::buttonIcon(QStringLiteral(":/Images/Password_Hidden.svg"), palette()));
        form->pushButton->setToolTip(tr("Show password"));
        form->pushButton->setAccessibleName(tr("Show password"));
    }
}
