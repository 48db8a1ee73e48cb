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
// Widest of the clear and the masked password in the font of widget (the table), whose cells inherit it;
// the platform may give tables another font than the application's.
int _textWidth_helper(const QString& password, const QWidget* widget)
{
    // Whole strings are measured: the mask character may come from a fallback font, whose width a lone
    // character's advance does not give.
    const QFontMetrics metrics(widget ? widget->font() : QApplication::font());
    const int clearWidth = metrics.horizontalAdvance(password);
    const int maskWidth =
        metrics.horizontalAdvance(_passwordCharacter_helper(widget).repeated(password.size()));
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

    // The label takes what the button leaves; the column is sized so that it usually fits in full.
    form->label->setSizePolicy(QSizePolicy::Ignored, form->label->sizePolicy().verticalPolicy());
    form->label->installEventFilter(this);

    form->pushButton->setEnabled(!password.isEmpty());
    updateDisplay();
}

PasswordTablePasswordItem::~PasswordTablePasswordItem()
{
    // The label holds its own copy while revealed; drop it before the password goes.
    form->label->clear();
    secureClearString(displayedFullText);
    secureClearString(password);
    delete form;
}

bool PasswordTablePasswordItem::isPasswordVisible() const
{
    return isVisible;
}

QString PasswordTablePasswordItem::displayedText() const
{
    return displayedFullText;
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
    // The cell widget is one grid line narrower than its column.
    constexpr int GRID_LINE_WIDTH = 1;
    return chromeWidth + GRID_LINE_WIDTH + _textWidth_helper(password, widget);
}

void PasswordTablePasswordItem::_slotPushButtonClicked()
{
    setPasswordVisible(!isVisible);
    Q_EMIT passwordVisibilityToggled(isVisible);
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
        displayedFullText = password;
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
        secureClearString(displayedFullText);
        displayedFullText = mask;
        form->label->setAccessibleName(mask);
        setAccessibleDescription(tr("Password hidden"));
        form->pushButton->setIcon(
            PaletteSvg::buttonIcon(QStringLiteral(":/Images/Password_Hidden.svg"), palette()));
        form->pushButton->setToolTip(tr("Show password"));
        form->pushButton->setAccessibleName(tr("Show password"));
    }
    updateElidedText();
}

bool PasswordTablePasswordItem::eventFilter(QObject* watched, QEvent* event)
{
    // The label gets its width from the layout after the cell was resized: elide when the label is.
    if (watched == form->label && event->type() == QEvent::Resize)
        updateElidedText();
    return QWidget::eventFilter(watched, event);
}

void PasswordTablePasswordItem::updateElidedText()
{
    // Until the layout has placed the label, its width is meaningless: it is elided again once resized.
    const int width = form->label->width();
    form->label->setText(form->label->fontMetrics().elidedText(displayedFullText, Qt::ElideRight, width));
}
