#pragma once

#include "vault/PasswordRecord.h"

#include <QList>
#include <QStringList>
#include <QTableWidget>

class QAction;
class QMenu;
class QTabWidget;
class PasswordTablePasswordItem;

// One tab of the vault: owns the tab's records by value and shows record i in row i. Column 2 shows
// each password through a masking cell widget over an empty item; every other column is a plain text item.
//
// A tab can hold thousands of records, and a widget per row costs far too much to create, place and
// destroy at that scale. So the password cell widgets exist only for the rows in view: they are created
// as rows scroll in and released as they scroll out, while whether each row's password is revealed is
// kept here, per record.
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
    // Widest the name and note columns grow: a long name must not push the other columns off screen.
    // Longer names are elided, with the whole text in the cell's tool tip; notes always have one.
    static constexpr int MAXIMUM_NAME_COLUMN_WIDTH = 300;
    static constexpr int MAXIMUM_NOTE_COLUMN_WIDTH = 300;

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
    // isColumnsResized false leaves the column widths to the caller (widths it kept: measuring thousands
    // of rows is the slow part).
    void rebuildRows(bool isColumnsResized = true);

    bool hasSelectedCell() const;
    // The cell widget of a row's password; nullptr for a row out of view or that does not exist.
    PasswordTablePasswordItem* passwordItemAt(int row) const;
    // Whether a row's password is revealed, as its eye button does.
    bool isPasswordVisibleAt(int row) const;
    // Reveals or masks a row's password: its cell widget and its accessible text follow.
    void setPasswordVisibleAt(int row, bool isVisible);
    // Masks every revealed password of the tab, as setPasswordVisibleAt(row, false) does.
    void hideAllPasswords();
    // The context menu of the current cell, as the right button opens it (Shift+F10).
    void openContextMenuAtCurrentCell();
    // Opens the record's web site in the browser when it is a web address; false when it is none.
    bool openWebSiteAt(int row) const;

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

    // Tab bars read "&" as a keyboard mnemonic: a tab name is shown with its "&" doubled, and read back
    // from the tab text with them single again. Read tab names through these, never tabText() alone.
    static QString tabTextForName(const QString& tabName);
    static QString tabNameFromText(const QString& tabText);

Q_SIGNALS:
    void dataCopied();
    void dataModified();

protected:
    int sizeHintForColumn(int column) const override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private Q_SLOTS:
    void _slotTableWidgetItemSelectionChanged();
    void _slotTableWidgetCellDoubleClicked(int row, int column);
    void _slotActionCopyTableDataTriggered();
    void _slotMenuDuplicateRowToTabTriggered(QAction* pointerAction);
    void _slotMenuMoveRowToTabTriggered(QAction* pointerAction);

private:
    void fillRow(int row, const Password& password);
    // A text item whose tool tip holds the whole text when the column cap would elide it.
    QTableWidgetItem* newCappedTextItem(const QString& text, int maximumColumnWidth) const;
    void capColumnWidth(int column, int maximumWidth);
    // Creates the password cell widgets of the rows in view and releases the others.
    void synchronizePasswordItems();
    void createPasswordItem(int row);
    // "Password hidden", or the password once the user revealed it.
    void updatePasswordCellAccessibleText(int row);
    QTabWidget* owningTabWidget() const;
    PasswordTable* tableOfTab(int tabIndex) const;
    bool copyCurrentRowToTab(QAction* pointerAction);

    QList<Password> records;
    // Whether the user revealed the password of each row, parallel to the records.
    QList<bool> passwordVisibilities;
    bool isSynchronizingPasswordItems = false;
    QAction* actionCopy;
    QAction* actionEdit;
    QAction* actionDuplicate;
    QAction* actionMove;
    QMenu* menuDuplicate;
    QMenu* menuMove;
};
