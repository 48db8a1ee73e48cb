#include "HelpBrowser.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>

namespace
{
const QString STYLE_SHEET_PATH = QStringLiteral("/help/style.css");
const QString DARK_STYLE_SHEET_FILE = QStringLiteral(":/help/style-dark.css");
} // namespace

HelpBrowser::HelpBrowser(const QString& languageCode, QWidget* parent)
    : QTextBrowser(parent), _languageCode(languageCode)
{
    // Web links leave the help: the desktop's browser shows them, this window keeps the current page.
    setOpenExternalLinks(true);
    document()->setDocumentMargin(14);
    // source() only names the new page once the history has been updated, after sourceChanged: keep our
    // own record so that receivers of sourceChanged (connected after this one) already see the new page.
    connect(this, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) { _currentUrl = url; });
}

QString HelpBrowser::pagesDirectory(const QString& languageCode)
{
    return QStringLiteral(":/help/") + languageCode;
}

void HelpBrowser::showPage(const QString& pageName)
{
    setSource(_pageUrl(pageName), QTextDocument::HtmlResource);
}

QString HelpBrowser::currentPageName() const
{
    return _pageNameFromUrl(_currentUrl);
}

bool HelpBrowser::isCurrentPageMissing() const
{
    return !_currentUrl.isEmpty() && !_isExistingPage(_currentUrl);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    // Pages always arrive here as absolute addresses, whether asked for by name or through a link.
    if (type == QTextDocument::HtmlResource && name.scheme() == QLatin1String("qrc") &&
        !_isExistingPage(name))
        return _pageNotFoundHtml(_pageNameFromUrl(name));
    if (type == QTextDocument::StyleSheetResource && name.path() == STYLE_SHEET_PATH && isPaletteDark())
        return _darkStyleSheet(name);
    return QTextBrowser::loadResource(type, name);
}

bool HelpBrowser::isPaletteDark() const
{
    return palette().color(QPalette::Base).lightness() < 128;
}

void HelpBrowser::changeEvent(QEvent* event)
{
    QTextBrowser::changeEvent(event);
    // The style sheet was chosen for the previous palette: load the page again with the right one.
    if (event->type() == QEvent::PaletteChange && !_currentUrl.isEmpty())
        reload();
}

QString HelpBrowser::_darkStyleSheet(const QUrl& name)
{
    QString styleSheet = QTextBrowser::loadResource(QTextDocument::StyleSheetResource, name).toString();
    QFile darkRules(DARK_STYLE_SHEET_FILE);
    if (darkRules.open(QIODevice::ReadOnly))
        styleSheet += QLatin1Char('\n') + QString::fromUtf8(darkRules.readAll());
    return styleSheet;
}

QUrl HelpBrowser::_pageUrl(const QString& pageName) const
{
    // Built piece by piece rather than parsed, so that a name such as "file:/etc/passwd" or "http://..."
    // stays a (missing) page name of the help instead of becoming another address.
    QString fileName = pageName.section(QLatin1Char('#'), 0, 0);
    QString fragment = pageName.section(QLatin1Char('#'), 1);
    QUrl url;
    url.setScheme(QStringLiteral("qrc"));
    url.setPath(pagesDirectory(_languageCode).mid(1) + QLatin1Char('/') + fileName, QUrl::DecodedMode);
    if (!fragment.isEmpty())
        url.setFragment(fragment, QUrl::DecodedMode);
    return url;
}

QString HelpBrowser::_pageNameFromUrl(const QUrl& url) const
{
    QString directoryPath = pagesDirectory(_languageCode).mid(1) + QLatin1Char('/');
    QString path = url.path(QUrl::FullyDecoded);
    return path.startsWith(directoryPath) ? path.mid(directoryPath.size()) : path;
}

bool HelpBrowser::_isExistingPage(const QUrl& url) const
{
    QFileInfo page(QLatin1Char(':') + url.path(QUrl::FullyDecoded));
    return page.isFile() && page.path() == pagesDirectory(_languageCode);
}

QString HelpBrowser::_pageNotFoundHtml(const QString& pageName) const
{
    QString title = tr("Page not found");
    return QStringLiteral("<!DOCTYPE html><html><head><title>%1</title>"
                          "<link rel=\"stylesheet\" type=\"text/css\" "
                          "href=\"qrc:/help/style.css\"></head><body><h1>%1</h1><p>%2</p>"
                          "<p><a href=\"%3\">%4</a></p></body></html>")
        .arg(title.toHtmlEscaped(), tr("The help page \"%1\" does not exist.").arg(pageName).toHtmlEscaped(),
             _pageUrl(QStringLiteral("index.html")).toString(QUrl::FullyEncoded),
             tr("Go to the table of contents").toHtmlEscaped());
}
