#include "WeakMasterPasswordQuestion.h"

#include "passwordtools/PasswordStrength.h"

#include <QMessageBox>

namespace
{
// The ratings "very weak" (0) and "weak" (1).
constexpr int HIGHEST_WEAK_RATING = 1;
} // namespace

bool WeakMasterPasswordQuestion::isWeak(const QString& password)
{
    return getPasswordStrength(password, nullptr) <= HIGHEST_WEAK_RATING;
}

bool WeakMasterPasswordQuestion::isAccepted(QWidget* parent, const QString& password)
{
    if (!isWeak(password))
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::warning(
        parent, tr("Weak master password"), tr("This master password is weak. Use it anyway?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}
