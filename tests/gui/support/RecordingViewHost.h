#pragma once

#include "views/ViewHost.h"

#include <QStringList>
#include <QWidget>

// Stands in for the main window to test pages alone: shows them one above the other and records, one line
// each, what they ask of their window ("switchView 18", "removeView ViewContentDeviceCopyWizardPage1",
// "pushMessageBoxDialogView 1 Error", ...).
class RecordingViewHost : public QWidget, public ViewHost
{
public:
    RecordingViewHost();

    void addPage(ViewContentBase* page);

    void switchView(int viewId) override;
    void popView(int targetViewId) override;
    void removeView(const ViewContentBase* page) override;
    void pushMessageBoxDialogView(ViewContentMessageBoxDialog::Icon icon, const QString& title,
                                  const QString& text, int buttons,
                                  ViewContentMessageBoxDialog::Button defaultButton) override;
    void copyToClipboard(const QString& text) override;
    void startAutomaticUpdateCheck() override;
    void askFirstRunQuestion() override;

    QStringList requests;
};
