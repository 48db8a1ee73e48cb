#pragma once

#include <QImage>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the next modal QMessageBox from inside its own event loop: records what it showed and presses
// the given button, nothing else. The test checks the record afterwards. Stops looking when destroyed,
// so a box that never came cannot be answered by a later test case.
class ModalBoxAnswerer : public QObject
{
public:
    explicit ModalBoxAnswerer(QMessageBox::StandardButton answer);

    // The first box is not answered: interruption runs instead (a lock, which closes it), and the box asked
    // again afterwards gets the answer.
    void interruptFirstBox(std::function<void()> interruption);

    bool isBoxSeen() const;
    // How many boxes were seen; the record below is the last one's.
    int boxSeenCount() const;
    QString title() const;
    QString text() const;
    QMessageBox::Icon icon() const;
    QImage iconImage() const;
    // The box's button texts in its order, mnemonics left out; the default button's text.
    QStringList buttonTexts() const;
    QString defaultButtonText() const;

private:
    void checkForModalBox();

    QMessageBox::StandardButton answer;
    QTimer pollTimer;
    std::function<void()> firstBoxInterruption;
    int seenCount = 0;
    bool boxSeen = false;
    QString boxTitle;
    QString boxText;
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    QImage boxIconImage;
    QStringList boxButtonTexts;
    QString boxDefaultButtonText;
};
