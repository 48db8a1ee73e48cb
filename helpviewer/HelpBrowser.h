#pragma once

#include <QTextBrowser>
#include <QUrl>

// Shows the compiled-in help pages of one language. Page names are plain file names ("index.html"),
// optionally followed by "#anchor"; they are always looked up among the pages of that language, so a
// name can never reach anything outside the help. A name that matches no page yields a generated
// "page not found" page naming it, never a blank view.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    HelpBrowser(const QString& languageCode, QWidget* parent);

    // Resource directory holding the pages of a language, for example ":/help/en".
    static QString pagesDirectory(const QString& languageCode);

    void showPage(const QString& pageName);
    QString currentPageName() const;
    bool isCurrentPageMissing() const;

    QVariant loadResource(int type, const QUrl& name) override;
    // A dark palette gets the pages' dark style: light text on its dark background.
    bool isPaletteDark() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    QString _darkStyleSheet(const QUrl& name);
    QUrl _pageUrl(const QString& pageName) const;
    QString _pageNameFromUrl(const QUrl& url) const;
    bool _isExistingPage(const QUrl& url) const;
    QString _pageNotFoundHtml(const QString& pageName) const;

    QString _languageCode;
    QUrl _currentUrl;
};
