#include "views/ViewContentStartMenu.h"
#include "widgets/HelpLauncher.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// A stand-in viewer: logs its arguments when it starts, then every line it receives, and leaves its
// process id so the test can close it like a user would.
static const char* const FAKE_VIEWER_SCRIPT = R"(#!/bin/sh
dir=$(dirname "$0")
echo $$ > "$dir/pid"
echo "start $*" >> "$dir/log"
while IFS= read -r line; do
    echo "page $line" >> "$dir/log"
done
)";

class TestHelpLauncher : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir directory;

    QStringList logLines() const
    {
        QFile file(directory.filePath("log"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    qint64 viewerProcessId() const
    {
        QFile file(directory.filePath("pid"));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        return file.readAll().trimmed().toLongLong();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(directory.isValid());
        const QString programPath = directory.filePath("Help_Viewer");
        QFile program(programPath);
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write(FAKE_VIEWER_SCRIPT);
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setHelpViewerProgramPath(programPath);
    }

    void defaultProgramLiesBesideTheApplication()
    {
        setHelpViewerProgramPath(QString());
        QCOMPARE(helpViewerProgramPath(), QCoreApplication::applicationDirPath() + "/Help_Viewer");
        setHelpViewerProgramPath(directory.filePath("Help_Viewer"));
    }

    void oneViewerServesEveryRequestAndRestartsAfterClosing()
    {
        showHelpPage("index.html");
        QTRY_COMPARE(logLines(), QStringList({"start /Help_Vieweren index.html index.html"}));
        QVERIFY(isHelpViewerRunning());

        showHelpPage("import_csv_file.html");
        QTRY_COMPARE(logLines().size(), 2);
        QCOMPARE(logLines().at(1), QStringLiteral("page import_csv_file.html"));

        // The user closes the viewer: the next request starts a new one.
        QTRY_VERIFY(viewerProcessId() > 0);
        QCOMPARE(::kill(static_cast<pid_t>(viewerProcessId()), SIGTERM), 0);
        QTRY_VERIFY(!isHelpViewerRunning());

        showHelpPage("master_password_selection_guide.html");
        QTRY_COMPARE(logLines().size(), 3);
        QCOMPARE(logLines().at(2),
                 QStringLiteral("start /Help_Vieweren index.html master_password_selection_guide.html"));
        QVERIFY(isHelpViewerRunning());
    }

    void startMenuLinkAsksForTheGettingStartedPage()
    {
        QWidget mainWindowStandIn;
        ViewContentStartMenu startMenu(&mainWindowStandIn);
        auto* label = startMenu.findChild<QLabel*>("labelGettingStarted");
        QVERIFY(label);
        const QRegularExpressionMatch link = QRegularExpression("href=\"([^\"]+)\"").match(label->text());
        QVERIFY(link.hasMatch());
        QCOMPARE(link.captured(1), QStringLiteral("getting_started_description.html"));

        const int linesBefore = logLines().size();
        Q_EMIT label->linkActivated(link.captured(1));
        QTRY_COMPARE(logLines().size(), linesBefore + 1);
        QCOMPARE(logLines().last(), QStringLiteral("page getting_started_description.html"));
    }
};

QTEST_MAIN(TestHelpLauncher)
#include "test_help_launcher.moc"
