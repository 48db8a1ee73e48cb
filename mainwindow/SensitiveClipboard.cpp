#include "SensitiveClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void copySensitiveTextToClipboard(const QString& text)
{
    auto* mimeData = new QMimeData;
    mimeData->setText(text);
    mimeData->setData(QString::fromLatin1(SENSITIVE_CLIPBOARD_HINT_MIME_TYPE), QByteArrayLiteral("secret"));
    // The clipboard takes ownership of the MIME data.
    QGuiApplication::clipboard()->setMimeData(mimeData, QClipboard::Clipboard);
}

void clearSystemClipboard()
{
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}
