#pragma once

#include <QImage>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// Answers the next modal QMessageBox from inside its own event loop: records what it showed and presses
// the given button, nothing else. The test checks the record afterwards. Stops looking when destroyed,
// so a box that never came cannot be answered by a later test case.
class ModalBoxAnswerer : public QObject
{
public:
    explicit ModalBoxAnswerer(QMessageBox::StandardButton answer);

    bool isBoxSeen() const;
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
    bool boxSeen = false;
    QString boxTitle;
    QString boxText;
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    QImage boxIconImage;
    QStringList boxButtonTexts;
    QString boxDefaultButtonText;
};
