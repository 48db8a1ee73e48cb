#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>
#include <QtTest>

// The news and legal documents are pieces of one page: the license and news view puts them one after the
// other into a single HTML body. These tests read them from the compiled-in resources and check that they
// fit that use.
namespace
{
const QStringList LANGUAGE_CODES = {QStringLiteral("en"), QStringLiteral("fr")};

QString resourceText_helper(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QStringList languageDocumentPaths_helper(const QString& languageCode)
{
    return {":/News/News_" + languageCode + ".html",
            ":/Licenses/End_User_License_Agreement_" + languageCode + ".html",
            ":/Licenses/Terms_Of_Service_" + languageCode + ".html"};
}

// The Windows build compiles in the Windows news under the same name; the build makes them here too.
QString windowsNewsPath_helper(const QString& languageCode)
{
    return QStringLiteral(CORVANE_BINARY_DIR "/news/Windows/News_") + languageCode + ".html";
}

// The same assembly as the license and news view: news, then each legal text after a horizontal rule.
QString assembledPage_helper(const QString& languageCode)
{
    QString html =
        "<!DOCTYPE html><html lang=\"en\"><head><title>Licenses</title><meta http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=UTF-8\"></head><body>";
    QStringList paths = languageDocumentPaths_helper(languageCode);
    paths.append(":/Licenses/LGPL_V3.html");
    for (int index = 0; index < paths.size(); index++)
        html += (index > 0 ? "<hr />" : "") + resourceText_helper(paths.at(index));
    return html + "</body></html>";
}
} // namespace

class TestLicenseDocuments : public QObject
{
    Q_OBJECT

private slots:
    void documentsAreFragmentsOfOnePage();
    void lgplTextIsShownVerbatim();
    void assembledPageShowsEveryDocument();
};

void TestLicenseDocuments::documentsAreFragmentsOfOnePage()
{
    QRegularExpression documentLevelTag("<\\s*/?\\s*(html|head|body|title|meta|!DOCTYPE)\\b",
                                        QRegularExpression::CaseInsensitiveOption);
    for (const QString& languageCode : LANGUAGE_CODES)
    {
        QStringList paths = languageDocumentPaths_helper(languageCode);
        paths.append(windowsNewsPath_helper(languageCode));
        for (const QString& path : paths)
        {
            QFile file(path);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
            QByteArray bytes = file.readAll();
            QString text = QString::fromUtf8(bytes);
            QCOMPARE(text.toUtf8(), bytes); // valid UTF-8
            QVERIFY2(text.trimmed().startsWith("<h1>"), qPrintable(path));
            QVERIFY2(!documentLevelTag.match(text).hasMatch(), qPrintable(path));
        }
    }
    // Spanish is not offered on this platform.
    QVERIFY(!QFile::exists(":/Licenses/End_User_License_Agreement_es.html"));
    // Each build shows the news of its own system only.
    QVERIFY(resourceText_helper(":/News/News_en.html").contains("Linux support"));
    QVERIFY(!resourceText_helper(":/News/News_en.html").contains("Privacy on Windows"));
    QVERIFY(resourceText_helper(windowsNewsPath_helper("en")).contains("Privacy on Windows"));
}

void TestLicenseDocuments::lgplTextIsShownVerbatim()
{
    QString html = resourceText_helper(":/Licenses/LGPL_V3.html");
    QVERIFY(html.startsWith("<h1>"));
    QCOMPARE(html.count("<pre>"), 1);
    QVERIFY(html.contains("Copyright (C) 2007 Free Software Foundation, Inc. &lt;https://fsf.org/&gt;"));

    QTextDocument document;
    document.setHtml(html);
    QString text = document.toPlainText();
    QVERIFY(text.contains("GNU LESSER GENERAL PUBLIC LICENSE"));
    QVERIFY(text.contains("Version 3, 29 June 2007"));
    QVERIFY(text.contains("<https://fsf.org/>"));
    // The text keeps its own line breaks instead of being reflowed.
    QVERIFY(text.contains("\n  0. Additional Definitions."));
}

void TestLicenseDocuments::assembledPageShowsEveryDocument()
{
    const QStringList englishHeadings = {"What's new in Corvane Key Manager 2.3",
                                         "End-User License Agreement", "Terms of Service"};
    const QStringList frenchHeadings = {"Nouveautés de Corvane Key Manager 2.3",
                                        "Contrat de licence utilisateur final", "Conditions d’utilisation"};
    for (const QString& languageCode : LANGUAGE_CODES)
    {
        QTextDocument document;
        document.setHtml(assembledPage_helper(languageCode));
        QCOMPARE(document.metaInformation(QTextDocument::DocumentTitle), QStringLiteral("Licenses"));
        QString text = document.toPlainText();
        qsizetype previousPosition = -1;
        for (const QString& heading : languageCode == "fr" ? frenchHeadings : englishHeadings)
        {
            qsizetype position = text.indexOf(heading);
            QVERIFY2(position > previousPosition, qPrintable(languageCode + ": " + heading));
            previousPosition = position;
        }
        QVERIFY(text.indexOf("GNU LESSER GENERAL PUBLIC LICENSE") > previousPosition);
    }
}

QTEST_MAIN(TestLicenseDocuments)
#include "test_license_documents.moc"
