#pragma once

#include "ViewContentBase.h"
#include "vault/PasswordRecord.h"

class PasswordVisibilityToggle;

namespace Ui
{
class ViewContentPasswordInformation;
}

// Creates a record or edits one of the current tab: name, login, password (with show/hide, copy and a
// generator), web site and note. The main window hands the record over with setPasswordToEdit() and
// receives the result as a new record through passwordModified().
class ViewContentPasswordInformation : public ViewContentBase
{
    Q_OBJECT

public:
    enum PasswordGenerationMode
    {
        PASSWORD_GENERATION_MODE_AUTO = 0,
        PASSWORD_GENERATION_MODE_ADVANCED = 1
    };

    explicit ViewContentPasswordInformation(QWidget* parent);
    ~ViewContentPasswordInformation() override;

    // pointerPassword: the record to edit, which must stay valid during the visit, or nullptr for a new
    // record; passwordToReplaceIndex: its row, -1 for a new record; focusedFieldIndex: the field (table
    // column) that gets the keyboard focus.
    void setPasswordToEdit(const PasswordRecord* pointerPassword, int passwordToReplaceIndex,
                           int focusedFieldIndex);

    void activate() override;
    // Clears the password field and the note so no secret stays in the page's widgets after the visit.
    void deactivate() override;
    // Beside the fields, the record as it was before editing: the table it came from is sealed too.
    void writeSecrets(QDataStream& stream) const override;
    void wipeSecrets() override;
    void restoreSecrets(QDataStream& stream) override;

Q_SIGNALS:
    // A record allocated by the view: the receiver takes ownership.
    void passwordModified(PasswordRecord* pointerPassword, int passwordToReplaceIndex);
    // The password was put on the clipboard during the visit that just ended.
    void dataCopied();

private Q_SLOTS:
    void _slotPushButtonCopyPasswordClicked();
    void _slotPushButtonGeneratePasswordClicked();
    void _slotPushButtonSaveClicked();
    void _slotPushButtonCancelClicked();
    void _slotLineEditsTextEdited();
    void _slotTextEditNoteTextChanged();
    void _slotComboBoxPasswordGenerationModeCurrentIndexChanged(int index);
    void _slotCheckBoxAdvancedPasswordGenerationCheckStateChanged(int state);
    void _slotLabelHelpLinkActivated(QString referenceDocumentFileName);

private:
    void updateFields();
    // Whether the fields differ from the record as it was handed over.
    bool isRecordModified() const;
    void removeForbiddenCharactersFromNote();
    void leave();

    Ui::ViewContentPasswordInformation* form;
    PasswordVisibilityToggle* passwordVisibilityToggle = nullptr;
    const PasswordRecord* pointerPassword = nullptr;
    PasswordRecord emptyPassword;
    int passwordToReplaceIndex = -1;
    int focusedFieldIndex = 0;
    bool isPasswordCopied = false;
    bool isNoteBeingCleaned = false;
};
