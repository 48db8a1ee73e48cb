#pragma once

#include <QMainWindow>

class HelpBrowser;
class HelpViewerInput;
class QAction;
class QLabel;
class QLineEdit;
class QToolBar;

// The help program's window: one help page with back, forward and home, switched to another page for
// every page name that arrives as a line on the input (the application writes there when the user asks
// for help while the viewer is already open). The end of the input leaves the window open.
class HelpViewerWindow : public QMainWindow
{
    Q_OBJECT

public:
    HelpViewerWindow(const QString& languageCode, const QString& homePageName, int inputFileDescriptor,
                     QWidget* parent = nullptr);

    // The language is the text after "/Help_Viewer" in the first argument; anything unknown gives "en".
    static QString languageCodeFromArgument(const QString& argument);

    void showPage(const QString& pageName);
    HelpBrowser* browser() const;
    bool isReadingInput() const;
    // Looks for the find bar's text from the cursor on, around to the start of the page; false when the
    // page does not contain it.
    bool findText(bool isBackward);

Q_SIGNALS:
    void pageShown(const QString& pageName, bool isPageFound);
    void inputClosed();

private Q_SLOTS:
    void _slotInputBytesReceived(const QByteArray& bytes);
    void _slotTextBrowserSourceChanged();
    void _slotActionHomeTriggered();
    void _slotActionFindTriggered();
    void _slotActionCloseTriggered();

private:
    void _createToolBar();
    void _createFindBar();
    void _showFindMiss(bool isMissed);
    void _processInputLines();
    void _closeInput();

    HelpBrowser* _browser;
    QString _homePageName;
    HelpViewerInput* input;
    QByteArray _pendingInput;
    QToolBar* _findBar;
    QLineEdit* _findLineEdit;
    QLabel* _findMissLabel;
    // The miss line's place in the find bar, which shows and hides it.
    QAction* _findMissAction;
};
