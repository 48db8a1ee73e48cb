#include "PasswordTable.h"

#include "PasswordTablePasswordItem.h"
#include "widgets/SensitiveClipboard.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QHeaderView>
#include <QMenu>
#include <QOperatingSystemVersion>
#include <QStyle>
#include <QTabWidget>
#include <QUrl>

namespace
{
// Only web locations are opened from a double click: a record imported from elsewhere must not be
// able to launch a local file or an arbitrary protocol handler.
bool _isOpenableScheme_helper(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ftp");
}
} // namespace

PasswordTable::PasswordTable(QWidget* parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    // Tab leaves the table for the next widget of the window instead of walking its cells.
    setTabKeyNavigation(false);
    horizontalHeader()->setMinimumSectionSize(100);
    horizontalHeader()->setStretchLastSection(true);
    setColumnCount(COLUMN_COUNT);
    setHorizontalHeaderLabels(
        {tr("Name"), tr("ID / Login / Email"), tr("Password"), tr("Web site / URL"), tr("Note")});
    setAccessibleName(tr("Passwords"));
#ifdef Q_OS_WIN
    if (QOperatingSystemVersion::current() >= QOperatingSystemVersion::Windows11)
        setStyleSheet(
            QStringLiteral("selection-background-color: rgb(0, 120, 215); selection-color: white;"));
#endif

    actionCopy = new QAction(tr("&Copy to clipboard"), this);
    actionEdit = new QAction(tr("&Edit"), this);
    actionDuplicate = new QAction(tr("&Duplicate row into tab..."), this);
    actionMove = new QAction(tr("&Move row to tab..."), this);
    menuDuplicate = new QMenu(this);
    menuMove = new QMenu(this);
    actionDuplicate->setMenu(menuDuplicate);
    actionMove->setMenu(menuMove);
    for (QAction* action : {actionCopy, actionEdit, actionDuplicate, actionMove})
    {
        action->setEnabled(false);
        addAction(action);
    }
    setContextMenuPolicy(Qt::ActionsContextMenu);

    // Even without records, every column is as wide as its title.
    resizeColumns();

    connect(this, &QTableWidget::itemSelectionChanged, this,
            &PasswordTable::_slotTableWidgetItemSelectionChanged);
    connect(this, &QTableWidget::cellDoubleClicked, this, &PasswordTable::_slotTableWidgetCellDoubleClicked);
    connect(actionCopy, &QAction::triggered, this, &PasswordTable::_slotActionCopyTableDataTriggered);
    connect(menuDuplicate, &QMenu::triggered, this, &PasswordTable::_slotMenuDuplicateRowToTabTriggered);
    connect(menuMove, &QMenu::triggered, this, &PasswordTable::_slotMenuMoveRowToTabTriggered);
}

PasswordTable::~PasswordTable()
{
    // Overwrite the secrets this table alone holds; shared copies belong to someone else.
    if (records.isDetached())
    {
        for (Password& password : records)
            password.clear();
    }
}

int PasswordTable::addPasswordSorted(const Password& password)
{
    // The record may live in this very list (duplicating into the same tab): copy it first.
    const Password copy = password;
    const int row = ::addPasswordSorted(records, copy);
    passwordVisibilities.insert(row, false);
    insertRow(row);
    fillRow(row, copy);
    resizeColumns();
    synchronizePasswordItems();
    return row;
}

void PasswordTable::removePasswordAt(int index)
{
    if (index < 0 || index >= records.size())
        return;
    if (records.isDetached())
        records[index].clear();
    ::removePasswordAt(records, index);
    if (index < passwordVisibilities.size())
        passwordVisibilities.removeAt(index);
    removeRow(index);
    resizeColumns();
    synchronizePasswordItems();
}

const PasswordTable::Password& PasswordTable::passwordAt(int index) const
{
    return records.at(index);
}

int PasswordTable::passwordCount() const
{
    return static_cast<int>(records.size());
}

const QList<PasswordTable::Password>& PasswordTable::passwords() const
{
    return records;
}

void PasswordTable::setPasswords(const QList<Password>& passwords)
{
    records = passwords;
}

void PasswordTable::rebuildRows(bool isColumnsResized)
{
    clearContents();
    setRowCount(0);
    passwordVisibilities = QList<bool>(records.size(), false);
    setRowCount(static_cast<int>(records.size()));
    for (int row = 0; row < records.size(); row++)
        fillRow(row, records.at(row));
    if (isColumnsResized)
        resizeColumns();
    synchronizePasswordItems();
}

bool PasswordTable::hasSelectedCell() const
{
    return selectionModel() && selectionModel()->hasSelection();
}

PasswordTablePasswordItem* PasswordTable::passwordItemAt(int row) const
{
    return qobject_cast<PasswordTablePasswordItem*>(cellWidget(row, COLUMN_PASSWORD));
}

bool PasswordTable::isPasswordVisibleAt(int row) const
{
    return row >= 0 && row < passwordVisibilities.size() && passwordVisibilities.at(row);
}

void PasswordTable::setPasswordVisibleAt(int row, bool isVisible)
{
    if (row < 0 || row >= passwordVisibilities.size())
        return;
    // The one place that reveals or masks a password: the stored state, the cell widget and what the
    // screen reader reads change together, whichever command asked.
    passwordVisibilities[row] = isVisible;
    if (PasswordTablePasswordItem* item = passwordItemAt(row))
        item->setPasswordVisible(isVisible);
    updatePasswordCellAccessibleText(row);
}

void PasswordTable::hideAllPasswords()
{
    for (int row = 0; row < passwordVisibilities.size(); row++)
    {
        if (passwordVisibilities.at(row))
            setPasswordVisibleAt(row, false);
    }
}

void PasswordTable::openContextMenuAtCurrentCell()
{
    const QRect cellRect = visualRect(currentIndex());
    const QPoint position = cellRect.isValid() ? viewport()->mapTo(this, cellRect.center()) : QPoint(0, 0);
    // A keyboard request: the scroll area passes it to the table, whose actions make the menu.
    QContextMenuEvent event(QContextMenuEvent::Keyboard, position, mapToGlobal(position));
    QCoreApplication::sendEvent(this, &event);
}

void PasswordTable::updateTabMenus(const QStringList& tabNames, int currentTabIndex)
{
    auto addEntry = [](QMenu* menu, const QString& tabName, int tabIndex)
    {
        // A "&" in a tab name is text, not a keyboard mnemonic.
        menu->addAction(tabTextForName(tabName))->setData(tabIndex);
    };

    menuDuplicate->clear();
    for (int tabIndex = 0; tabIndex < tabNames.size(); tabIndex++)
        addEntry(menuDuplicate, tabNames.at(tabIndex), tabIndex);

    // Always emptied so that no entry can point at a tab that has gone.
    menuMove->clear();
    if (tabNames.size() <= 1)
    {
        actionMove->setEnabled(false);
        return;
    }
    for (int tabIndex = 0; tabIndex < tabNames.size(); tabIndex++)
    {
        if (tabIndex != currentTabIndex)
            addEntry(menuMove, tabNames.at(tabIndex), tabIndex);
    }
    actionMove->setEnabled(hasSelectedCell());
}

void PasswordTable::resizeColumns()
{
    resizeColumnsToContents();
    capColumnWidth(COLUMN_NAME, MAXIMUM_NAME_COLUMN_WIDTH);
    capColumnWidth(COLUMN_URL, MAXIMUM_URL_COLUMN_WIDTH);
    capColumnWidth(COLUMN_NOTE, MAXIMUM_NOTE_COLUMN_WIDTH);
}

void PasswordTable::capColumnWidth(int column, int maximumWidth)
{
    if (columnWidth(column) > maximumWidth)
        setColumnWidth(column, maximumWidth);
}

QAction* PasswordTable::copyAction() const
{
    return actionCopy;
}

QAction* PasswordTable::editAction() const
{
    return actionEdit;
}

QAction* PasswordTable::duplicateAction() const
{
    return actionDuplicate;
}

QAction* PasswordTable::moveAction() const
{
    return actionMove;
}

bool PasswordTable::isWebAddress(const QString& url)
{
    const QString trimmed = url.trimmed();
    return trimmed.contains(QLatin1Char('.')) && !trimmed.contains(QLatin1Char(' '));
}

QString PasswordTable::tabTextForName(const QString& tabName)
{
    QString text = tabName;
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString PasswordTable::tabNameFromText(const QString& tabText)
{
    QString name = tabText;
    return name.replace(QLatin1String("&&"), QLatin1String("&"));
}

void PasswordTable::_slotTableWidgetItemSelectionChanged()
{
    const bool isCellSelected = hasSelectedCell();
    actionCopy->setEnabled(isCellSelected);
    actionEdit->setEnabled(isCellSelected);
    actionDuplicate->setEnabled(isCellSelected);
    const QTabWidget* tabWidget = owningTabWidget();
    actionMove->setEnabled(isCellSelected && tabWidget && tabWidget->count() > 1);
}

void PasswordTable::_slotTableWidgetCellDoubleClicked(int row, int column)
{
    if (column == COLUMN_URL)
        static_cast<void>(openWebSiteAt(row));
}

bool PasswordTable::openWebSiteAt(int row) const
{
    if (row < 0 || row >= records.size())
        return false;
    const QString& text = records.at(row).url;
    if (!isWebAddress(text))
        return false;
    // Tolerant parsing: "example.com" becomes "http://example.com".
    const QUrl url = QUrl::fromUserInput(text.trimmed());
    if (!url.isValid() || !_isOpenableScheme_helper(url))
        return false;
    QDesktopServices::openUrl(url);
    return true;
}

void PasswordTable::_slotActionCopyTableDataTriggered()
{
    // The view makes a cell current when it gets the focus without selecting it; only a cell the user
    // can see selected is copied.
    const int row = currentRow();
    const int column = currentColumn();
    if (!hasSelectedCell() || row < 0 || row >= records.size() || column < 0 || column >= COLUMN_COUNT)
        return;
    SensitiveClipboard::instance()->copyText(records.at(row).field(column));
    Q_EMIT dataCopied();
}

void PasswordTable::_slotMenuDuplicateRowToTabTriggered(QAction* pointerAction)
{
    if (copyCurrentRowToTab(pointerAction))
        Q_EMIT dataModified();
}

void PasswordTable::_slotMenuMoveRowToTabTriggered(QAction* pointerAction)
{
    const int row = currentRow();
    bool isOk = false;
    const int tabIndex = pointerAction->data().toInt(&isOk);
    if (!isOk || tableOfTab(tabIndex) == this)
        return;
    if (!copyCurrentRowToTab(pointerAction))
        return;
    removePasswordAt(row);
    Q_EMIT dataModified();
}

void PasswordTable::fillRow(int row, const Password& password)
{
    setItem(row, COLUMN_NAME, newCappedTextItem(password.name, MAXIMUM_NAME_COLUMN_WIDTH));
    setItem(row, COLUMN_LOGIN, new QTableWidgetItem(password.login));
    auto* urlItem = new QTableWidgetItem(password.url);
    if (isWebAddress(password.url))
    {
        QFont font = urlItem->font();
        font.setUnderline(true);
        urlItem->setFont(font);
    }
    setItem(row, COLUMN_URL, urlItem);
    // The note column is the last one: it also gets cut where the window ends, whatever its cap.
    auto* noteItem = new QTableWidgetItem(password.note);
    noteItem->setToolTip(password.note);
    setItem(row, COLUMN_NOTE, noteItem);
    // Screen readers read table cells, never the cell widgets drawn over them: the password cell's
    // item tells them what the widget shows.
    setItem(row, COLUMN_PASSWORD, new QTableWidgetItem());
    updatePasswordCellAccessibleText(row);
}

void PasswordTable::updatePasswordCellAccessibleText(int row)
{
    QTableWidgetItem* cell = item(row, COLUMN_PASSWORD);
    if (!cell || row >= records.size())
        return;
    const bool isVisible = row < passwordVisibilities.size() && passwordVisibilities.at(row);
    cell->setData(Qt::AccessibleTextRole, isVisible ? records.at(row).password : tr("Password hidden"));
}

QTableWidgetItem* PasswordTable::newCappedTextItem(const QString& text, int maximumColumnWidth) const
{
    auto* item = new QTableWidgetItem(text);
    // The cell's margins take a few pixels of the column as well.
    const int cellMarginsWidth = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8;
    if (fontMetrics().horizontalAdvance(text) + cellMarginsWidth > maximumColumnWidth)
        item->setToolTip(text);
    return item;
}

int PasswordTable::sizeHintForColumn(int column) const
{
    // Most password cells have no widget to ask: measure every record's password instead.
    if (column != COLUMN_PASSWORD)
        return QTableWidget::sizeHintForColumn(column);
    int width = 0;
    for (const Password& password : records)
        width = qMax(width, PasswordTablePasswordItem::widthHintFor(password.password, this));
    return showGrid() ? width + 1 : width;
}

void PasswordTable::scrollContentsBy(int dx, int dy)
{
    QTableWidget::scrollContentsBy(dx, dy);
    if (dy != 0)
        synchronizePasswordItems();
}

void PasswordTable::updateGeometries()
{
    QTableWidget::updateGeometries();
    synchronizePasswordItems();
}

void PasswordTable::synchronizePasswordItems()
{
    // Placing a cell widget asks for a new layout, which comes back here.
    if (isSynchronizingPasswordItems)
        return;
    isSynchronizingPasswordItems = true;
    const int rows = rowCount();
    int firstRow = rowAt(0);
    int lastRow = rowAt(viewport()->height() - 1);
    if (lastRow < 0)
        lastRow = rows - 1;
    if (firstRow < 0)
        lastRow = -1;
    for (int row = 0; row < rows; row++)
    {
        const bool isInView = row >= firstRow && row <= lastRow && row < records.size();
        const bool hasItem = cellWidget(row, COLUMN_PASSWORD) != nullptr;
        if (isInView && !hasItem)
            createPasswordItem(row);
        else if (!isInView && hasItem)
            removeCellWidget(row, COLUMN_PASSWORD);
    }
    isSynchronizingPasswordItems = false;
}

void PasswordTable::createPasswordItem(int row)
{
    auto* item = new PasswordTablePasswordItem(records.at(row).password);
    if (row < passwordVisibilities.size() && passwordVisibilities.at(row))
        item->setPasswordVisible(true);
    // The row of a cell moves when records are inserted above it; the persistent index follows.
    const QPersistentModelIndex cellIndex(model()->index(row, COLUMN_PASSWORD));
    connect(item, &PasswordTablePasswordItem::passwordVisibilityToggled, this,
            [this, cellIndex](bool isVisible)
            {
                if (cellIndex.isValid())
                    setPasswordVisibleAt(cellIndex.row(), isVisible);
            });
    setCellWidget(row, COLUMN_PASSWORD, item);
}

QTabWidget* PasswordTable::owningTabWidget() const
{
    // A tab widget page sits in the tab widget's internal stacked widget.
    QWidget* stack = parentWidget();
    return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

PasswordTable* PasswordTable::tableOfTab(int tabIndex) const
{
    const QTabWidget* tabWidget = owningTabWidget();
    if (!tabWidget || tabIndex < 0 || tabIndex >= tabWidget->count())
        return nullptr;
    return qobject_cast<PasswordTable*>(tabWidget->widget(tabIndex));
}

bool PasswordTable::copyCurrentRowToTab(QAction* pointerAction)
{
    const int row = currentRow();
    bool isOk = false;
    const int tabIndex = pointerAction->data().toInt(&isOk);
    PasswordTable* target = isOk ? tableOfTab(tabIndex) : nullptr;
    if (!target || row < 0 || row >= records.size())
        return false;
    target->addPasswordSorted(records.at(row));
    return true;
}
