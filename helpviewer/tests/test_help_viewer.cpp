#include "ApplicationPalette.h"
#include "HelpBrowser.h"
#include "HelpViewerWindow.h"
#include "support/ContrastMeasure.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
#include <QTextBlock>
#include <QToolBar>
#include <QTranslator>
#include <QtTest>

#include <unistd.h>

namespace
{
const QStringList LANGUAGE_CODES = {QStringLiteral("en"), QStringLiteral("fr")};

// The pages the application asks for by name.
const QStringList APPLICATION_PAGES = {
    QStringLiteral("index.html"), QStringLiteral("getting_started_description.html"),
    QStringLiteral("import_csv_file.html"), QStringLiteral("advanced_password_generation.html"),
    QStringLiteral("master_password_selection_guide.html")};

QStringList pageNames_helper(const QString& languageCode)
{
    return QDir(HelpBrowser::pagesDirectory(languageCode)).entryList({QStringLiteral("*.html")}, QDir::Files);
}

QString pageText_helper(const QString& languageCode, const QString& pageName)
{
    QFile file(HelpBrowser::pagesDirectory(languageCode) + QLatin1Char('/') + pageName);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QStringList attributeValues_helper(const QString& html, const QString& attribute)
{
    QStringList values;
    QRegularExpression expression(QStringLiteral("\\b%1=\"([^\"]*)\"").arg(attribute));
    for (const QRegularExpressionMatch& match : expression.globalMatch(html))
        values.append(match.captured(1));
    return values;
}

// Scrolls to the first link to href and returns a point inside it, in viewport coordinates.
QPoint linkPosition_helper(QTextBrowser* browser, const QString& href)
{
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
    {
        for (QTextBlock::iterator iterator = block.begin(); !iterator.atEnd(); ++iterator)
        {
            QTextFragment fragment = iterator.fragment();
            if (!fragment.charFormat().isAnchor() || fragment.charFormat().anchorHref() != href)
                continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            return browser->cursorRect(cursor).center();
        }
    }
    return QPoint(-1, -1);
}

void clickLink_helper(QTextBrowser* browser, const QString& href)
{
    QPoint position = linkPosition_helper(browser, href);
    QVERIFY2(position.x() >= 0, qPrintable(href));
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, position);
}

// The page as the browser draws it, whole, on the background its palette gives it.
QImage renderedPage_helper(QTextBrowser* browser)
{
    QTextDocument* document = browser->document();
    QImage image(document->size().toSize(), QImage::Format_RGB32);
    image.fill(browser->palette().color(QPalette::Base));
    QPainter painter(&image);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = browser->palette();
    document->documentLayout()->draw(&painter, context);
    return image;
}

// Every paragraph, heading, list item and table cell of the page shown, measured on its own.
void checkTextContrast_helper(QTextBrowser* browser, const QString& what)
{
    const QImage page = renderedPage_helper(browser);
    QTextDocument* document = browser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
    {
        if (block.text().trimmed().isEmpty())
            continue;
        const QRect area = document->documentLayout()->blockBoundingRect(block).toAlignedRect();
        const double measured = contrast::inkContrast(page.copy(area));
        QVERIFY2(
            measured >= contrast::MINIMUM_TEXT_CONTRAST,
            qPrintable(QStringLiteral("%1, \"%2\": %3:1").arg(what, block.text()).arg(measured, 0, 'f', 2)));
    }
}

void clickToolBarAction_helper(HelpViewerWindow& window, const QString& actionName)
{
    auto* toolBar = window.findChild<QToolBar*>(QStringLiteral("toolBarNavigation"));
    auto* action = window.findChild<QAction*>(actionName);
    QVERIFY(toolBar && action);
    QTest::mouseClick(toolBar->widgetForAction(action), Qt::LeftButton);
}

class UrlRecorder : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl& url)
    {
        openedUrls.append(url);
    }

public:
    QList<QUrl> openedUrls;
};
} // namespace

class TestHelpViewer : public QObject
{
    Q_OBJECT

private slots:
    void argumentsSelectLanguageAndPage();
    void pageNamesOnTheInputSwitchPages();
    void unknownPagesShowPageNotFound();
    void linksAndToolBarNavigate();
    void keyboardFindsInThePageAndCloses();
    void everyLinkOfEveryPageResolves();
    void bothLanguagesHaveTheSamePages();
    void helpViewerProgramFollowsItsInput();
    void pagesKeepTheirContrastInLightAndDarkPalettes();
};

void TestHelpViewer::argumentsSelectLanguageAndPage()
{
    QCOMPARE(HelpViewerWindow::languageCodeFromArgument("/Help_Viewerfr"), QStringLiteral("fr"));
    QCOMPARE(HelpViewerWindow::languageCodeFromArgument("/Help_Vieweren"), QStringLiteral("en"));
    QCOMPARE(HelpViewerWindow::languageCodeFromArgument("/Help_Viewerde"), QStringLiteral("en"));
    QCOMPARE(HelpViewerWindow::languageCodeFromArgument("/Help_Viewer"), QStringLiteral("en"));
    QCOMPARE(HelpViewerWindow::languageCodeFromArgument("fr"), QStringLiteral("en"));

    HelpViewerWindow frenchWindow("fr", "index.html", STDIN_FILENO);
    frenchWindow.showPage("import_csv_file.html");
    QCOMPARE(frenchWindow.browser()->currentPageName(), QStringLiteral("import_csv_file.html"));
    QVERIFY(frenchWindow.windowTitle().startsWith("Importer un fichier CSV"));
    QVERIFY(frenchWindow.browser()->toPlainText().contains("Séparateur de champs"));

    HelpViewerWindow englishWindow("en", "index.html", STDIN_FILENO);
    englishWindow.showPage("master_password_selection_guide.html#advice");
    QCOMPARE(englishWindow.browser()->currentPageName(),
             QStringLiteral("master_password_selection_guide.html"));
    QCOMPARE(englishWindow.windowTitle(),
             QStringLiteral("Choosing the master password - Corvane Key Manager Help"));
    englishWindow.showPage("index.html");
    QCOMPARE(englishWindow.windowTitle(), QStringLiteral("Corvane Key Manager Help"));
}

void TestHelpViewer::pageNamesOnTheInputSwitchPages()
{
    int pipeEnds[2];
    QCOMPARE(::pipe(pipeEnds), 0);
    HelpViewerWindow window("en", "index.html", pipeEnds[0]);
    QSignalSpy inputClosedSpy(&window, &HelpViewerWindow::inputClosed);
    window.showPage("index.html");
    window.show();

    // A name split over two writes counts once it is complete; Windows line ends and blank lines are
    // harmless.
    QByteArray firstPart = "import_csv_file.html\r\n\nadvanced_pass";
    QCOMPARE(::write(pipeEnds[1], firstPart.constData(), firstPart.size()), firstPart.size());
    QTRY_COMPARE(window.browser()->currentPageName(), QStringLiteral("import_csv_file.html"));
    QByteArray secondPart = "word_generation.html\nsettings_and_locking.html";
    QCOMPARE(::write(pipeEnds[1], secondPart.constData(), secondPart.size()), secondPart.size());
    QTRY_COMPARE(window.browser()->currentPageName(), QStringLiteral("advanced_password_generation.html"));

    // The end of the input shows a last unterminated name and leaves the window working.
    ::close(pipeEnds[1]);
    QTRY_COMPARE(inputClosedSpy.count(), 1);
    QCOMPARE(window.browser()->currentPageName(), QStringLiteral("settings_and_locking.html"));
    QVERIFY(!window.isReadingInput());
    QVERIFY(window.isVisible());
    window.browser()->backward();
    QCOMPARE(window.browser()->currentPageName(), QStringLiteral("advanced_password_generation.html"));
    window.browser()->backward();
    QCOMPARE(window.browser()->currentPageName(), QStringLiteral("import_csv_file.html"));
    ::close(pipeEnds[0]);
}

void TestHelpViewer::unknownPagesShowPageNotFound()
{
    HelpViewerWindow window("en", "index.html", STDIN_FILENO);
    window.showPage("opening_a_device.html");
    window.showPage("no_such_page.html");
    QVERIFY(window.browser()->isCurrentPageMissing());
    QCOMPARE(window.browser()->currentPageName(), QStringLiteral("no_such_page.html"));
    QVERIFY(window.browser()->toPlainText().contains("The help page \"no_such_page.html\" does not exist."));
    QCOMPARE(window.windowTitle(), QStringLiteral("Page not found - Corvane Key Manager Help"));

    // Names are shown as text and never leave the help pages, whatever they look like.
    window.showPage("<b>bold</b>.html");
    QVERIFY(window.browser()->toPlainText().contains("\"<b>bold</b>.html\""));
    window.showPage("file:///etc/hostname");
    QVERIFY(window.browser()->isCurrentPageMissing());
    QCOMPARE(window.browser()->source().scheme(), QStringLiteral("qrc"));
    window.showPage("../fr/index.html");
    QVERIFY(window.browser()->isCurrentPageMissing());
    window.showPage("index.html/");
    QVERIFY(window.browser()->isCurrentPageMissing());

    // The missing page is an ordinary step of the history, with a way back to the contents.
    window.showPage("no_such_page.html");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    clickLink_helper(window.browser(), "qrc:/help/en/index.html");
    QTRY_COMPARE(window.browser()->currentPageName(), QStringLiteral("index.html"));
    window.browser()->backward();
    QVERIFY(window.browser()->isCurrentPageMissing());

    QTranslator translator;
    QVERIFY(translator.load(":/i18n/Help_Viewer_fr.qm"));
    QCoreApplication::installTranslator(&translator);
    HelpViewerWindow frenchWindow("fr", "index.html", STDIN_FILENO);
    frenchWindow.showPage("nulle_part.html");
    QCoreApplication::removeTranslator(&translator);
    // toPlainText() turns the no-break spaces around the name into plain ones.
    QVERIFY(
        frenchWindow.browser()->toPlainText().contains("La page d’aide « nulle_part.html » n’existe pas."));
    QCOMPARE(frenchWindow.windowTitle(), QStringLiteral("Page introuvable - Aide de Corvane Key Manager"));
}

void TestHelpViewer::linksAndToolBarNavigate()
{
    HelpViewerWindow window("en", "index.html", STDIN_FILENO);
    window.showPage("index.html");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    clickLink_helper(window.browser(), "import_csv_file.html");
    QTRY_COMPARE(window.browser()->currentPageName(), QStringLiteral("import_csv_file.html"));
    clickLink_helper(window.browser(), "managing_passwords.html#export");
    QTRY_COMPARE(window.browser()->currentPageName(), QStringLiteral("managing_passwords.html"));

    clickToolBarAction_helper(window, "actionBack");
    QCOMPARE(window.browser()->currentPageName(), QStringLiteral("import_csv_file.html"));
    clickToolBarAction_helper(window, "actionBack");
    QCOMPARE(window.browser()->currentPageName(), QStringLiteral("index.html"));
    QVERIFY(!window.findChild<QAction*>("actionBack")->isEnabled());
    clickToolBarAction_helper(window, "actionForward");
    QCOMPARE(window.browser()->currentPageName(), QStringLiteral("import_csv_file.html"));
    clickToolBarAction_helper(window, "actionHome");
    QCOMPARE(window.browser()->currentPageName(), QStringLiteral("index.html"));
    QVERIFY(!window.findChild<QAction*>("actionForward")->isEnabled());

    // Web addresses go to the desktop's browser; the help keeps its page.
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("https", &recorder, "openUrl");
    window.browser()->setHtml("<p><a href=\"https://example.org/corvane\">web</a></p>");
    clickLink_helper(window.browser(), "https://example.org/corvane");
    QDesktopServices::unsetUrlHandler("https");
    QCOMPARE(recorder.openedUrls, QList<QUrl>{QUrl("https://example.org/corvane")});
    QCOMPARE(window.browser()->currentPageName(), QStringLiteral("index.html"));
}

void TestHelpViewer::keyboardFindsInThePageAndCloses()
{
    HelpViewerWindow window("en", "index.html", STDIN_FILENO);
    window.showPage("import_csv_file.html");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Screen readers announce the program by its name, not its file name.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Corvane Key Manager Help"));
    auto* findBar = window.findChild<QToolBar*>(QStringLiteral("toolBarFind"));
    auto* findField = window.findChild<QLineEdit*>(QStringLiteral("lineEditFind"));
    auto* miss = window.findChild<QLabel*>(QStringLiteral("labelFindMiss"));
    QVERIFY(findBar && findField && miss);
    QVERIFY(findBar->isHidden());

    // Ctrl+F opens the find bar; Return finds, again and again around the page.
    window.browser()->setFocus();
    QTest::keyClick(window.browser(), Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(findBar->isVisible());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(findField));
    QTest::keyClicks(findField, "CSV");
    QTest::keyClick(findField, Qt::Key_Return);
    QCOMPARE(window.browser()->textCursor().selectedText().toUpper(), QStringLiteral("CSV"));
    const int firstMatch = window.browser()->textCursor().position();
    QTest::keyClick(findField, Qt::Key_Return);
    QVERIFY(window.browser()->textCursor().position() > firstMatch);
    QVERIFY(!miss->isVisible());

    // A miss is said beside the field, and the cursor stays where it was.
    const int positionBefore = window.browser()->textCursor().position();
    findField->selectAll();
    QTest::keyClicks(findField, "zzqqxx");
    QTest::keyClick(findField, Qt::Key_Return);
    QTRY_VERIFY(miss->isVisible());
    QCOMPARE(miss->text(), QStringLiteral("No matching text was found."));
    QCOMPARE(window.browser()->textCursor().position(), positionBefore);

    // Escape closes the find bar first, then the window; Ctrl+W closes it too.
    QTest::keyClick(findField, Qt::Key_Escape);
    QTRY_VERIFY(findBar->isHidden());
    QVERIFY(window.isVisible());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.browser()));
    QTest::keyClick(window.browser(), Qt::Key_Escape);
    QTRY_VERIFY(!window.isVisible());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.browser()->setFocus();
    QTest::keyClick(window.browser(), Qt::Key_W, Qt::ControlModifier);
    QTRY_VERIFY(!window.isVisible());
}

void TestHelpViewer::everyLinkOfEveryPageResolves()
{
    for (const QString& languageCode : LANGUAGE_CODES)
    {
        const QStringList pageNames = pageNames_helper(languageCode);
        for (const QString& pageName : APPLICATION_PAGES)
            QVERIFY2(pageNames.contains(pageName), qPrintable(languageCode + '/' + pageName));

        const QStringList indexLinks =
            attributeValues_helper(pageText_helper(languageCode, "index.html"), "href");
        HelpBrowser browser(languageCode, nullptr);
        for (const QString& pageName : pageNames)
        {
            QString context = languageCode + '/' + pageName;
            QString html = pageText_helper(languageCode, pageName);
            QVERIFY2(html.contains(QStringLiteral("<html lang=\"%1\">").arg(languageCode)),
                     qPrintable(context));
            QVERIFY2(pageName == "index.html" || indexLinks.contains(pageName), qPrintable(context));

            browser.showPage(pageName);
            QVERIFY2(!browser.isCurrentPageMissing(), qPrintable(context));
            QVERIFY2(!browser.documentTitle().isEmpty(), qPrintable(context));

            QUrl pageUrl(QStringLiteral("qrc:/help/%1/%2").arg(languageCode, pageName));
            for (const QString& href : attributeValues_helper(html, "href"))
            {
                QString linkContext = context + " -> " + href;
                QUrl target = pageUrl.resolved(QUrl(href));
                if (target.scheme() != "qrc")
                {
                    QVERIFY2(target.scheme() == "https" || target.scheme() == "http",
                             qPrintable(linkContext));
                    continue;
                }
                QVERIFY2(QFile::exists(':' + target.path()), qPrintable(linkContext));
                if (!target.path().endsWith(".html"))
                    continue;
                QCOMPARE(QFileInfo(':' + target.path()).path(), HelpBrowser::pagesDirectory(languageCode));
                if (target.hasFragment())
                {
                    QString targetHtml = pageText_helper(languageCode, target.fileName());
                    QVERIFY2(attributeValues_helper(targetHtml, "id").contains(target.fragment()),
                             qPrintable(linkContext));
                }
            }
        }
    }
}

void TestHelpViewer::bothLanguagesHaveTheSamePages()
{
    const QStringList englishPages = pageNames_helper("en");
    QVERIFY(englishPages.size() >= APPLICATION_PAGES.size());
    QCOMPARE(pageNames_helper("fr"), englishPages);
    for (const QString& pageName : englishPages)
    {
        // The same sections can be linked to in both languages, and the French page is a translation.
        QString englishHtml = pageText_helper("en", pageName);
        QString frenchHtml = pageText_helper("fr", pageName);
        QCOMPARE(attributeValues_helper(frenchHtml, "id"), attributeValues_helper(englishHtml, "id"));
        QCOMPARE(attributeValues_helper(frenchHtml, "href"), attributeValues_helper(englishHtml, "href"));
        QVERIFY2(frenchHtml != englishHtml, qPrintable(pageName));
    }
}

void TestHelpViewer::helpViewerProgramFollowsItsInput()
{
    QProcess viewer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HELP_VIEWER_REPORT_PAGES", "1");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    viewer.setProcessEnvironment(environment);
    viewer.start(HELP_VIEWER_PATH, {"/Help_Viewerfr", "index.html", "import_csv_file.html"});
    QVERIFY(viewer.waitForStarted());

    QString output;
    auto hasLine = [&](const QString& line)
    {
        output += QString::fromUtf8(viewer.readAllStandardOutput());
        return output.split('\n').contains(line);
    };
    QTRY_VERIFY_WITH_TIMEOUT(
        hasLine(
            "showing\timport_csv_file.html\tfound\tImporter un fichier CSV - Aide de Corvane Key Manager"),
        30000);
    viewer.write("master_password_selection_guide.html\n");
    QTRY_VERIFY(hasLine("showing\tmaster_password_selection_guide.html\tfound\tChoisir le mot de passe "
                        "maître - Aide de Corvane Key Manager"));
    viewer.write("nulle_part.html\n");
    QTRY_VERIFY(hasLine("showing\tnulle_part.html\tmissing\tPage introuvable - Aide de Corvane Key Manager"));

    viewer.closeWriteChannel();
    QTRY_VERIFY(hasLine("input closed"));
    QCOMPARE(viewer.state(), QProcess::Running);
    viewer.terminate();
    QVERIFY(viewer.waitForFinished());
}

void TestHelpViewer::pagesKeepTheirContrastInLightAndDarkPalettes()
{
    HelpViewerWindow window("en", "index.html", STDIN_FILENO);
    // The viewer wears the application's icon.
    QVERIFY(!window.windowIcon().pixmap(32, 32).isNull());
    window.resize(960, 720);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    HelpBrowser* browser = window.browser();
    window.showPage("index.html");

    const QList<QPair<QPalette, bool>> palettes = {{ApplicationPalette::darkPalette(), true},
                                                   {QApplication::style()->standardPalette(), false}};
    for (const auto& [palette, isDark] : palettes)
    {
        // The page on screen follows a palette change by itself.
        QApplication::setPalette(palette);
        QTRY_COMPARE(browser->isPaletteDark(), isDark);
        checkTextContrast_helper(browser, QStringLiteral("index.html after the palette change"));
        for (const QString& pageName : pageNames_helper("en"))
        {
            window.showPage(pageName);
            checkTextContrast_helper(browser, pageName);
            if (QTest::currentTestFailed())
                return;
        }
    }
}

QTEST_MAIN(TestHelpViewer)
#include "test_help_viewer.moc"
