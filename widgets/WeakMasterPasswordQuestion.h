#pragma once

#include <QCoreApplication>
#include <QString>

class QWidget;

// The second thought before a weak master password protects a vault: a password rated "very weak" or
// "weak" is used only once the user said so, to a question whose default is No.
class WeakMasterPasswordQuestion
{
    Q_DECLARE_TR_FUNCTIONS(WeakMasterPasswordQuestion)

public:
    // True when password is rated above "weak", or the user chose to use it anyway.
    [[nodiscard]] static bool isAccepted(QWidget* parent, const QString& password);
    // Whether the rating of password asks the question.
    static bool isWeak(const QString& password);
};
