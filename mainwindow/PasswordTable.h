#pragma once

#include "vault/PasswordRecord.h"

#include <QList>
#include <QStringList>
#include <QTableWidget>

class QAction;
class QMenu;
class QShortcut;
class QTabWidget;
class PasswordTablePasswordItem;

// One tab of the vault: owns the tab's records by value and shows record i in row i. Column 2 shows
// each password through a masking cell widget; every other column is a plain text item.
class PasswordTable : public QTableWidget
{
    Q_OBJECT

public:
    using Password = PasswordRecord;

    enum Column
    {
        COLUMN_NAME = PasswordRecord::FIELD_NAME,
        COLUMN_LOGIN = PasswordRecord::FIELD_LOGIN,
        COLUMN_PASSWORD = PasswordRecord::FIELD_PASSWORD,
        COLUMN_URL = PasswordRecord::FIELD_URL,
        COLUMN_NOTE = PasswordRecord::FIELD_NOTE,
        COLUMN_COUNT = PasswordRecord::FIELD_COUNT
    };

    // Widest the web site column grows when sized to its contents.
    static constexpr int MAXIMUM_URL_COLUMN_WIDTH = 450;

    explicit PasswordTable(QWidget* parent = nullptr);
    ~PasswordTable() override;

    // Record model. Rows follow the records; records given in bulk keep their order.
    int addPasswordSorted(const Password& password);
    void removePasswordAt(int index);
    const Password& passwordAt(int index) const;
    int passwordCount() const;
    const QList<Password>& passwords() const;
    // Replaces every record without touching the rows: call rebuildRows() afterwards.
    void setPasswords(const QList<Password>& passwords);
    void rebuildRows();

    bool hasSelectedCell() const;
    // The cell widget of a row's password, or nullptr for a row that does not exist.
    PasswordTablePasswordItem* passwordItemAt(int row) const;

    // Fills the "Duplicate row into tab..." submenu with every tab and the "Move row to tab..." submenu
    // with every tab but the current one; the entries carry the tab index as action data.
    void updateTabMenus(const QStringList& tabNames, int currentTabIndex);
    void resizeColumns();

    QAction* copyAction() const;
    QAction* editAction() const;
    QAction* duplicateAction() const;
    QAction* moveAction() const;

    // A web address, once trimmed, holds at least one "." and no space.
    static bool isWebAddress(const QString& url);

Q_SIGNALS:
    void dataCopied();
    void dataModified();

private Q_SLOTS:
    void _slotTableWidgetItemSelectionChanged();
    void _slotTableWidgetCellDoubleClicked(int row, int column);
    void _slotActionCopyTableDataTriggered();
    void _slotMenuDuplicateRowToTabTriggered(QAction* pointerAction);
    void _slotMenuMoveRowToTabTriggered(QAction* pointerAction);

private:
    void fillRow(int row, const Password& password);
    QTabWidget* owningTabWidget() const;
    PasswordTable* tableOfTab(int tabIndex) const;
    bool copyCurrentRowToTab(QAction* pointerAction);

    QList<Password> records;
    QAction* actionCopy;
    QAction* actionEdit;
    QAction* actionDuplicate;
    QAction* actionMove;
    QMenu* menuDuplicate;
    QMenu* menuMove;
    QShortcut* shortcutCopy;
};
