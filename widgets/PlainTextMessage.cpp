#include "PlainTextMessage.h"

#include <QTextDocument>

QString plainTextMessage(const QString& message)
{
    return Qt::mightBeRichText(message) ? Qt::convertFromPlainText(message) : message;
}
