#pragma once

#include <QString>

// Rates a password from 0 ("very weak") to 4 ("excellent"); strengthText, when not null, receives the
// translated label.
int getPasswordStrength(const QString& password, QString* strengthText);
