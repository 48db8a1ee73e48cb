// The password health report: an analysis that follows the vault shown, the count of its findings in the
// status area, and the report page that opens a finding's record in the record editor.
#include "FormContentEditor.h"

#include "PasswordTable.h"
#include "passwordtools/PasswordHealthAnalysis.h"
#include "ui_FormContentEditor.h"
#include "views/ViewContentPasswordHealth.h"

#include <QMenu>

void FormContentEditor::initializePasswordHealth()
{
    passwordHealthAnalysis = new PasswordHealthAnalysis(this);
    form->menuFile->insertSeparator(form->actionPasswordHealth);
    form->labelPasswordHealth->hide();

    connect(passwordHealthAnalysis, &PasswordHealthAnalysis::analysisProgressed, this,
            [this]()
            {
                updatePasswordHealthSummary();
                refreshPasswordHealthPage();
            });
    connect(form->actionPasswordHealth, &QAction::triggered, this,
            &FormContentEditor::_slotActionPasswordHealthTriggered);
    // The summary's link leads to the report as the menu does.
    connect(form->labelPasswordHealth, &QLabel::linkActivated, this,
            &FormContentEditor::_slotActionPasswordHealthTriggered);
    connect(pages.passwordHealth, &ViewContentPasswordHealth::findingRecordEditRequested, this,
            [this](int tabIndex, int recordIndex)
            {
                if (refuseWhenLocked())
                    return;
                PasswordTable* table = tableAt(tabIndex);
                if (!table || recordIndex < 0 || recordIndex >= table->passwordCount())
                    return;
                // The record editor works on the current tab's selected record, and its result goes back
                // there. The password is what a finding asks to change: the editor starts in its field.
                form->tabWidget->setCurrentIndex(tabIndex);
                table->setCurrentCell(recordIndex, PasswordTable::COLUMN_PASSWORD);
                _slotPushButtonEditPasswordClicked();
            });
}

int FormContentEditor::passwordHealthCachedRatingCount() const
{
    return passwordHealthAnalysis ? passwordHealthAnalysis->cachedRatingCount() : 0;
}

bool FormContentEditor::isPasswordHealthAnalysisFinished() const
{
    return !passwordHealthAnalysis || passwordHealthAnalysis->isFinished();
}

void FormContentEditor::restartPasswordHealthAnalysis()
{
    if (passwordHealthAnalysis)
        passwordHealthAnalysis->start(getVault());
}

void FormContentEditor::clearPasswordHealth()
{
    if (!passwordHealthAnalysis)
        return;
    passwordHealthAnalysis->clear();
    // The page's rows refer to the vault that is going.
    if (pages.passwordHealth)
        pages.passwordHealth->deactivate();
}

void FormContentEditor::updatePasswordHealthSummary()
{
    if (!passwordHealthAnalysis)
        return;
    const QString summary = PasswordHealthFinding::countsText(passwordHealthAnalysis->findingCounts(
        (vaultSession.isMasterPasswordKnown() ? vaultSession.masterPassword() : QString())));
    form->labelPasswordHealth->setVisible(!summary.isEmpty());
    form->labelPasswordHealth->setText(
        QStringLiteral("<a href=\"#password-health\">%1</a>").arg(summary.toHtmlEscaped()));
}

void FormContentEditor::refreshPasswordHealthPage()
{
    // A hidden page would only spend time on rows no one sees: it is filled when it is opened.
    if (currentViewId() != VIEW_ID_PASSWORD_HEALTH && !viewStack.contains(VIEW_ID_PASSWORD_HEALTH))
        return;
    pages.passwordHealth->setFindings(
        passwordHealthAnalysis->findings(
            (vaultSession.isMasterPasswordKnown() ? vaultSession.masterPassword() : QString())),
        passwordHealthAnalysis->ratedRecordCount(), passwordHealthAnalysis->recordCount());
}

void FormContentEditor::_slotActionPasswordHealthTriggered()
{
    if (refuseWhenLocked())
        return;
    if (currentViewId() != VIEW_ID_CONTENT_EDITOR)
        return;
    pushView(VIEW_ID_PASSWORD_HEALTH);
    refreshPasswordHealthPage();
}
