#pragma once

#include "ViewContentBase.h"
#include "passwordtools/PasswordHealthFinding.h"

#include <QList>

class QTableWidgetItem;

namespace Ui
{
class ViewContentPasswordHealth;
}

// The password health report: one row per finding (tab, record name, login, finding, reason) across all
// tabs, in report order, never a password. The main window feeds it while the analysis runs; activating a
// row asks the window to open that record in the record editor.
class ViewContentPasswordHealth : public ViewContentBase
{
    Q_OBJECT

public:
    enum Column
    {
        COLUMN_TAB = 0,
        COLUMN_NAME = 1,
        COLUMN_LOGIN = 2,
        COLUMN_FINDING = 3,
        COLUMN_REASON = 4,
        COLUMN_COUNT = 5
    };

    // Room beside the widest text of a column.
    static constexpr int COLUMN_PADDING = 16;
    // Widest a column other than the reason is made at first, as a share of the table's width, so that a
    // very long name leaves the finding and the reason on the page; longer texts are elided, whole in the
    // tool tip.
    static constexpr double COLUMN_MAXIMUM_SHARE = 0.22;
    // ...but never narrower than this many characters, should the page be laid out narrow.
    static constexpr int COLUMN_MINIMUM_CHARACTERS = 12;

    explicit ViewContentPasswordHealth(QWidget* parent);
    ~ViewContentPasswordHealth() override;

    void activate() override;
    void deactivate() override;

    // Shows the findings so far; rows that did not change stay as they are, with the selection.
    void setFindings(const QList<PasswordHealthFinding>& findings, int ratedRecordCount, int recordCount);

protected:
    // Ctrl+C in the findings goes through the window's sensitive copy, not the table's plain one.
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void findingRecordEditRequested(int tabIndex, int recordIndex);

private Q_SLOTS:
    void _slotTableWidgetItemActivated(QTableWidgetItem* item);
    void _slotTableWidgetItemSelectionChanged();
    void _slotPushButtonEditRecordClicked();
    void _slotPushButtonBackClicked();

private:
    void requestRecordEdit(int row);

    Ui::ViewContentPasswordHealth* form;
    QList<PasswordHealthFinding> shownFindings;
};
