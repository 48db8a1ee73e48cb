#include "ViewContentPasswordHealth.h"

#include "ViewHost.h"
#include "passwordtools/PasswordRatingScope.h"
#include "ui_ViewContentPasswordHealth.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

ViewContentPasswordHealth::ViewContentPasswordHealth(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentPasswordHealth)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonBack);
    QHeaderView* header = form->tableWidgetFindings->horizontalHeader();
    // The reason takes the room left; the other columns fit their texts once, when the first rows come.
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(COLUMN_REASON, QHeaderView::Stretch);
    form->tableWidgetFindings->verticalHeader()->hide();
    // Where the rating lacks the large word lists, the report says so rather than pass for the full rating.
    if (isPasswordRatingReduced())
        form->labelHint->setText(
            form->labelHint->text() + QLatin1Char('\n') +
            tr("On Windows the rating knows only the most common passwords, not the large word lists: some "
               "passwords made of dictionary words are rated stronger than they are."));

    form->tableWidgetFindings->installEventFilter(this);

    connect(form->tableWidgetFindings, &QTableWidget::itemActivated, this,
            &ViewContentPasswordHealth::_slotTableWidgetItemActivated);
    connect(form->tableWidgetFindings, &QTableWidget::itemSelectionChanged, this,
            &ViewContentPasswordHealth::_slotTableWidgetItemSelectionChanged);
    connect(form->pushButtonEditRecord, &QPushButton::clicked, this,
            &ViewContentPasswordHealth::_slotPushButtonEditRecordClicked);
    connect(form->pushButtonBack, &QPushButton::clicked, this,
            &ViewContentPasswordHealth::_slotPushButtonBackClicked);
}

ViewContentPasswordHealth::~ViewContentPasswordHealth()
{
    delete form;
}

bool ViewContentPasswordHealth::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != form->tableWidgetFindings || event->type() != QEvent::KeyPress ||
        !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
        return ViewContentBase::eventFilter(watched, event);
    // A login or a record name: copied with the clipboard managers' hint and cleared with the other copies.
    const QTableWidgetItem* item = form->tableWidgetFindings->currentItem();
    if (item && viewHost())
        viewHost()->copyToClipboard(item->text());
    return true;
}

void ViewContentPasswordHealth::activate()
{
    deactivate();
    form->tableWidgetFindings->setFocus();
}

void ViewContentPasswordHealth::deactivate()
{
    shownFindings.clear();
    form->tableWidgetFindings->setRowCount(0);
    form->labelSummary->clear();
    form->pushButtonEditRecord->setEnabled(false);
}

void ViewContentPasswordHealth::setFindings(const QList<PasswordHealthFinding>& findings,
                                            int ratedRecordCount, int recordCount)
{
    QTableWidget* table = form->tableWidgetFindings;
    // While ratings come in, findings only append: keep the rows in common and add the rest.
    const qsizetype commonCount =
        std::mismatch(shownFindings.cbegin(), shownFindings.cend(), findings.cbegin(), findings.cend())
            .first -
        shownFindings.cbegin();
    const bool wasEmpty = table->rowCount() == 0;
    const int previousRow = table->currentRow();
    table->setUpdatesEnabled(false);
    table->setRowCount(static_cast<int>(commonCount));
    table->setRowCount(static_cast<int>(findings.size()));
    for (qsizetype index = commonCount; index < findings.size(); index++)
    {
        const PasswordHealthFinding& finding = findings.at(index);
        const int row = static_cast<int>(index);
        const QString texts[COLUMN_COUNT] = {finding.tabName, finding.recordName, finding.login,
                                             finding.kindText(), finding.reasonText()};
        for (int column = 0; column < COLUMN_COUNT; column++)
        {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setToolTip(texts[column]);
            table->setItem(row, column, item);
        }
    }
    if (wasEmpty && !findings.isEmpty())
    {
        // Column by column: resizing them all at once would also fix the width of the stretched reason.
        const int maximumWidth =
            std::max(static_cast<int>(table->viewport()->width() * COLUMN_MAXIMUM_SHARE),
                     COLUMN_MINIMUM_CHARACTERS * table->fontMetrics().averageCharWidth());
        for (int column = 0; column < COLUMN_REASON; column++)
        {
            table->resizeColumnToContents(column);
            table->setColumnWidth(column,
                                  std::min(table->columnWidth(column) + COLUMN_PADDING, maximumWidth));
        }
        table->setCurrentCell(0, COLUMN_NAME);
    }
    else if (previousRow >= 0 && !findings.isEmpty() && table->currentRow() != previousRow)
    {
        // The edited record's row went: stay at the same place in the list.
        table->setCurrentCell(std::min(previousRow, static_cast<int>(findings.size()) - 1), COLUMN_NAME);
    }
    table->setUpdatesEnabled(true);
    shownFindings = findings;

    std::array<int, PasswordHealthFinding::KIND_COUNT> counts = {};
    for (const PasswordHealthFinding& finding : findings)
        counts[finding.kind]++;
    QString summary;
    if (ratedRecordCount < recordCount && findings.isEmpty())
        summary = tr("Checking: %1 of %2 records rated").arg(ratedRecordCount).arg(recordCount);
    else if (ratedRecordCount < recordCount)
        summary = tr("%1 (checking: %2 of %3 records rated)")
                      .arg(PasswordHealthFinding::countsText(counts), QString::number(ratedRecordCount),
                           QString::number(recordCount));
    else if (findings.isEmpty())
        summary = tr("No weak, reused or empty password found.");
    else
        summary = PasswordHealthFinding::countsText(counts);
    form->labelSummary->setText(summary);
    _slotTableWidgetItemSelectionChanged();
}

void ViewContentPasswordHealth::_slotTableWidgetItemActivated(QTableWidgetItem* item)
{
    if (item)
        requestRecordEdit(item->row());
}

void ViewContentPasswordHealth::_slotTableWidgetItemSelectionChanged()
{
    form->pushButtonEditRecord->setEnabled(!form->tableWidgetFindings->selectedItems().isEmpty());
}

void ViewContentPasswordHealth::_slotPushButtonEditRecordClicked()
{
    const QList<QTableWidgetItem*> selected = form->tableWidgetFindings->selectedItems();
    if (!selected.isEmpty())
        requestRecordEdit(selected.first()->row());
}

void ViewContentPasswordHealth::_slotPushButtonBackClicked()
{
    viewHost()->removeView(this);
}

void ViewContentPasswordHealth::requestRecordEdit(int row)
{
    if (row < 0 || row >= shownFindings.size())
        return;
    const PasswordHealthFinding& finding = shownFindings.at(row);
    Q_EMIT findingRecordEditRequested(finding.tabIndex, finding.recordIndex);
}
