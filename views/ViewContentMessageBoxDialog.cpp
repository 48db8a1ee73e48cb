#include "ViewContentMessageBoxDialog.h"

#include "ViewHost.h"
#include "ui_ViewContentMessageBoxDialog.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QScreen>
#include <QSvgRenderer>

namespace
{
// Messages at least this wide wrap; shorter ones keep their own line breaks.
constexpr qreal WRAPPING_WIDTH_PIXELS = 1024.0;
// Room the page and the window take around the text: the icon, margins and the window frame.
constexpr int AROUND_TEXT_PIXELS = 260;
// A run of characters without space is cut after this many characters when it has no separator.
constexpr int LONGEST_UNBREAKABLE_RUN = 24;
const QChar ZERO_WIDTH_SPACE(0x200B);

// Word wrapping breaks only between words: a path or a name wider than the text would still run off the
// screen. Invisible break opportunities go after its separators, and into long runs without any.
QString _breakableText_helper(const QString& text, const QFontMetricsF& metrics, qreal maximumWidth)
{
    QString result;
    result.reserve(text.size() + text.size() / 8);
    const QStringList words = text.split(QLatin1Char(' '));
    for (int wordIndex = 0; wordIndex < words.size(); wordIndex++)
    {
        const QString& word = words.at(wordIndex);
        if (wordIndex > 0)
            result += QLatin1Char(' ');
        if (metrics.horizontalAdvance(word) <= maximumWidth)
        {
            result += word;
            continue;
        }
        const QString separators = QStringLiteral("/\\._-");
        int runLength = 0;
        for (const QChar character : word)
        {
            result += character;
            runLength++;
            const bool isSeparator = separators.contains(character);
            if (isSeparator || runLength >= LONGEST_UNBREAKABLE_RUN)
            {
                result += ZERO_WIDTH_SPACE;
                runLength = 0;
            }
        }
    }
    return result;
}

// The window the page shows in (the page itself when shown alone).
QWidget* _hostWindow_helper(const QWidget* page)
{
    return page->window();
}

QString _iconFileName_helper(int icon)
{
    switch (icon)
    {
    case ViewContentMessageBoxDialog::ICON_SUCCESS:
        return QStringLiteral(":/Images/Success.svg");
    case ViewContentMessageBoxDialog::ICON_ERROR:
        return QStringLiteral(":/Images/Error.svg");
    case ViewContentMessageBoxDialog::ICON_INFORMATION:
        return QStringLiteral(":/Images/Information.svg");
    case ViewContentMessageBoxDialog::ICON_QUESTION:
        return QStringLiteral(":/Images/Question.svg");
    default:
        return QString();
    }
}

// Screen readers announce the icon by what it means, before the message itself.
QString _iconAccessibleName_helper(int icon)
{
    switch (icon)
    {
    case ViewContentMessageBoxDialog::ICON_SUCCESS:
        return ViewContentMessageBoxDialog::tr("Success");
    case ViewContentMessageBoxDialog::ICON_ERROR:
        return ViewContentMessageBoxDialog::tr("Error");
    case ViewContentMessageBoxDialog::ICON_INFORMATION:
        return ViewContentMessageBoxDialog::tr("Information");
    case ViewContentMessageBoxDialog::ICON_QUESTION:
        return ViewContentMessageBoxDialog::tr("Question");
    default:
        return QString();
    }
}
} // namespace

ViewContentMessageBoxDialog::ViewContentMessageBoxDialog(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentMessageBoxDialog)
{
    form->setupUi(this);

    connect(form->pushButtonOk, &QPushButton::clicked, this,
            &ViewContentMessageBoxDialog::_slotPushButtonOkClicked);
    connect(form->pushButtonYes, &QPushButton::clicked, this,
            &ViewContentMessageBoxDialog::_slotPushButtonYesClicked);
    connect(form->pushButtonNo, &QPushButton::clicked, this,
            &ViewContentMessageBoxDialog::_slotPushButtonNoClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentMessageBoxDialog::_slotPushButtonCancelClicked);
}

ViewContentMessageBoxDialog::~ViewContentMessageBoxDialog()
{
    delete form;
}

void ViewContentMessageBoxDialog::setContent(int icon, const QString& text, int buttons, int defaultButton)
{
    wasWindowMaximized = _hostWindow_helper(this)->isMaximized();
    setWrappedText(text);

    const struct
    {
        Button button;
        QPushButton* pushButton;
    } buttonWidgets[] = {{BUTTON_OK, form->pushButtonOk},
                         {BUTTON_YES, form->pushButtonYes},
                         {BUTTON_NO, form->pushButtonNo},
                         {BUTTON_CANCEL, form->pushButtonCancel}};

    for (const auto& entry : buttonWidgets)
        entry.pushButton->setVisible((buttons & entry.button) != 0);

    for (const auto& entry : buttonWidgets)
    {
        if (defaultButton != entry.button)
            continue;
        // Only one button answers Return: the one the caller considers the safe choice.
        for (const auto& other : buttonWidgets)
            other.pushButton->setDefault(other.pushButton == entry.pushButton);
        entry.pushButton->setFocus();
    }

    // Escape answers as a message box does: Cancel, else No, else the only button there is.
    QPushButton* cancelButton = nullptr;
    if (buttons & BUTTON_CANCEL)
        cancelButton = form->pushButtonCancel;
    else if (buttons & BUTTON_NO)
        cancelButton = form->pushButtonNo;
    else if (buttons == BUTTON_OK)
        cancelButton = form->pushButtonOk;
    setCancelButton(cancelButton);

    const QString iconFileName = _iconFileName_helper(icon);
    if (iconFileName.isEmpty())
        form->svgWidgetIcon->load(QByteArray()); // no picture, and no warning about a missing file
    else
        form->svgWidgetIcon->load(iconFileName);
    form->svgWidgetIcon->renderer()->setAspectRatioMode(Qt::KeepAspectRatio);
    form->svgWidgetIcon->setAccessibleName(_iconAccessibleName_helper(icon));
}

void ViewContentMessageBoxDialog::setWrappedText(const QString& text)
{
    const QFontMetricsF metrics(QApplication::font());
    const qreal textWidth = metrics.boundingRect(QRectF(), Qt::AlignLeft, text).width();
    if (textWidth < WRAPPING_WIDTH_PIXELS)
    {
        form->labelText->setMinimumWidth(0);
        form->labelText->setWordWrap(false);
        form->labelText->setText(text);
        return;
    }
    const int width = wrappingWidth();
    form->labelText->setMinimumWidth(width);
    form->labelText->setWordWrap(true);
    // Markup is left alone: breaks inside it would show as text.
    form->labelText->setText(Qt::mightBeRichText(text) ? text : _breakableText_helper(text, metrics, width));
}

int ViewContentMessageBoxDialog::wrappingWidth() const
{
    const QWidget* window = _hostWindow_helper(this);
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const int availableWidth = screen ? screen->availableGeometry().width() - AROUND_TEXT_PIXELS
                                      : static_cast<int>(WRAPPING_WIDTH_PIXELS);
    return qBound(200, availableWidth, static_cast<int>(WRAPPING_WIDTH_PIXELS));
}

void ViewContentMessageBoxDialog::restoreMaximizedWindow()
{
    // The next page may be much narrower than the message: the window must not keep the message's width.
    form->labelText->setMinimumWidth(0);
    QWidget* window = _hostWindow_helper(this);
    if (wasWindowMaximized && !window->isMaximized())
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void ViewContentMessageBoxDialog::activate() {}

void ViewContentMessageBoxDialog::_slotPushButtonOkClicked()
{
    exitWithButton(BUTTON_OK);
}

void ViewContentMessageBoxDialog::_slotPushButtonYesClicked()
{
    exitWithButton(BUTTON_YES);
}

void ViewContentMessageBoxDialog::_slotPushButtonNoClicked()
{
    exitWithButton(BUTTON_NO);
}

void ViewContentMessageBoxDialog::_slotPushButtonCancelClicked()
{
    exitWithButton(BUTTON_CANCEL);
}

void ViewContentMessageBoxDialog::exitWithButton(Button button)
{
    // The receiver runs with the previous page already current, so it can push the next one at once.
    viewHost()->removeView(this);
    restoreMaximizedWindow();
    Q_EMIT dialogExited(button);
}
