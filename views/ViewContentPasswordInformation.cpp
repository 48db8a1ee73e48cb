#include "ViewContentPasswordInformation.h"

#include "ViewHost.h"
#include "passwordtools/PasswordGenerator.h"
#include "passwordtools/PasswordRating.h"
#include "ui_ViewContentPasswordInformation.h"
#include "vault/VaultText.h"
#include "widgets/HelpLauncher.h"
#include "widgets/PasswordVisibilityToggle.h"

#include <QDataStream>
#include <QMessageBox>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>

namespace
{
// The memory image uses U+0000, U+0003 and U+0004 as terminators: typed or pasted text loses them
// before it can reach a record.
class ForbiddenCharactersRemover : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override
    {
        int removedBeforeCursor = 0;
        for (int index = 0; index < position && index < input.size(); index++)
        {
            if (isForbiddenVaultCharacter(input.at(index)))
                removedBeforeCursor++;
        }
        int removedCount = 0;
        input = removeForbiddenVaultCharacters(input, &removedCount);
        if (removedCount > 0)
            position = qMax(0, position - removedBeforeCursor);
        return Acceptable;
    }
};

constexpr int PASSWORD_AUTO_MINIMUM_LENGTH = 20;
constexpr int PASSWORD_AUTO_MAXIMUM_LENGTH = 30;
} // namespace

ViewContentPasswordInformation::ViewContentPasswordInformation(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentPasswordInformation)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    passwordVisibilityToggle =
        new PasswordVisibilityToggle(form->pushButtonShowPassword, {form->lineEditPassword});
    pointerPassword = &emptyPassword;

    form->comboBoxPasswordGenerationMode->addItem(tr("Auto", "Password generation mode"));
    form->comboBoxPasswordGenerationMode->addItem(tr("Advanced", "Password generation mode"));
    form->comboBoxPasswordGenerationMode->setCurrentIndex(PASSWORD_GENERATION_MODE_AUTO);
    form->widgetAdvancedPasswordGeneration->setVisible(false);

    auto* validator = new ForbiddenCharactersRemover(this);
    for (QLineEdit* lineEdit :
         {form->lineEditName, form->lineEditLogin, form->lineEditPassword, form->lineEditWebSite})
        lineEdit->setValidator(validator);

    connect(form->pushButtonCopyPassword, &QPushButton::clicked, this,
            &ViewContentPasswordInformation::_slotPushButtonCopyPasswordClicked);
    connect(form->pushButtonGeneratePassword, &QPushButton::clicked, this,
            &ViewContentPasswordInformation::_slotPushButtonGeneratePasswordClicked);
    connect(form->pushButtonSave, &QPushButton::clicked, this,
            &ViewContentPasswordInformation::_slotPushButtonSaveClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentPasswordInformation::_slotPushButtonCancelClicked);
    for (QLineEdit* lineEdit : {form->lineEditName, form->lineEditLogin, form->lineEditWebSite})
        connect(lineEdit, &QLineEdit::textEdited, this,
                &ViewContentPasswordInformation::_slotLineEditsTextEdited);
    // Generated passwords count too, not only typed ones.
    connect(form->lineEditPassword, &QLineEdit::textChanged, this,
            &ViewContentPasswordInformation::_slotLineEditsTextEdited);
    connect(form->textEditNote, &QTextEdit::textChanged, this,
            &ViewContentPasswordInformation::_slotTextEditNoteTextChanged);
    connect(form->comboBoxPasswordGenerationMode, &QComboBox::currentIndexChanged, this,
            &ViewContentPasswordInformation::_slotComboBoxPasswordGenerationModeCurrentIndexChanged);
    for (QCheckBox* checkBox : {form->checkBoxLowercaseLetters, form->checkBoxUppercaseLetters,
                                form->checkBoxDigits, form->checkBoxSymbols})
        // toggled, not stateChanged: newer Qt deprecates the latter, and its replacement is newer than 6.4.
        connect(checkBox, &QCheckBox::toggled, this,
                [this](bool isChecked) {
                    _slotCheckBoxAdvancedPasswordGenerationCheckStateChanged(isChecked ? Qt::Checked
                                                                                       : Qt::Unchecked);
                });
    connect(form->labelHelp, &QLabel::linkActivated, this,
            &ViewContentPasswordInformation::_slotLabelHelpLinkActivated);
}

ViewContentPasswordInformation::~ViewContentPasswordInformation()
{
    emptyPassword.clear();
    delete form;
}

void ViewContentPasswordInformation::setPasswordToEdit(const PasswordRecord* pointerPassword,
                                                       int passwordToReplaceIndex, int focusedFieldIndex)
{
    this->pointerPassword = pointerPassword;
    this->passwordToReplaceIndex = passwordToReplaceIndex;
    this->focusedFieldIndex = focusedFieldIndex;
}

void ViewContentPasswordInformation::activate()
{
    if (!pointerPassword)
    {
        emptyPassword.clear();
        pointerPassword = &emptyPassword;
        focusedFieldIndex = PasswordRecord::FIELD_NAME;
    }

    form->lineEditName->setText(pointerPassword->name);
    form->lineEditLogin->setText(pointerPassword->login);
    form->lineEditPassword->setText(pointerPassword->password);
    form->lineEditWebSite->setText(pointerPassword->url);
    form->textEditNote->setPlainText(pointerPassword->note);

    form->widgetAdvancedPasswordGeneration->setVisible(form->comboBoxPasswordGenerationMode->currentIndex() ==
                                                       PASSWORD_GENERATION_MODE_ADVANCED);

    switch (focusedFieldIndex)
    {
    case PasswordRecord::FIELD_LOGIN:
        form->lineEditLogin->setFocus();
        break;
    case PasswordRecord::FIELD_PASSWORD:
        form->lineEditPassword->setFocus();
        break;
    case PasswordRecord::FIELD_URL:
        form->lineEditWebSite->setFocus();
        break;
    case PasswordRecord::FIELD_NOTE:
        form->textEditNote->setFocus();
        break;
    default:
        form->lineEditName->setFocus();
        break;
    }

    isPasswordCopied = false;
    passwordVisibilityToggle->hidePasswords();
    updateFields();
}

void ViewContentPasswordInformation::writeSecrets(QDataStream& stream) const
{
    for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
        stream << pointerPassword->field(field);
    ViewContentBase::writeSecrets(stream);
}

void ViewContentPasswordInformation::wipeSecrets()
{
    pointerPassword = &emptyPassword;
    emptyPassword.clear();
    ViewContentBase::wipeSecrets();
}

void ViewContentPasswordInformation::restoreSecrets(QDataStream& stream)
{
    // The record compared with stays the page's own copy: the table's is rebuilt.
    emptyPassword.clear();
    for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
        stream >> emptyPassword.field(field);
    pointerPassword = &emptyPassword;
    ViewContentBase::restoreSecrets(stream);
    updateFields();
}

void ViewContentPasswordInformation::deactivate()
{
    // The record shown may be gone by now (it was just replaced): nothing reads it any more.
    pointerPassword = &emptyPassword;
    const QSignalBlocker nameBlocker(form->lineEditName);
    const QSignalBlocker loginBlocker(form->lineEditLogin);
    const QSignalBlocker passwordBlocker(form->lineEditPassword);
    const QSignalBlocker webSiteBlocker(form->lineEditWebSite);
    const QSignalBlocker noteBlocker(form->textEditNote);
    form->lineEditName->clear();
    form->lineEditLogin->clear();
    form->lineEditPassword->clear();
    form->lineEditWebSite->clear();
    form->textEditNote->clear();
    form->labelPasswordCharactersCount->clear();
    form->labelPasswordRating->clear();
}

void ViewContentPasswordInformation::_slotPushButtonCopyPasswordClicked()
{
    // Through the main window, so the copy carries the clipboard managers' hint and the clipboard is
    // cleared at exit even if the visit never ends normally.
    viewHost()->copyToClipboard(form->lineEditPassword->text());
    isPasswordCopied = true;
}

void ViewContentPasswordInformation::_slotPushButtonGeneratePasswordClicked()
{
    QString password;
    if (form->comboBoxPasswordGenerationMode->currentIndex() == PASSWORD_GENERATION_MODE_ADVANCED)
    {
        const int length = form->spinBoxCharactersCount->value();
        password = generatePassword(length, length, form->checkBoxLowercaseLetters->isChecked(),
                                    form->checkBoxUppercaseLetters->isChecked(),
                                    form->checkBoxDigits->isChecked(), form->checkBoxSymbols->isChecked());
    }
    else
    {
        password = generatePassword(PASSWORD_AUTO_MINIMUM_LENGTH, PASSWORD_AUTO_MAXIMUM_LENGTH, true, true,
                                    true, true);
    }
    if (!password.isEmpty())
        form->lineEditPassword->setText(password);
}

void ViewContentPasswordInformation::_slotPushButtonSaveClicked()
{
    auto* password = new PasswordRecord;
    password->name = removeForbiddenVaultCharacters(form->lineEditName->text().trimmed());
    password->login = removeForbiddenVaultCharacters(form->lineEditLogin->text());
    password->password = removeForbiddenVaultCharacters(form->lineEditPassword->text());
    password->url = removeForbiddenVaultCharacters(form->lineEditWebSite->text());
    password->note = removeForbiddenVaultCharacters(form->textEditNote->toPlainText());
    Q_EMIT passwordModified(password, passwordToReplaceIndex);
    leave();
}

void ViewContentPasswordInformation::_slotPushButtonCancelClicked()
{
    // Escape clicks Cancel too: a stray key must not throw away what was typed or generated.
    if (isRecordModified())
    {
        const QMessageBox::StandardButton answer =
            QMessageBox::question(this, tr("Discard changes"), tr("Discard the changes to this record?"),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }
    leave();
}

bool ViewContentPasswordInformation::isRecordModified() const
{
    return form->lineEditName->text().trimmed() != pointerPassword->name ||
           form->lineEditLogin->text() != pointerPassword->login ||
           form->lineEditPassword->text() != pointerPassword->password ||
           form->lineEditWebSite->text() != pointerPassword->url ||
           form->textEditNote->toPlainText() != pointerPassword->note;
}

void ViewContentPasswordInformation::_slotLineEditsTextEdited()
{
    updateFields();
}

void ViewContentPasswordInformation::_slotTextEditNoteTextChanged()
{
    if (isNoteBeingCleaned)
        return;
    removeForbiddenCharactersFromNote();
    updateFields();
}

void ViewContentPasswordInformation::_slotComboBoxPasswordGenerationModeCurrentIndexChanged(int index)
{
    form->widgetAdvancedPasswordGeneration->setVisible(index == PASSWORD_GENERATION_MODE_ADVANCED);
}

void ViewContentPasswordInformation::_slotCheckBoxAdvancedPasswordGenerationCheckStateChanged(int)
{
    form->pushButtonGeneratePassword->setEnabled(
        form->checkBoxLowercaseLetters->isChecked() || form->checkBoxUppercaseLetters->isChecked() ||
        form->checkBoxDigits->isChecked() || form->checkBoxSymbols->isChecked());
}

void ViewContentPasswordInformation::_slotLabelHelpLinkActivated(QString referenceDocumentFileName)
{
    showHelpPage(referenceDocumentFileName);
}

void ViewContentPasswordInformation::updateFields()
{
    const QString password = form->lineEditPassword->text();
    if (password.isEmpty())
    {
        form->labelPasswordCharactersCount->clear();
        form->labelPasswordRating->clear();
    }
    else
    {
        form->labelPasswordCharactersCount->setText(tr("Characters count: %1").arg(password.size()));
        // Rated as the health report rates it, the record's own name, login and web site included.
        const PasswordRating rating =
            ratePassword(password, passwordUserInputs(form->lineEditName->text(), form->lineEditLogin->text(),
                                                      form->lineEditWebSite->text()));
        form->labelPasswordRating->setText(rating.summaryText());
    }

    form->pushButtonShowPassword->setEnabled(!password.isEmpty());
    form->pushButtonCopyPassword->setEnabled(!password.isEmpty());

    form->pushButtonSave->setEnabled(!form->lineEditName->text().trimmed().isEmpty() && isRecordModified());
}

void ViewContentPasswordInformation::removeForbiddenCharactersFromNote()
{
    if (!containsForbiddenVaultCharacters(form->textEditNote->toPlainText()))
        return;
    isNoteBeingCleaned = true;
    QTextDocument* document = form->textEditNote->document();
    for (const QChar character : {QChar(0x0000), QChar(0x0003), QChar(0x0004)})
    {
        QTextCursor cursor = document->find(QString(character));
        while (!cursor.isNull())
        {
            cursor.removeSelectedText();
            cursor = document->find(QString(character), cursor);
        }
    }
    isNoteBeingCleaned = false;
}

void ViewContentPasswordInformation::leave()
{
    if (isPasswordCopied)
        Q_EMIT dataCopied();
    viewHost()->removeView(this);
}
