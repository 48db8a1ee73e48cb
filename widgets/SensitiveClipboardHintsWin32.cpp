#include "SensitiveClipboardHints.h"

#include <QMimeData>

#include <cstdint>

namespace
{
// Qt's Windows clipboard puts data under a "application/x-qt-windows-mime;value=..." type into the
// registered clipboard format of that name, as it is.
QString _windowsFormat_helper(const char* formatName)
{
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QLatin1String(formatName));
}

QByteArray _doubleWord_helper(uint32_t value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof(value));
}
} // namespace

void addSensitiveClipboardHints(QMimeData* mimeData)
{
    // Its presence alone tells clipboard monitors to leave the data alone.
    mimeData->setData(_windowsFormat_helper("ExcludeClipboardContentFromMonitorProcessing"),
                      QByteArray(1, '\0'));
    // A double word of zero: not into the clipboard history (Windows+V), not to other devices.
    mimeData->setData(_windowsFormat_helper("CanIncludeInClipboardHistory"), _doubleWord_helper(0));
    mimeData->setData(_windowsFormat_helper("CanUploadToCloudClipboard"), _doubleWord_helper(0));
}
