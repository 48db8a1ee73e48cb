// The help viewer's input on Windows, where a socket notifier cannot watch a pipe: the reader on its own,
// then the viewer that the Windows build ships, started as the application starts it. The viewer needs a
// display and its path in CORVANE_HELP_VIEWER_PATH (scripts/windows-build-and-test gives both).
#include "HelpViewerInput.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace
{
// An anonymous pipe, whose ends are synchronous (QProcess gives its child an overlapped one: the viewer's
// cases below read that); its reading end as a descriptor.
struct Pipe
{
    HANDLE readHandle = nullptr;
    HANDLE writeHandle = nullptr;
    int readDescriptor = -1;

    Pipe()
    {
        if (CreatePipe(&readHandle, &writeHandle, nullptr, 0))
            readDescriptor = _open_osfhandle(reinterpret_cast<intptr_t>(readHandle), _O_RDONLY);
    }

    bool write(const QByteArray& bytes)
    {
        DWORD written = 0;
        return WriteFile(writeHandle, bytes.constData(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) &&
               written == static_cast<DWORD>(bytes.size());
    }

    DWORD bytesWaiting() const
    {
        DWORD available = 0;
        PeekNamedPipe(readHandle, nullptr, 0, nullptr, &available, nullptr);
        return available;
    }

    void closeWriteEnd()
    {
        CloseHandle(writeHandle);
        writeHandle = nullptr;
    }
};

// The viewer with its page reports on; lines gathers what it printed, without the CR of its line ends.
struct ViewerProcess
{
    QProcess process;
    QStringList lines;

    void start(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HELP_VIEWER_REPORT_PAGES"), QStringLiteral("1"));
        // The Windows platform on the display Wine gives it, as the application's viewer has.
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(environment);
        process.start(qEnvironmentVariable("CORVANE_HELP_VIEWER_PATH"), arguments, QIODevice::ReadWrite);
    }

    bool hasLine(const QString& line)
    {
        while (process.canReadLine())
            lines.append(QString::fromUtf8(process.readLine()).trimmed());
        return lines.contains(line);
    }

    // The first page is reported before the window shows; closing the viewer (QProcess::terminate() sends
    // its windows WM_CLOSE) needs the window.
    bool hasVisibleWindow() const
    {
        struct Search
        {
            DWORD processId;
            bool isFound;
        } search{static_cast<DWORD>(process.processId()), false};
        EnumWindows(
            [](HWND window, LPARAM parameter) -> BOOL
            {
                auto* search = reinterpret_cast<Search*>(parameter);
                DWORD windowProcessId = 0;
                GetWindowThreadProcessId(window, &windowProcessId);
                search->isFound = windowProcessId == search->processId && IsWindowVisible(window);
                return !search->isFound;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.isFound;
    }
};
} // namespace

class TestHelpViewerInputWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pipeBytesAndEndArriveAsSignals();
    void inputDeletedWhileItsThreadWaits();
    void viewerFollowsItsInputUntilItEnds();
    void viewerClosesWhileItsInputIsOpen();
};

void TestHelpViewerInputWindows::initTestCase()
{
    QVERIFY2(QFileInfo::exists(qEnvironmentVariable("CORVANE_HELP_VIEWER_PATH")),
             "CORVANE_HELP_VIEWER_PATH must name Help_Viewer.exe");
}

void TestHelpViewerInputWindows::pipeBytesAndEndArriveAsSignals()
{
    Pipe pipe;
    QVERIFY(pipe.readDescriptor >= 0);
    HelpViewerInput input(pipe.readDescriptor);
    QSignalSpy bytesSpy(&input, &HelpViewerInput::bytesReceived);
    QSignalSpy endedSpy(&input, &HelpViewerInput::ended);
    auto received = [&bytesSpy]()
    {
        QByteArray bytes;
        for (const QList<QVariant>& arguments : bytesSpy)
            bytes += arguments.at(0).toByteArray();
        return bytes;
    };

    QVERIFY(pipe.write("index.html\r\nimport_"));
    QTRY_COMPARE(received(), QByteArray("index.html\r\nimport_"));
    QVERIFY(pipe.write("csv_file.html\n"));
    QTRY_COMPARE(received(), QByteArray("index.html\r\nimport_csv_file.html\n"));
    QVERIFY(input.isReading());
    QCOMPARE(endedSpy.count(), 0);

    // The writer's end closed: ReadFile fails with a broken pipe, said once.
    pipe.closeWriteEnd();
    QTRY_COMPARE(endedSpy.count(), 1);
    QVERIFY(!input.isReading());
    QCoreApplication::processEvents();
    QCOMPARE(endedSpy.count(), 1);
}

void TestHelpViewerInputWindows::inputDeletedWhileItsThreadWaits()
{
    Pipe pipe;
    QVERIFY(pipe.readDescriptor >= 0);
    auto* input = new HelpViewerInput(pipe.readDescriptor);
    QSignalSpy bytesSpy(input, &HelpViewerInput::bytesReceived);
    QVERIFY(pipe.write("a\n"));
    QTRY_COMPARE(bytesSpy.count(), 1);

    // Its thread waits in ReadFile: deleting the object neither waits for it nor leaves it a dangling
    // object. Its next bytes wake it, and it ends without posting anything.
    delete input;
    QVERIFY(pipe.write("b\n"));
    QTRY_COMPARE(int(pipe.bytesWaiting()), 0);
    QCoreApplication::processEvents();
    pipe.closeWriteEnd();
}

void TestHelpViewerInputWindows::viewerFollowsItsInputUntilItEnds()
{
    ViewerProcess viewer;
    viewer.start({"/Help_Vieweren", "index.html", "import_csv_file.html"});
    QVERIFY2(viewer.process.waitForStarted(), qPrintable(viewer.process.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(
        viewer.hasLine(
            "showing\timport_csv_file.html\tfound\tImporting a CSV file - Corvane Key Manager Help"),
        30000);

    // What the application writes when the user asks for help while the viewer is open.
    viewer.process.write("master_password_selection_guide.html\n");
    QTRY_VERIFY(viewer.hasLine("showing\tmaster_password_selection_guide.html\tfound\tChoosing the master "
                               "password - Corvane Key Manager Help"));
    viewer.process.write("no_such_page.html\n");
    QTRY_VERIFY(
        viewer.hasLine("showing\tno_such_page.html\tmissing\tPage not found - Corvane Key Manager Help"));

    // The end of the input leaves the window open; closing it ends the viewer.
    viewer.process.closeWriteChannel();
    QTRY_VERIFY(viewer.hasLine("input closed"));
    QCOMPARE(viewer.process.state(), QProcess::Running);
    QTRY_VERIFY(viewer.hasVisibleWindow());
    viewer.process.terminate();
    QVERIFY(viewer.process.waitForFinished());
    QCOMPARE(viewer.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(viewer.process.exitCode(), 0);
}

void TestHelpViewerInputWindows::viewerClosesWhileItsInputIsOpen()
{
    // As when the user closes the viewer while the application runs: the reading thread still waits.
    ViewerProcess viewer;
    viewer.start({"/Help_Vieweren", "index.html", "index.html"});
    QVERIFY2(viewer.process.waitForStarted(), qPrintable(viewer.process.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(viewer.hasLine("showing\tindex.html\tfound\tCorvane Key Manager Help"), 30000);
    QTRY_VERIFY(viewer.hasVisibleWindow());
    viewer.process.terminate();
    QVERIFY(viewer.process.waitForFinished());
    QCOMPARE(viewer.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(viewer.process.exitCode(), 0);
    QVERIFY(!viewer.hasLine("input closed"));
}

QTEST_GUILESS_MAIN(TestHelpViewerInputWindows)
#include "test_help_viewer_input_windows.moc"
