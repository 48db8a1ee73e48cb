#include "passwordtools/PasswordStrength.h"

#include <QObject>

#include <cmath>

int getPasswordStrength(const QString& password, QString* strengthText)
{
    bool hasLowercase = false;
    bool hasUppercase = false;
    bool hasDigit = false;
    bool hasOther = false;
    for (QChar character : password)
    {
        const char16_t code = character.unicode();
        if (code >= u'a' && code <= u'z')
            hasLowercase = true;
        else if (code >= u'A' && code <= u'Z')
            hasUppercase = true;
        else if (code >= u'0' && code <= u'9')
            hasDigit = true;
        else
            hasOther = true;
    }

    const int pool =
        (hasLowercase ? 26 : 0) + (hasUppercase ? 26 : 0) + (hasDigit ? 10 : 0) + (hasOther ? 28 : 0);
    int bits = 0;
    if (pool > 0)
        bits = static_cast<int>(std::log(static_cast<double>(pool)) / 0.6931471805599453 * password.size());

    int level;
    if (bits <= 40)
        level = 0;
    else if (bits <= 60)
        level = 1;
    else if (bits <= 70)
        level = 2;
    else if (bits <= 90)
        level = 3;
    else
        level = 4;

    if (strengthText)
    {
        switch (level)
        {
        case 0:
            *strengthText = QObject::tr("very weak");
            break;
        case 1:
            *strengthText = QObject::tr("weak");
            break;
        case 2:
            *strengthText = QObject::tr("average");
            break;
        case 3:
            *strengthText = QObject::tr("good");
            break;
        default:
            *strengthText = QObject::tr("excellent");
            break;
        }
    }
    return level;
}
