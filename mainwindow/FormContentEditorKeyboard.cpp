// Everything without a mouse: the editor's commands as actions with shortcuts, and the help of each page.
#include "FormContentEditor.h"

#include "PasswordTable.h"
#include "ui_FormContentEditor.h"
#include "widgets/HelpLauncher.h"

#include <QShortcut>

namespace
{
// Shows the shortcut in the tool tip of the button that does the same, as menus show it beside the entry.
void _addShortcutToToolTip_helper(QWidget* widget, const QKeySequence& shortcut)
{
    widget->setToolTip(
        FormContentEditor::tr("%1 (%2)").arg(widget->toolTip(), shortcut.toString(QKeySequence::NativeText)));
}

const char* _helpPageName_helper(int viewId)
{
    switch (viewId)
    {
    case VIEW_ID_CONTENT_EDITOR:
    case VIEW_ID_PASSWORD_INFORMATION:
    case VIEW_ID_LINE_INPUT_DIALOG:
    case VIEW_ID_MESSAGE_BOX_DIALOG:
        return "managing_passwords.html";
    case VIEW_ID_PASSWORD_HEALTH:
        return "managing_passwords.html#health";
    case VIEW_ID_START_MENU:
    case VIEW_ID_APPLICATION_LICENSE:
        return "getting_started_description.html";
    case VIEW_ID_READ_DEVICE:
    case VIEW_ID_INSERT_READING_MASTER_PASSWORD:
    case VIEW_ID_DEVICE_SELECTION:
        return "opening_a_device.html";
    case VIEW_ID_WRITE_DEVICE:
        return "saving_to_a_device.html";
    case VIEW_ID_INSERT_WRITING_MASTER_PASSWORD:
        return "master_password_selection_guide.html";
    case VIEW_ID_SHOW_DEVICE_INFORMATION:
    case VIEW_ID_CONFIGURE_DEVICE:
        return "device_configuration.html";
    case VIEW_ID_SETTINGS:
    case VIEW_ID_APPLICATION_LOCKED:
        return "settings_and_locking.html";
    case VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1:
    case VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2:
    case VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3:
        return "device_erasing_wizard.html";
    case VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1:
    case VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2:
    case VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3:
    case VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4:
        return "device_copy_wizard.html";
    case VIEW_ID_IMPORT_CSV_FILE:
        return "import_csv_file.html";
    default:
        return "index.html";
    }
}
} // namespace

void FormContentEditor::initializeKeyboard()
{
    const struct
    {
        QAction* action;
        QList<QKeySequence> shortcuts;
        QWidget* button;
    } commands[] = {
        {form->actionSaveToDevice, {QKeySequence(Qt::CTRL | Qt::Key_S)}, form->pushButtonWriteDevice},
        {form->actionNewRecord, {QKeySequence(Qt::CTRL | Qt::Key_N)}, form->pushButtonNewPassword},
        {form->actionEditRecord,
         {QKeySequence(Qt::CTRL | Qt::Key_E), QKeySequence(Qt::Key_F2)},
         form->pushButtonEditPassword},
        {form->actionRemoveRecord, {QKeySequence(Qt::Key_Delete)}, form->pushButtonRemovePassword},
        {form->actionCopyLogin, {QKeySequence(Qt::CTRL | Qt::Key_B)}, nullptr},
        {form->actionCopyPassword, {QKeySequence(Qt::CTRL | Qt::Key_C)}, nullptr},
        {form->actionShowPassword, {QKeySequence(Qt::CTRL | Qt::Key_H)}, nullptr},
        {form->actionOpenWebSite, {QKeySequence(Qt::CTRL | Qt::Key_U)}, nullptr},
        {form->actionQuit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}, nullptr},
        {form->actionPageHelp, {QKeySequence(Qt::Key_F1)}, nullptr},
    };
    for (const auto& command : commands)
    {
        command.action->setShortcuts(command.shortcuts);
        // Also on the window itself: its shortcuts then work on the pages that hide the menu bar.
        addAction(command.action);
        if (command.button)
            _addShortcutToToolTip_helper(command.button, command.shortcuts.first());
    }
    _addShortcutToToolTip_helper(form->pushButtonClearClipboard,
                                 QKeySequence(Qt::CTRL | Qt::Key_K)); // the editing set-up's shortcut;
    _addShortcutToToolTip_helper(form->pushButtonNextSearchResult,
                                 form->pushButtonNextSearchResult->shortcut());
    _addShortcutToToolTip_helper(form->pushButtonPreviousSearchResult,
                                 form->pushButtonPreviousSearchResult->shortcut());

    // Return and Enter edit the selected record from the table (and its tab bar), not from the other widgets
    // of the editor, which have their own use for them.
    editRecordShortcut = new QShortcut(form->tabWidget);
    editRecordShortcut->setKeys({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    editRecordShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    contextMenuShortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), form->tabWidget);
    contextMenuShortcut->setContext(Qt::WidgetWithChildrenShortcut);

    connect(form->actionSaveToDevice, &QAction::triggered, this,
            [this]()
            {
                if (refuseWhenLocked())
                    return;
                // The Save button's menu, without opening it: a vault that has no master password yet needs
                // one first.
                if (vaultSession.isMasterPasswordKnown())
                    startSavingDevice();
                else
                    pushView(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
            });
    connect(form->actionNewRecord, &QAction::triggered, this,
            &FormContentEditor::_slotPushButtonNewPasswordClicked);
    connect(form->actionEditRecord, &QAction::triggered, this,
            &FormContentEditor::_slotPushButtonEditPasswordClicked);
    connect(editRecordShortcut, &QShortcut::activated, form->actionEditRecord, &QAction::trigger);
    connect(form->actionRemoveRecord, &QAction::triggered, this,
            &FormContentEditor::_slotPushButtonRemovePasswordClicked);
    connect(form->actionCopyLogin, &QAction::triggered, this,
            [this]()
            {
                if (refuseWhenLocked())
                    return;
                if (const PasswordRecord* record = selectedRecord())
                    copyToClipboard(record->login);
            });
    connect(form->actionCopyPassword, &QAction::triggered, this,
            [this]()
            {
                if (refuseWhenLocked())
                    return;
                if (const PasswordRecord* record = selectedRecord())
                    copyToClipboard(record->password);
            });
    connect(form->actionShowPassword, &QAction::triggered, this,
            [this]()
            {
                if (refuseWhenLocked())
                    return;
                PasswordTable* table = currentTable();
                if (!selectedRecord())
                    return;
                const int row = table->currentRow();
                table->setPasswordVisibleAt(row, !table->isPasswordVisibleAt(row));
            });
    connect(form->actionOpenWebSite, &QAction::triggered, this,
            [this]()
            {
                if (selectedRecord())
                    static_cast<void>(currentTable()->openWebSiteAt(currentTable()->currentRow()));
            });
    connect(form->actionPageHelp, &QAction::triggered, this,
            [this]() { showHelpPage(currentPageHelpName()); });
    connect(contextMenuShortcut, &QShortcut::activated, this,
            [this]()
            {
                if (refuseWhenLocked())
                    return;
                if (PasswordTable* table = currentTable())
                    table->openContextMenuAtCurrentCell();
            });
}

void FormContentEditor::updateKeyboardCommandsState()
{
    if (!editRecordShortcut)
        return; // still constructing
    const bool isEditorShown = !isApplicationLocked() && currentViewId() == VIEW_ID_CONTENT_EDITOR;
    const bool isRecordSelected = isEditorShown && selectedRecord();
    form->actionSaveToDevice->setEnabled(isEditorShown && form->pushButtonWriteDevice->isEnabled());
    form->actionNewRecord->setEnabled(isEditorShown && form->pushButtonNewPassword->isEnabled());
    for (QAction* action : {form->actionEditRecord, form->actionRemoveRecord, form->actionCopyLogin,
                            form->actionCopyPassword, form->actionShowPassword})
        action->setEnabled(isRecordSelected);
    form->actionOpenWebSite->setEnabled(isRecordSelected &&
                                        PasswordTable::isWebAddress(selectedRecord()->url));
    // The File menu's entry: any vault shown can get a (new) master password and be saved.
    if (actionSaveMenuChangePasswordThenWrite)
        actionSaveMenuChangePasswordThenWrite->setEnabled(isEditorShown && currentTable());
    editRecordShortcut->setEnabled(isRecordSelected);
    contextMenuShortcut->setEnabled(isEditorShown && currentTable());
    disableActionsBehindLock();
}

void FormContentEditor::connectTableKeyboardCommands(PasswordTable* table)
{
    // The context menu: what the Edit menu offers for a record, beside the table's own entries.
    table->insertActions(table->editAction(),
                         {form->actionCopyLogin, form->actionCopyPassword, form->actionOpenWebSite});
    table->insertAction(table->duplicateAction(), form->actionRemoveRecord);
    // A table added to the tab widget would otherwise come last in the window's focus chain.
    QWidget::setTabOrder(form->tabWidget, table);
    QWidget::setTabOrder(table, form->lineEditSearch);
    connect(table, &QTableWidget::cellDoubleClicked, this,
            [this](int, int column)
            {
                // A double click on a web site opens it instead.
                if (column != PasswordTable::COLUMN_URL)
                    form->actionEditRecord->trigger();
            });
}

const PasswordRecord* FormContentEditor::selectedRecord() const
{
    const PasswordTable* table = currentTable();
    if (!table || !table->hasSelectedCell())
        return nullptr;
    const int row = table->currentRow();
    return row >= 0 && row < table->passwordCount() ? &table->passwordAt(row) : nullptr;
}

void FormContentEditor::selectFirstRecord()
{
    PasswordTable* table = currentTable();
    if (!table)
        return;
    if (table->passwordCount() > 0)
        table->setCurrentCell(0, PasswordTable::COLUMN_NAME);
    table->setFocus();
}

QString FormContentEditor::currentPageHelpName() const
{
    return QLatin1String(_helpPageName_helper(currentViewId()));
}
