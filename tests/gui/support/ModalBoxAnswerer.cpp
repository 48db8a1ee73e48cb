#include "ModalBoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

ModalBoxAnswerer::ModalBoxAnswerer(QMessageBox::StandardButton answer) : answer(answer)
{
    pollTimer.setInterval(0);
    connect(&pollTimer, &QTimer::timeout, this, &ModalBoxAnswerer::checkForModalBox);
    pollTimer.start();
}

void ModalBoxAnswerer::interruptFirstBox(std::function<void()> interruption)
{
    firstBoxInterruption = std::move(interruption);
}

int ModalBoxAnswerer::boxSeenCount() const
{
    return seenCount;
}

bool ModalBoxAnswerer::isBoxSeen() const
{
    return boxSeen;
}

QString ModalBoxAnswerer::title() const
{
    return boxTitle;
}

QString ModalBoxAnswerer::text() const
{
    return boxText;
}

QMessageBox::Icon ModalBoxAnswerer::icon() const
{
    return boxIcon;
}

QImage ModalBoxAnswerer::iconImage() const
{
    return boxIconImage;
}

QStringList ModalBoxAnswerer::buttonTexts() const
{
    return boxButtonTexts;
}

QString ModalBoxAnswerer::defaultButtonText() const
{
    return boxDefaultButtonText;
}

void ModalBoxAnswerer::checkForModalBox()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    boxSeen = true;
    seenCount++;
    boxTitle = box->windowTitle();
    boxText = box->text();
    boxIcon = box->icon();
    boxIconImage = box->iconPixmap().toImage();
    const auto withoutMnemonic = [](QString text) { return text.remove(QLatin1Char('&')); };
    boxButtonTexts.clear();
    for (QAbstractButton* button : box->buttons())
        boxButtonTexts.append(withoutMnemonic(button->text()));
    if (box->defaultButton())
        boxDefaultButtonText = withoutMnemonic(box->defaultButton()->text());
    if (seenCount == 1 && firstBoxInterruption)
    {
        // Closed by the interruption (hidden at once); the poll goes on for the box asked again.
        firstBoxInterruption();
        return;
    }
    pollTimer.stop();
    if (QAbstractButton* button = box->button(answer))
        button->click();
    else
        box->reject();
}
