#include "SensitiveClipboardHints.h"

#include "SensitiveClipboard.h"

#include <QMimeData>

void addSensitiveClipboardHints(QMimeData* mimeData)
{
    mimeData->setData(QString::fromLatin1(SENSITIVE_CLIPBOARD_HINT_MIME_TYPE), QByteArrayLiteral("secret"));
}
