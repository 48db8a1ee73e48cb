#pragma once

#include <QMainWindow>

class HelpBrowser;
class QSocketNotifier;

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

Q_SIGNALS:
    void pageShown(const QString& pageName, bool isPageFound);
    void inputClosed();

private Q_SLOTS:
    void _slotSocketNotifierInputActivated();
    void _slotTextBrowserSourceChanged();
    void _slotActionHomeTriggered();

private:
    void _createToolBar();
    void _processInputLines();
    void _closeInput();

    HelpBrowser* _browser;
    QString _homePageName;
    int _inputFileDescriptor;
    QSocketNotifier* _inputNotifier;
    QByteArray _pendingInput;
};
