#include "FormContentEditor.h"

#include "ProductWebServer.h"
#include "app/Configuration.h"
#include "ui_FormContentEditor.h"
#include "widgets/HelpLauncher.h"

#include <QDesktopServices>
#include <QIcon>
#include <QMessageBox>
#include <QStyle>

namespace
{
const char* const LGPL_TEXT_ADDRESS = "https://www.gnu.org/licenses/lgpl-3.0-standalone.html";

QString _aboutText_helper(const QString& buildDate, const QString& buildTime)
{
    // The build date reads "Nov 20 2025" (or "Nov  5 2025"): the year is always at offset 7.
    const QString buildYear = buildDate.mid(7, 4);
    return FormContentEditor::tr(
               "<b>Corvane Key Manager</b>, copyright &copy; %1 Corvane.<br /><br />"
               "Build date: %2 %3<br />"
               "Application version: %4<br />"
               "Qt version: %5<br /><br />"
               "This application is using Qt framework under <a href=\"%6\">LGPLv3 license</a>.")
        .arg(buildYear, buildDate, buildTime, QStringLiteral(APPLICATION_VERSION),
             QStringLiteral(QT_VERSION_STR), QLatin1String(LGPL_TEXT_ADDRESS));
}
} // namespace

void FormContentEditor::initializeHelp()
{
    // The date and time this file was compiled, which is when the application was built.
    buildDate = QStringLiteral(__DATE__);
    buildTime = QStringLiteral(__TIME__);

    connect(form->actionHelp, &QAction::triggered, this,
            []() { showHelpPage(QStringLiteral("index.html")); });
    // The desktop's browser takes over; whether it could be started is not ours to report.
    connect(form->actionWebsite, &QAction::triggered, this,
            []() { QDesktopServices::openUrl(productWebServerPageUrl(QStringLiteral("/"))); });
    connect(form->actionAbout, &QAction::triggered, this,
            [this]()
            {
                QMessageBox box(QMessageBox::Information, tr("About"),
                                _aboutText_helper(buildDate, buildTime), QMessageBox::Ok, this);
                const int iconSide = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
                box.setIconPixmap(QIcon(QStringLiteral(":/Icon.svg")).pixmap(iconSide, iconSide));
                box.setTextFormat(Qt::RichText);
                box.setTextInteractionFlags(Qt::TextBrowserInteraction);
                box.exec();
            });
}

void FormContentEditor::setBuildDateAndTime(const QString& date, const QString& time)
{
    buildDate = date;
    buildTime = time;
}

void FormContentEditor::askFirstRunQuestion()
{
    if (!settingValue(SETTING_IS_FIRST_RUN))
        return;

    const QMessageBox::StandardButton answer = QMessageBox::information(
        this, tr("Welcome"),
        tr("This is the first time you run the Corvane application. Do you want to read the \"getting "
           "started\" documentation?\n\nYou can always access this documentation and much more from the "
           "application Help menu."),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        showHelpPage(QStringLiteral("getting_started_description.html"));
    setSettingValue(SETTING_IS_FIRST_RUN, false);
}
