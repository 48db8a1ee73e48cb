#include "ViewContentApplicationLicense.h"

#include "ViewHost.h"
#include "ViewId.h"
#include "app/Configuration.h"
#include "ui_ViewContentApplicationLicense.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextCursor>

namespace
{
const char* const LGPL_TEXT_ADDRESS = "https://www.gnu.org/licenses/lgpl-3.0-standalone.html";

// The whole document as UTF-8, or the fallback sentence when it cannot be read: a missing document must
// never keep the user from accepting or declining.
QString _documentText_helper(const QString& path, const QString& fallbackText)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fallbackText;
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    return text;
}
} // namespace

ViewContentApplicationLicense::ViewContentApplicationLicense(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentApplicationLicense),
      documentsPathPrefix(QStringLiteral(":/"))
{
    form->setupUi(this);
    // Keeps the documents off the frame, as in the help viewer.
    form->textEdit->document()->setDocumentMargin(12);

    // Connected once here rather than at each activation, so that a second visit does not run the
    // handlers twice.
    // toggled, not stateChanged: newer Qt deprecates the latter, and its replacement is newer than Qt 6.4.
    connect(form->checkBoxAcceptLicense, &QCheckBox::toggled, this,
            [this](bool isChecked)
            { _slotCheckBoxAcceptLicenseCheckStateChanged(isChecked ? Qt::Checked : Qt::Unchecked); });
    connect(form->pushButtonAccept, &QPushButton::clicked, this,
            &ViewContentApplicationLicense::_slotPushButtonAcceptClicked);
    connect(form->pushButtonDecline, &QPushButton::clicked, this,
            &ViewContentApplicationLicense::_slotPushButtonDeclineClicked);
}

ViewContentApplicationLicense::~ViewContentApplicationLicense()
{
    delete form;
}

void ViewContentApplicationLicense::setDocumentsPathPrefix(const QString& pathPrefix)
{
    documentsPathPrefix = pathPrefix;
}

void ViewContentApplicationLicense::activate()
{
    form->textEdit->setHtml(buildDocument());
    // Show the top of the document: the news come first.
    form->textEdit->moveCursor(QTextCursor::Start);
    form->textEdit->ensureCursorVisible();
    // The keyboard starts in the document, so that Page Down reads on at once; Tab leads to the check box,
    // then the two buttons.
    form->textEdit->setFocus();
}

QString ViewContentApplicationLicense::buildDocument() const
{
    const QString languageCode = getApplicationLanguageCode();
    // The fallback sentences stay in English: they stand in for documents that failed to load, possibly
    // together with the translations.
    const struct
    {
        QString path;
        QString fallbackText;
    } documents[] = {
        {documentsPathPrefix + "News/News_" + languageCode + ".html",
         QStringLiteral(
             "A critical error occurred while displaying the news. Please read them on the Corvane "
             "web site.")},
        {documentsPathPrefix + "Licenses/End_User_License_Agreement_" + languageCode + ".html",
         QStringLiteral("A critical error occurred while displaying EULA. Please read it on the Corvane web "
                        "site.")},
        {documentsPathPrefix + "Licenses/Terms_Of_Service_" + languageCode + ".html",
         QStringLiteral(
             "A critical error occurred while displaying terms of service. Please read them on the "
             "Corvane web site.")},
        {documentsPathPrefix + "Licenses/LGPL_V3.html",
         QStringLiteral("A critical error occurred while displaying LGPL V3 license. Please read it at <i>") +
             QLatin1String(LGPL_TEXT_ADDRESS) + QStringLiteral("</i>.")},
    };

    QString html = QStringLiteral(
        "<!DOCTYPE html><html lang=\"en\"><head><title>Licenses</title><meta http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=UTF-8\"></head><body>");
    bool isFirstDocument = true;
    for (const auto& document : documents)
    {
        if (!isFirstDocument)
            html += QStringLiteral("<hr />");
        html += _documentText_helper(document.path, document.fallbackText);
        isFirstDocument = false;
    }
    return html + QStringLiteral("</body></html>");
}

void ViewContentApplicationLicense::_slotCheckBoxAcceptLicenseCheckStateChanged(Qt::CheckState state)
{
    form->pushButtonAccept->setEnabled(state == Qt::Checked);
}

void ViewContentApplicationLicense::_slotPushButtonAcceptClicked()
{
    setSettingValue(SETTING_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, QStringLiteral(APPLICATION_VERSION));
    // Written at once: the acceptance must survive even a run that does not end normally.
    settings->sync();

    ViewHost* host = viewHost();
    if (!host)
        return;
    host->askFirstRunQuestion();
    // The license page was never pushed: there is no way back to it in this run.
    host->switchView(VIEW_ID_START_MENU);
}

void ViewContentApplicationLicense::_slotPushButtonDeclineClicked()
{
    // Nothing is stored: the page comes back at the next start.
    QCoreApplication::exit(0);
}
