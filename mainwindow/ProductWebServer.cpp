#include "ProductWebServer.h"

#include <QByteArray>
#include <QtGlobal>

namespace
{
// Plain http only to this computer (a test server): anything on the network could be replaced on the way.
bool _isLoopbackHost_helper(const QString& host)
{
    return host == QLatin1String("127.0.0.1") || host == QLatin1String("::1") ||
           host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

bool _isUsableServerUrl_helper(const QUrl& url)
{
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("https") ||
            (url.scheme() == QLatin1String("http") && _isLoopbackHost_helper(url.host()))) &&
           !url.hasQuery() && !url.hasFragment();
}
} // namespace

QUrl productWebServerUrl()
{
    // Read on every use: the address is looked up rarely, and tests change it between cases.
    const QString overridingText = qEnvironmentVariable(PRODUCT_WEB_SERVER_URL_VARIABLE).trimmed();
    QUrl url(overridingText, QUrl::StrictMode);
    if (overridingText.isEmpty() || !_isUsableServerUrl_helper(url))
        url = QUrl(QStringLiteral(PRODUCT_WEB_SERVER_DEFAULT_URL));

    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path);
    return url;
}

QUrl productWebServerPageUrl(const QString& path)
{
    QUrl url = productWebServerUrl();
    url.setPath(url.path() + path);
    return url;
}
