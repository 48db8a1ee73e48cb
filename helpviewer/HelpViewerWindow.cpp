#include "HelpViewerWindow.h"

#include "HelpBrowser.h"

#include <QAction>
#include <QIcon>
#include <QSocketNotifier>
#include <QStyle>
#include <QToolBar>

#include <cerrno>
#include <unistd.h>

namespace
{
const QStringList SUPPORTED_LANGUAGE_CODES = {QStringLiteral("en"), QStringLiteral("fr")};
const QString LANGUAGE_ARGUMENT_PREFIX = QStringLiteral("/Help_Viewer");
} // namespace

HelpViewerWindow::HelpViewerWindow(const QString& languageCode, const QString& homePageName,
                                   int inputFileDescriptor, QWidget* parent)
    : QMainWindow(parent), _browser(new HelpBrowser(languageCode, this)), _homePageName(homePageName),
      _inputFileDescriptor(inputFileDescriptor),
      _inputNotifier(new QSocketNotifier(inputFileDescriptor, QSocketNotifier::Read, this))
{
    setCentralWidget(_browser);
    _createToolBar();
    resize(960, 720);
    setWindowTitle(tr("Corvane Key Manager Help"));
    setWindowIcon(QIcon(QStringLiteral(":/helpviewer/Icon.svg")));

    connect(_browser, &QTextBrowser::sourceChanged, this, &HelpViewerWindow::_slotTextBrowserSourceChanged);
    connect(_inputNotifier, &QSocketNotifier::activated, this,
            &HelpViewerWindow::_slotSocketNotifierInputActivated);
}

QString HelpViewerWindow::languageCodeFromArgument(const QString& argument)
{
    if (!argument.startsWith(LANGUAGE_ARGUMENT_PREFIX))
        return QStringLiteral("en");
    QString languageCode = argument.mid(LANGUAGE_ARGUMENT_PREFIX.size());
    return SUPPORTED_LANGUAGE_CODES.contains(languageCode) ? languageCode : QStringLiteral("en");
}

void HelpViewerWindow::showPage(const QString& pageName)
{
    _browser->showPage(pageName);
}

HelpBrowser* HelpViewerWindow::browser() const
{
    return _browser;
}

bool HelpViewerWindow::isReadingInput() const
{
    return _inputNotifier->isEnabled();
}

void HelpViewerWindow::_slotSocketNotifierInputActivated()
{
    // The notifier only fires when data or the end of the input is waiting, so this read never blocks.
    char buffer[4096];
    ssize_t size = ::read(_inputFileDescriptor, buffer, sizeof(buffer));
    if (size > 0)
    {
        _pendingInput.append(buffer, size);
        _processInputLines();
    }
    else if (size == 0 || (errno != EINTR && errno != EAGAIN))
    {
        _closeInput();
    }
}

void HelpViewerWindow::_slotTextBrowserSourceChanged()
{
    QString pageTitle = _browser->documentTitle();
    QString applicationTitle = tr("Corvane Key Manager Help");
    bool isTitleUseful = !pageTitle.isEmpty() && pageTitle != applicationTitle;
    setWindowTitle(isTitleUseful ? pageTitle + QStringLiteral(" - ") + applicationTitle : applicationTitle);
    Q_EMIT pageShown(_browser->currentPageName(), !_browser->isCurrentPageMissing());
}

void HelpViewerWindow::_slotActionHomeTriggered()
{
    showPage(_homePageName);
}

void HelpViewerWindow::_createToolBar()
{
    QToolBar* toolBar = addToolBar(tr("Navigation"));
    toolBar->setObjectName(QStringLiteral("toolBarNavigation"));
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    QAction* actionBack = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"));
    actionBack->setObjectName(QStringLiteral("actionBack"));
    actionBack->setShortcut(QKeySequence::Back);
    actionBack->setEnabled(false);
    connect(actionBack, &QAction::triggered, _browser, &QTextBrowser::backward);
    connect(_browser, &QTextBrowser::backwardAvailable, actionBack, &QAction::setEnabled);

    QAction* actionForward =
        toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"));
    actionForward->setObjectName(QStringLiteral("actionForward"));
    actionForward->setShortcut(QKeySequence::Forward);
    actionForward->setEnabled(false);
    connect(actionForward, &QAction::triggered, _browser, &QTextBrowser::forward);
    connect(_browser, &QTextBrowser::forwardAvailable, actionForward, &QAction::setEnabled);

    QAction* actionHome = toolBar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Contents"));
    actionHome->setObjectName(QStringLiteral("actionHome"));
    actionHome->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    connect(actionHome, &QAction::triggered, this, &HelpViewerWindow::_slotActionHomeTriggered);
}

void HelpViewerWindow::_processInputLines()
{
    qsizetype lineEnd;
    while ((lineEnd = _pendingInput.indexOf('\n')) >= 0)
    {
        QString pageName = QString::fromLatin1(_pendingInput.left(lineEnd)).trimmed();
        _pendingInput.remove(0, lineEnd + 1);
        if (pageName.isEmpty())
            continue;
        showPage(pageName);
        // The user asked for this page in the application: bring the viewer in front of it.
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
    }
}

void HelpViewerWindow::_closeInput()
{
    // A last name without its line feed still counts; then stop watching the input for good, since an
    // ended input would wake the notifier again and again.
    if (!_pendingInput.isEmpty())
        _pendingInput.append('\n');
    _processInputLines();
    _inputNotifier->setEnabled(false);
    Q_EMIT inputClosed();
}
