#include "HelpViewerWindow.h"

#include "HelpBrowser.h"
#include "HelpViewerInput.h"

#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTextDocument>
#include <QToolBar>

namespace
{
const QStringList SUPPORTED_LANGUAGE_CODES = {QStringLiteral("en"), QStringLiteral("fr")};
const QString LANGUAGE_ARGUMENT_PREFIX = QStringLiteral("/Help_Viewer");
} // namespace

HelpViewerWindow::HelpViewerWindow(const QString& languageCode, const QString& homePageName,
                                   int inputFileDescriptor, QWidget* parent)
    : QMainWindow(parent), _browser(new HelpBrowser(languageCode, this)), _homePageName(homePageName),
      input(new HelpViewerInput(inputFileDescriptor, this))
{
    setCentralWidget(_browser);
    _createToolBar();
    _createFindBar();
    resize(960, 720);
    setWindowTitle(tr("Corvane Key Manager Help"));
    // What screen readers announce for the program, rather than its file name.
    QGuiApplication::setApplicationDisplayName(tr("Corvane Key Manager Help"));
    setWindowIcon(QIcon(QStringLiteral(":/helpviewer/Icon.svg")));

    connect(_browser, &QTextBrowser::sourceChanged, this, &HelpViewerWindow::_slotTextBrowserSourceChanged);
    connect(input, &HelpViewerInput::bytesReceived, this, &HelpViewerWindow::_slotInputBytesReceived);
    connect(input, &HelpViewerInput::ended, this, &HelpViewerWindow::_closeInput);
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
    return input->isReading();
}

void HelpViewerWindow::_slotInputBytesReceived(const QByteArray& bytes)
{
    _pendingInput.append(bytes);
    _processInputLines();
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

void HelpViewerWindow::_createFindBar()
{
    _findBar = new QToolBar(tr("Find"), this);
    _findBar->setObjectName(QStringLiteral("toolBarFind"));
    _findBar->setMovable(false);
    addToolBar(Qt::BottomToolBarArea, _findBar);
    auto* label = new QLabel(tr("&Find:"), _findBar);
    _findLineEdit = new QLineEdit(_findBar);
    _findLineEdit->setObjectName(QStringLiteral("lineEditFind"));
    _findLineEdit->setAccessibleName(tr("Find in page"));
    label->setBuddy(_findLineEdit);
    _findMissLabel = new QLabel(tr("No matching text was found."), _findBar);
    _findMissLabel->setObjectName(QStringLiteral("labelFindMiss"));
    _findBar->addWidget(label);
    _findBar->addWidget(_findLineEdit);
    QAction* actionPrevious = _findBar->addAction(tr("Previous"));
    actionPrevious->setObjectName(QStringLiteral("actionFindPrevious"));
    actionPrevious->setShortcuts({QKeySequence::FindPrevious});
    QAction* actionNext = _findBar->addAction(tr("Next"));
    actionNext->setObjectName(QStringLiteral("actionFindNext"));
    actionNext->setShortcuts({QKeySequence::FindNext});
    _findMissAction = _findBar->addWidget(_findMissLabel);
    _findBar->hide();
    _showFindMiss(false);

    connect(_findLineEdit, &QLineEdit::returnPressed, this, [this]() { findText(false); });
    connect(_findLineEdit, &QLineEdit::textEdited, this, [this]() { _showFindMiss(false); });
    connect(actionNext, &QAction::triggered, this, [this]() { findText(false); });
    connect(actionPrevious, &QAction::triggered, this, [this]() { findText(true); });

    QAction* actionFind = new QAction(tr("Find in page"), this);
    actionFind->setObjectName(QStringLiteral("actionFind"));
    actionFind->setShortcut(QKeySequence::Find);
    addAction(actionFind);
    connect(actionFind, &QAction::triggered, this, &HelpViewerWindow::_slotActionFindTriggered);
    QAction* actionClose = new QAction(tr("Close"), this);
    actionClose->setObjectName(QStringLiteral("actionClose"));
    actionClose->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    addAction(actionClose);
    connect(actionClose, &QAction::triggered, this, &HelpViewerWindow::_slotActionCloseTriggered);
}

void HelpViewerWindow::_slotActionFindTriggered()
{
    _findBar->show();
    _findLineEdit->selectAll();
    _findLineEdit->setFocus();
}

void HelpViewerWindow::_slotActionCloseTriggered()
{
    // Escape leaves the find bar before it closes the window.
    if (_findBar->isVisible())
    {
        _findBar->hide();
        _showFindMiss(false);
        _browser->setFocus();
        return;
    }
    close();
}

bool HelpViewerWindow::findText(bool isBackward)
{
    const QString text = _findLineEdit->text();
    if (text.isEmpty())
        return false;
    const QTextDocument::FindFlags flags =
        isBackward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    bool isFound = _browser->find(text, flags);
    if (!isFound)
    {
        // Around the page once, from the other end.
        const QTextCursor cursorBefore = _browser->textCursor();
        _browser->moveCursor(isBackward ? QTextCursor::End : QTextCursor::Start);
        isFound = _browser->find(text, flags);
        if (!isFound)
            _browser->setTextCursor(cursorBefore);
    }
    _showFindMiss(!isFound);
    return isFound;
}

void HelpViewerWindow::_showFindMiss(bool isMissed)
{
    _findMissAction->setVisible(isMissed);
    _findLineEdit->setAccessibleDescription(isMissed ? _findMissLabel->text() : QString());
    if (!isMissed)
    {
        _findLineEdit->setPalette(QPalette());
        return;
    }
    QPalette palette = _findLineEdit->palette();
    const bool isDark = palette.color(QPalette::Base).lightness() < 128;
    palette.setColor(QPalette::Base, isDark ? QColor(0x6b, 0x2b, 0x2b) : QColor(0xff, 0xd6, 0xd6));
    _findLineEdit->setPalette(palette);
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
    // A last name without its line feed still counts.
    if (!_pendingInput.isEmpty())
        _pendingInput.append('\n');
    _processInputLines();
    Q_EMIT inputClosed();
}
