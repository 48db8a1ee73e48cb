#include "RecordingViewHost.h"

#include "views/ViewContentBase.h"

#include <QVBoxLayout>

RecordingViewHost::RecordingViewHost()
{
    new QVBoxLayout(this);
}

void RecordingViewHost::addPage(ViewContentBase* page)
{
    layout()->addWidget(page);
    page->activate();
}

void RecordingViewHost::switchView(int viewId)
{
    requests << QStringLiteral("switchView %1").arg(viewId);
}

void RecordingViewHost::popView(int targetViewId)
{
    requests << QStringLiteral("popView %1").arg(targetViewId);
}

void RecordingViewHost::removeView(const ViewContentBase* page)
{
    requests << QStringLiteral("removeView %1").arg(QLatin1String(page->metaObject()->className()));
}

void RecordingViewHost::pushMessageBoxDialogView(ViewContentMessageBoxDialog::Icon icon, const QString& title,
                                                 const QString&, int, ViewContentMessageBoxDialog::Button)
{
    requests << QStringLiteral("pushMessageBoxDialogView %1 %2").arg(int(icon)).arg(title);
}

void RecordingViewHost::copyToClipboard(const QString&)
{
    requests << QStringLiteral("copyToClipboard");
}

void RecordingViewHost::startAutomaticUpdateCheck()
{
    requests << QStringLiteral("startAutomaticUpdateCheck");
}

void RecordingViewHost::askFirstRunQuestion()
{
    requests << QStringLiteral("askFirstRunQuestion");
}
