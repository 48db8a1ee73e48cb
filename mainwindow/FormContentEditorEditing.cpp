// The vault editor of page 0: tabs, records, search and the clipboard.
#include "FormContentEditor.h"

#include "PasswordTable.h"
#include "ui_FormContentEditor.h"
#include "vault/MemoryImage.h"
#include "views/ViewBase.h"
#include "views/ViewContentPasswordInformation.h"
#include "widgets/PlainTextMessage.h"
#include "widgets/SensitiveClipboard.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QTabBar>

#include <memory>

namespace
{
// Moves row and column to the next (or previous) cell holding text, wrapping around the table when allowed.
bool _searchInTable_helper(const QString& text, PasswordTable* table, int& row, int& column, bool isForward,
                           bool isWrapping)
{
    const int rowCount = qMin(table->rowCount(), table->passwordCount());
    const int columnCount = table->columnCount();
    if (rowCount == 0 || columnCount == 0)
        return false;

    const int startRow = row;
    const int startColumn = column;
    // Every cell once, the start cell last; the bound also ends a walk from a position outside the table.
    for (qint64 step = 0; step <= qint64(rowCount) * columnCount; step++)
    {
        if (isForward)
        {
            if (++column >= columnCount)
            {
                column = 0;
                if (++row >= rowCount)
                {
                    if (!isWrapping)
                        return false;
                    row = 0;
                }
            }
        }
        else
        {
            if (--column < 0)
            {
                column = columnCount - 1;
                if (--row < 0)
                {
                    if (!isWrapping)
                        return false;
                    row = rowCount - 1;
                }
            }
        }

        // Passwords are never searched: a match would reveal where a secret is.
        if (column != PasswordTable::COLUMN_PASSWORD && column < PasswordRecord::FIELD_COUNT && row >= 0 &&
            row < rowCount && table->passwordAt(row).field(column).contains(text, Qt::CaseInsensitive))
            return true;
        if (row == startRow && column == startColumn)
            return false;
    }
    return false;
}

// The keys the search field gives a meaning of its own: Escape and Down, handed to keyPressed, which says
// whether it took the key.
class SearchFieldKeyFilter : public QObject
{
public:
    SearchFieldKeyFilter(QObject* parent, std::function<bool(int key)> keyPressed)
        : QObject(parent), keyPressed(std::move(keyPressed))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
        {
            const auto* keyEvent = static_cast<QKeyEvent*>(event);
            if ((keyEvent->key() == Qt::Key_Escape || keyEvent->key() == Qt::Key_Down) &&
                keyEvent->modifiers() == Qt::NoModifier)
                return keyPressed(keyEvent->key());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(int key)> keyPressed;
};

// A search that found nothing tints the field and says so beside it, instead of covering the window.
void _showSearchMiss_helper(Ui::FormContentEditor* form, bool isMissed)
{
    form->labelSearchMiss->setVisible(isMissed);
    form->lineEditSearch->setAccessibleDescription(isMissed ? form->labelSearchMiss->text() : QString());
    if (!isMissed)
    {
        form->lineEditSearch->setPalette(QPalette());
        return;
    }
    QPalette palette = form->lineEditSearch->palette();
    // A light or a dark warning tint, whichever keeps the field's text readable.
    const bool isDark = palette.color(QPalette::Base).lightness() < 128;
    palette.setColor(QPalette::Base, isDark ? QColor(0x6b, 0x2b, 0x2b) : QColor(0xff, 0xd6, 0xd6));
    form->lineEditSearch->setPalette(palette);
}
} // namespace

// Tabs and the vault -------------------------------------------------------------------------------------

PasswordTable* FormContentEditor::createTab(const QString& name)
{
    PasswordTable* table = createTable(name);
    refreshTabMenus(form->tabWidget->indexOf(table));
    return table;
}

PasswordTable* FormContentEditor::createTable(const QString& name)
{
    auto* table = new PasswordTable;
    form->tabWidget->addTab(table, PasswordTable::tabTextForName(name));
    // Screen readers tell the tabs' tables apart by the tab's name.
    table->setAccessibleName(name);
    connect(table, &QTableWidget::itemSelectionChanged, this, &FormContentEditor::updateWidgetsState);
    connect(table->editAction(), &QAction::triggered, this,
            &FormContentEditor::_slotPushButtonEditPasswordClicked);
    connect(table, &PasswordTable::dataCopied, this, &FormContentEditor::_slotPasswordTableDataCopied);
    connect(table, &PasswordTable::dataModified, this, [this]() { setDataModified(true); });
    connectTableKeyboardCommands(table);
    return table;
}

void FormContentEditor::refreshTabMenus(int currentTabIndex)
{
    Q_UNUSED(currentTabIndex)
    QStringList tabNames;
    const int tabCount = form->tabWidget->count();
    for (int tabIndex = 0; tabIndex < tabCount; tabIndex++)
        tabNames.append(tabName(tabIndex));
    // Only the shown tab's menus can be opened, and for it "current" and "own" are the same tab; giving every
    // table its own index keeps the menus of the others right too, even when a tab is added in the
    // background.
    for (int tabIndex = 0; tabIndex < tabCount; tabIndex++)
    {
        if (PasswordTable* table = tableAt(tabIndex))
            table->updateTabMenus(tabNames, tabIndex);
    }
}

QString FormContentEditor::tabName(int tabIndex) const
{
    return PasswordTable::tabNameFromText(form->tabWidget->tabText(tabIndex));
}

PasswordTable* FormContentEditor::currentTable() const
{
    return qobject_cast<PasswordTable*>(form->tabWidget->currentWidget());
}

PasswordTable* FormContentEditor::tableAt(int tabIndex) const
{
    return qobject_cast<PasswordTable*>(form->tabWidget->widget(tabIndex));
}

void FormContentEditor::hideAllPasswords()
{
    for (int tabIndex = 0; tabIndex < form->tabWidget->count(); tabIndex++)
    {
        if (PasswordTable* table = tableAt(tabIndex))
            table->hideAllPasswords();
    }
}

Vault FormContentEditor::getVault() const
{
    // Record lists are implicitly shared: this copies no record.
    Vault vault;
    const int tabCount = form->tabWidget->count();
    vault.reserve(tabCount);
    for (int tabIndex = 0; tabIndex < tabCount; tabIndex++)
    {
        const PasswordTable* table = tableAt(tabIndex);
        vault.append(VaultTab{tabName(tabIndex), table ? table->passwords() : QList<PasswordRecord>()});
    }
    return vault;
}

void FormContentEditor::setVault(const Vault& vault)
{
    setVault(vault, {});
}

void FormContentEditor::setVault(const Vault& vault, const QList<QList<int>>& columnWidths)
{
    // First, so that the old tables hold their records alone and zero-fill them.
    clearPasswordHealth();
    {
        // One refresh at the end instead of one per tab.
        const QSignalBlocker blocker(form->tabWidget);
        while (form->tabWidget->count() > 0)
        {
            QWidget* table = form->tabWidget->widget(0);
            form->tabWidget->removeTab(0);
            delete table;
        }
        for (int tabIndex = 0; tabIndex < vault.size(); tabIndex++)
        {
            const VaultTab& tab = vault.at(tabIndex);
            PasswordTable* table = createTable(tab.name);
            table->setPasswords(tab.passwords);
            const QList<int> widths = columnWidths.value(tabIndex);
            const bool isWidthKept = widths.size() == table->columnCount();
            table->rebuildRows(!isWidthKept);
            for (int column = 0; isWidthKept && column < widths.size(); column++)
                table->setColumnWidth(column, widths.at(column));
        }
        if (!vault.isEmpty())
            form->tabWidget->setCurrentIndex(0);
    }
    refreshTabMenus(0);
    restartPasswordHealthAnalysis();
    updateWidgetsState();
}

int FormContentEditor::serializeVault(uint8_t* buffer) const
{
    return ::serializeVault(getVault(), buffer);
}

void FormContentEditor::parseVault(const uint8_t* image)
{
    setVault(::parseVault(image));
}

// Clipboard ----------------------------------------------------------------------------------------------

void FormContentEditor::copyToClipboard(const QString& text)
{
    if (refuseWhenLocked())
        return;
    // Announces the copy through SensitiveClipboard::textCopied(), like the copies of the table and of the
    // password fields.
    SensitiveClipboard::instance()->copyText(text);
}

void FormContentEditor::_slotPasswordTableDataCopied()
{
    isClipboardUsed = true;
    form->pushButtonClearClipboard->setEnabled(true);
}

void FormContentEditor::clearClipboard()
{
    SensitiveClipboard::instance()->clear();
}

// Connections --------------------------------------------------------------------------------------------

void FormContentEditor::initializeEditing()
{
    connect(form->pushButtonNewPassword, &QPushButton::clicked, this,
            &FormContentEditor::_slotPushButtonNewPasswordClicked);
    connect(form->pushButtonEditPassword, &QPushButton::clicked, this,
            &FormContentEditor::_slotPushButtonEditPasswordClicked);
    connect(form->pushButtonRemovePassword, &QPushButton::clicked, this,
            &FormContentEditor::_slotPushButtonRemovePasswordClicked);
    connect(form->pushButtonNewTab, &QPushButton::clicked, this,
            &FormContentEditor::_slotPushButtonNewTabClicked);
    connect(form->pushButtonRenameTab, &QPushButton::clicked, this,
            &FormContentEditor::_slotPushButtonRenameTabClicked);
    connect(form->pushButtonDuplicateTab, &QPushButton::clicked, this,
            &FormContentEditor::_slotPushButtonDuplicateTabClicked);
    connect(form->pushButtonRemoveTab, &QPushButton::clicked, this,
            &FormContentEditor::_slotPushButtonRemoveTabClicked);
    connect(form->pushButtonClearClipboard, &QPushButton::clicked, this, &FormContentEditor::clearClipboard);

    connect(form->tabWidget, &QTabWidget::currentChanged, this,
            [this](int newTabIndex)
            {
                refreshTabMenus(newTabIndex);
                updateWidgetsState();
            });
    connect(form->tabWidget->tabBar(), &QTabBar::tabMoved, this,
            [this](int, int to)
            {
                refreshTabMenus(to);
                setDataModified(true);
            });

    _showSearchMiss_helper(form, false);
    connect(form->lineEditSearch, &QLineEdit::textChanged, this,
            [this](const QString& referenceText)
            {
                const bool isTextPresent = !referenceText.isEmpty();
                form->pushButtonPreviousSearchResult->setEnabled(isTextPresent);
                form->pushButtonNextSearchResult->setEnabled(isTextPresent);
                form->checkBoxSearchInAllTabs->setEnabled(isTextPresent);
                _showSearchMiss_helper(form, false);
            });
    connect(form->checkBoxSearchInAllTabs, &QCheckBox::toggled, this,
            [this]() { _showSearchMiss_helper(form, false); });
    form->lineEditSearch->installEventFilter(
        new SearchFieldKeyFilter(form->lineEditSearch,
                                 [this](int key)
                                 {
                                     PasswordTable* table = currentTable();
                                     if (key == Qt::Key_Escape)
                                     {
                                         // Escape leaves the search: no text, no miss, back to the records.
                                         if (form->lineEditSearch->text().isEmpty() && !table)
                                             return false;
                                         form->lineEditSearch->clear();
                                     }
                                     if (!table)
                                         return key == Qt::Key_Escape;
                                     // Down goes into the results: the cell found last, else the first
                                     // record.
                                     if (table->currentRow() < 0 && table->passwordCount() > 0)
                                         table->setCurrentCell(0, PasswordTable::COLUMN_NAME);
                                     table->setFocus();
                                     return true;
                                 }));
    connect(form->lineEditSearch, &QLineEdit::returnPressed, this,
            [this]()
            {
                searchText(true);
                form->lineEditSearch->setFocus();
            });
    connect(form->pushButtonPreviousSearchResult, &QPushButton::clicked, this,
            [this]() { searchText(false); });
    connect(form->pushButtonNextSearchResult, &QPushButton::clicked, this, [this]() { searchText(true); });

    auto* searchShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    auto* clearClipboardShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), this);
    connect(searchShortcut, &QShortcut::activated, this,
            [this]()
            {
                if (refuseWhenLocked())
                    return;
                if (currentViewId() != VIEW_ID_CONTENT_EDITOR)
                    return;
                form->lineEditSearch->selectAll();
                form->lineEditSearch->setFocus();
            });
    connect(clearClipboardShortcut, &QShortcut::activated, this, &FormContentEditor::clearClipboard);

    connect(pages.passwordInformation, &ViewContentPasswordInformation::passwordModified, this,
            &FormContentEditor::_slotViewContentPasswordInformationPasswordModified);
    connect(pages.passwordInformation, &ViewContentPasswordInformation::dataCopied, this,
            &FormContentEditor::_slotPasswordTableDataCopied);

    // Every copy of a secret, wherever it was made (a password field's Ctrl+C too), enables Clear.
    SensitiveClipboard* sensitiveClipboard = SensitiveClipboard::instance();
    connect(sensitiveClipboard, &SensitiveClipboard::textCopied, this,
            &FormContentEditor::_slotPasswordTableDataCopied);
    connect(sensitiveClipboard, &SensitiveClipboard::copiedTextCleared, this,
            [this]()
            {
                isClipboardUsed = false;
                form->pushButtonClearClipboard->setEnabled(false);
            });
    connect(sensitiveClipboard, &SensitiveClipboard::clearingCountdownChanged, this,
            [this](int remainingSeconds)
            {
                form->labelClipboardCountdown->setVisible(remainingSeconds >= 0);
                if (remainingSeconds >= 0)
                    form->labelClipboardCountdown->setText(
                        tr("Clipboard cleared in %1 s").arg(remainingSeconds));
                else
                    form->labelClipboardCountdown->clear();
            });
    // Room for the longest countdown, kept while hidden: the bottom line must not shift every second.
    QSizePolicy countdownPolicy = form->labelClipboardCountdown->sizePolicy();
    countdownPolicy.setRetainSizeWhenHidden(true);
    form->labelClipboardCountdown->setSizePolicy(countdownPolicy);
    form->labelClipboardCountdown->setMinimumWidth(
        form->labelClipboardCountdown->fontMetrics().horizontalAdvance(
            tr("Clipboard cleared in %1 s").arg(8888)));
    form->labelClipboardCountdown->setVisible(false);
}

// Records ------------------------------------------------------------------------------------------------

void FormContentEditor::_slotPushButtonNewPasswordClicked()
{
    if (refuseWhenLocked())
        return;
    if (!currentTable())
        return;
    views[VIEW_ID_PASSWORD_INFORMATION]->setTitle(tr("New password"));
    pages.passwordInformation->setPasswordToEdit(nullptr, -1, PasswordRecord::FIELD_NAME);
    pushView(VIEW_ID_PASSWORD_INFORMATION);
}

void FormContentEditor::_slotPushButtonEditPasswordClicked()
{
    if (refuseWhenLocked())
        return;
    PasswordTable* table = currentTable();
    if (!table || !table->hasSelectedCell())
        return;
    const int row = table->currentRow();
    if (row < 0 || row >= table->passwordCount())
        return;
    views[VIEW_ID_PASSWORD_INFORMATION]->setTitle(tr("Edit password"));
    pages.passwordInformation->setPasswordToEdit(&table->passwordAt(row), row, table->currentColumn());
    pushView(VIEW_ID_PASSWORD_INFORMATION);
}

void FormContentEditor::_slotViewContentPasswordInformationPasswordModified(PasswordRecord* pointerPassword,
                                                                            int passwordToReplaceIndex)
{
    if (refuseWhenLocked())
        return;
    const std::unique_ptr<PasswordRecord> password(pointerPassword);
    PasswordTable* table = currentTable();
    if (!table || !password)
        return;
    if (passwordToReplaceIndex >= 0)
        table->removePasswordAt(passwordToReplaceIndex);
    const int row = table->addPasswordSorted(*password);
    password->clear();
    table->setCurrentCell(row, PasswordTable::COLUMN_NAME);
    table->setFocus();
    setDataModified(true);
}

void FormContentEditor::_slotPushButtonRemovePasswordClicked()
{
    if (refuseWhenLocked())
        return;
    const PasswordTable* table = currentTable();
    if (!table || !table->hasSelectedCell())
        return;
    const int row = table->currentRow();
    if (row < 0 || row >= table->passwordCount())
        return;
    askQuestion(
        ViewContentMessageBoxDialog::ICON_QUESTION, tr("Remove password"),
        plainTextMessage(
            tr("Do you really want to remove the password called '%1'?").arg(table->passwordAt(row).name)),
        ViewContentMessageBoxDialog::BUTTON_YES | ViewContentMessageBoxDialog::BUTTON_NO,
        ViewContentMessageBoxDialog::BUTTON_NO,
        [this](int button)
        {
            PasswordTable* table = currentTable();
            if (button != ViewContentMessageBoxDialog::BUTTON_YES || !table || !table->hasSelectedCell())
                return;
            table->removePasswordAt(table->currentRow());
            setDataModified(true);
        });
}

// Tab commands -------------------------------------------------------------------------------------------

void FormContentEditor::_slotPushButtonNewTabClicked()
{
    if (refuseWhenLocked())
        return;
    pushLineInputDialogView(tr("Insert tab name"), tr("Enter the tab name:"), tr("New tab"),
                            [this](const QString& name)
                            {
                                PasswordTable* table = createTab(name);
                                form->tabWidget->setCurrentWidget(table);
                                setDataModified(true);
                            });
}

void FormContentEditor::_slotPushButtonRenameTabClicked()
{
    if (refuseWhenLocked())
        return;
    const int tabIndex = form->tabWidget->currentIndex();
    if (tabIndex < 0)
        return;
    pushLineInputDialogView(tr("Insert new name"), tr("New tab name:"), tabName(tabIndex),
                            [this](const QString& name)
                            {
                                const int tabIndex = form->tabWidget->currentIndex();
                                if (tabIndex < 0)
                                    return;
                                form->tabWidget->setTabText(tabIndex, PasswordTable::tabTextForName(name));
                                tableAt(tabIndex)->setAccessibleName(name);
                                refreshTabMenus(tabIndex);
                                setDataModified(true);
                            });
}

void FormContentEditor::_slotPushButtonDuplicateTabClicked()
{
    if (refuseWhenLocked())
        return;
    const int tabIndex = form->tabWidget->currentIndex();
    if (tabIndex < 0)
        return;
    pushLineInputDialogView(tr("Insert tab name"), tr("New tab name:"), tabName(tabIndex) + tr(" - Copy"),
                            [this](const QString& name)
                            {
                                const PasswordTable* sourceTable = currentTable();
                                if (!sourceTable)
                                    return;
                                PasswordTable* table = createTab(name);
                                table->setPasswords(sourceTable->passwords());
                                table->rebuildRows();
                                form->tabWidget->setCurrentWidget(table);
                                setDataModified(true);
                            });
}

void FormContentEditor::_slotPushButtonRemoveTabClicked()
{
    if (refuseWhenLocked())
        return;
    const int tabIndex = form->tabWidget->currentIndex();
    if (tabIndex < 0)
        return;
    askQuestion(ViewContentMessageBoxDialog::ICON_QUESTION, tr("Remove tab"),
                plainTextMessage(tr("Do you really want to remove the tab called '%1' and all its "
                                    "content?")
                                     .arg(tabName(tabIndex))),
                ViewContentMessageBoxDialog::BUTTON_YES | ViewContentMessageBoxDialog::BUTTON_NO,
                ViewContentMessageBoxDialog::BUTTON_NO,
                [this](int button)
                {
                    if (button != ViewContentMessageBoxDialog::BUTTON_YES)
                        return;
                    removeCurrentTab();
                    setDataModified(true);
                });
}

void FormContentEditor::removeCurrentTab()
{
    const int tabIndex = form->tabWidget->currentIndex();
    if (tabIndex < 0)
        return;
    QWidget* table = form->tabWidget->widget(tabIndex);
    form->tabWidget->removeTab(tabIndex);
    delete table;
    refreshTabMenus(form->tabWidget->currentIndex());
    updateWidgetsState();
}

// Search -------------------------------------------------------------------------------------------------

void FormContentEditor::searchText(bool isForward)
{
    if (refuseWhenLocked())
        return;
    const QString text = form->lineEditSearch->text();
    PasswordTable* table = currentTable();
    if (text.isEmpty() || !table)
        return;

    int row = 0;
    int column = 0;
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    if (!ranges.isEmpty())
    {
        row = ranges.first().topRow();
        column = ranges.first().leftColumn();
    }

    _showSearchMiss_helper(form, false);
    if (!form->checkBoxSearchInAllTabs->isChecked())
    {
        if (_searchInTable_helper(text, table, row, column, isForward, true))
        {
            table->setCurrentCell(row, column);
            table->setFocus();
            return;
        }
    }
    else
    {
        const int tabCount = form->tabWidget->count();
        int tabIndex = form->tabWidget->currentIndex();
        // One more visit than there are tabs: the search ends in the tab where it began, before the start.
        for (int visit = 0; visit < tabCount + 1; visit++)
        {
            PasswordTable* visitedTable = tableAt(tabIndex);
            if (visitedTable && _searchInTable_helper(text, visitedTable, row, column, isForward, false))
            {
                form->tabWidget->setCurrentIndex(tabIndex);
                visitedTable->setCurrentCell(row, column);
                visitedTable->setFocus();
                return;
            }
            tabIndex = isForward ? (tabIndex + 1) % tabCount : (tabIndex + tabCount - 1) % tabCount;
            const PasswordTable* nextTable = tableAt(tabIndex);
            if (nextTable && nextTable->passwordCount() > 0)
            {
                // Just outside the table, so that the first step lands on its first or last cell.
                row = isForward ? 0 : nextTable->passwordCount() - 1;
                column = isForward ? -1 : PasswordTable::COLUMN_COUNT;
            }
        }
    }

    _showSearchMiss_helper(form, true);
}
