#include "passwordtools/PasswordRatingScope.h"

bool isPasswordRatingReduced()
{
    return true;
}
