#include "ViewContentImportCSVFile.h"

#include "ViewHost.h"
#include "ui_ViewContentImportCSVFile.h"
#include "vault/VaultText.h"
#include "widgets/HelpLauncher.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <utility>

namespace
{
QString _askOpenFileNameWithDialog_helper(QWidget* parent, const QString& caption, const QString& directory,
                                          const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}
} // namespace

ViewContentImportCSVFile::ViewContentImportCSVFile(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentImportCSVFile),
      openFileNameAsker(_askOpenFileNameWithDialog_helper)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    setMainWidgetWidth(form->widgetMain);
    // The two destination fields line up, whatever the lengths of their labels in the language shown.
    const int destinationLabelWidth =
        qMax(form->labelCreateTabName->sizeHint().width(), form->labelSelectExistingTab->sizeHint().width());
    form->labelCreateTabName->setMinimumWidth(destinationLabelWidth);
    form->labelSelectExistingTab->setMinimumWidth(destinationLabelWidth);

    // Same order as FieldsSeparator and FileFormat.
    form->comboBoxFieldsSeparator->addItems({tr("Comma (,)"), tr("Semicolon (;)"), tr("Tab"), tr("Space")});
    form->comboBoxFieldsSeparator->setCurrentIndex(FIELDS_SEPARATOR_COMMA);
    form->comboBoxFileFormat->addItems(
        {tr("Corvane format (fixed columns order without a header)"), tr("Auto detect the header")});
    form->comboBoxFileFormat->setCurrentIndex(FILE_FORMAT_FIXED_COLUMNS_ORDER);

    connect(form->pushButtonSelectFile, &QPushButton::clicked, this,
            &ViewContentImportCSVFile::_slotPushButtonSelectFileClicked);
    connect(form->pushButtonOk, &QPushButton::clicked, this,
            &ViewContentImportCSVFile::_slotPushButtonOkClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentImportCSVFile::_slotPushButtonCancelClicked);
    connect(form->radioButtonCreateNewTab, &QRadioButton::clicked, this,
            &ViewContentImportCSVFile::_slotRadioButtonCreateNewTabClicked);
    connect(form->radioButtonImportToExistingTab, &QRadioButton::clicked, this,
            &ViewContentImportCSVFile::_slotRadioButtonImportToExistingTabClicked);
    connect(form->lineEditCreateTabName, &QLineEdit::textEdited, this,
            &ViewContentImportCSVFile::_slotLineEditCreateTabNameEdited);
    connect(form->labelHelp, &QLabel::linkActivated, this,
            &ViewContentImportCSVFile::_slotLabelHelpLinkActivated);
}

ViewContentImportCSVFile::~ViewContentImportCSVFile()
{
    delete form;
}

void ViewContentImportCSVFile::setImportContext(const QString& lastUsedDirectory,
                                                const QStringList& tabTitles, int currentTabIndex)
{
    this->lastUsedDirectory = lastUsedDirectory;
    form->comboBoxSelectExistingTab->clear();
    form->comboBoxSelectExistingTab->addItems(tabTitles);
    form->comboBoxSelectExistingTab->setCurrentIndex(currentTabIndex);

    const bool isTabPresent = !tabTitles.isEmpty();
    form->radioButtonImportToExistingTab->setEnabled(isTabPresent);
    form->widgetImportToExistingTab->setEnabled(isTabPresent);
}

void ViewContentImportCSVFile::setOpenFileNameAsker(OpenFileNameAsker asker)
{
    openFileNameAsker = asker ? std::move(asker) : OpenFileNameAsker(_askOpenFileNameWithDialog_helper);
}

QChar ViewContentImportCSVFile::fieldsSeparatorCharacter(int fieldsSeparatorIndex)
{
    switch (fieldsSeparatorIndex)
    {
    case FIELDS_SEPARATOR_SEMICOLON:
        return QLatin1Char(';');
    case FIELDS_SEPARATOR_TAB:
        return QLatin1Char('\t');
    case FIELDS_SEPARATOR_SPACE:
        return QLatin1Char(' ');
    default:
        return QLatin1Char(',');
    }
}

void ViewContentImportCSVFile::activate()
{
    // The separator and the file format stay as they were: the next file likely comes from the same place.
    completeFileName.clear();
    form->labelSelectedFile->setText(tr("No file selected."));
    form->labelSelectedFile->setToolTip(QString());
    form->labelSelectedFile->setAccessibleName(QString());
    form->lineEditCreateTabName->clear();
    form->radioButtonCreateNewTab->setChecked(true);
    form->pushButtonOk->setEnabled(false);
    form->groupBoxFileSettings->setEnabled(false);
    form->groupBoxDestinationTab->setEnabled(false);
    form->checkBoxReplaceExistingPasswords->setChecked(false);
    form->pushButtonSelectFile->setFocus();
}

void ViewContentImportCSVFile::_slotPushButtonSelectFileClicked()
{
    // The filter names file types, which stay untranslated like the extensions they list.
    const QString fileName = openFileNameAsker(this, tr("Import a CSV file"), lastUsedDirectory,
                                               QStringLiteral("Comma Separated Value (*.csv *.CSV)"));
    if (fileName.isEmpty())
        return;

    completeFileName = fileName;
    const QFileInfo fileInformation(fileName);
    // A long name loses its middle rather than its end; the tool tip holds the whole path, shown as typed
    // even if it looks like markup.
    QString shownFileName = fileInformation.fileName();
    const int labelWidth = form->labelSelectedFile->width();
    if (labelWidth > 0)
        shownFileName =
            form->labelSelectedFile->fontMetrics().elidedText(shownFileName, Qt::ElideMiddle, labelWidth);
    form->labelSelectedFile->setText(shownFileName);
    // Screen readers get the whole name, not what fits on screen.
    form->labelSelectedFile->setAccessibleName(fileInformation.fileName());
    form->labelSelectedFile->setToolTip(QStringLiteral("<p style=\"white-space:pre\">%1</p>")
                                            .arg(QDir::toNativeSeparators(fileName).toHtmlEscaped()));
    // Everything before the first dot: "bank.2024.csv" proposes "bank". The name becomes a tab name, so it
    // loses the characters the vault cannot store.
    form->lineEditCreateTabName->setText(removeForbiddenVaultCharacters(fileInformation.baseName()));
    form->lineEditCreateTabName->setCursorPosition(0);

    form->groupBoxFileSettings->setEnabled(true);
    form->groupBoxDestinationTab->setEnabled(true);
    if (form->radioButtonCreateNewTab->isChecked())
        _slotRadioButtonCreateNewTabClicked();
    else
        _slotRadioButtonImportToExistingTabClicked();
}

void ViewContentImportCSVFile::_slotPushButtonOkClicked()
{
    const bool isNewTabCreated = form->radioButtonCreateNewTab->isChecked();
    const QString newTabName = isNewTabCreated ? form->lineEditCreateTabName->text() : QString();
    const int selectedExistingTabIndex =
        isNewTabCreated ? -1 : form->comboBoxSelectExistingTab->currentIndex();
    const bool areExistingPasswordsReplaced = form->checkBoxReplaceExistingPasswords->isChecked();
    const bool isColumnsOrderFixed =
        form->comboBoxFileFormat->currentIndex() == FILE_FORMAT_FIXED_COLUMNS_ORDER;
    const QChar separator = fieldsSeparatorCharacter(form->comboBoxFieldsSeparator->currentIndex());
    const QString fileName = completeFileName;

    if (ViewHost* host = viewHost())
        host->removeView(this);
    Q_EMIT fileSelected(fileName, separator, isColumnsOrderFixed, newTabName, selectedExistingTabIndex,
                        areExistingPasswordsReplaced);
}

void ViewContentImportCSVFile::_slotPushButtonCancelClicked()
{
    if (ViewHost* host = viewHost())
        host->removeView(this);
}

void ViewContentImportCSVFile::_slotRadioButtonCreateNewTabClicked()
{
    form->widgetCreateNewTab->setEnabled(true);
    form->widgetImportToExistingTab->setEnabled(false);
    updateOkButtonForNewTabName();
}

void ViewContentImportCSVFile::_slotRadioButtonImportToExistingTabClicked()
{
    form->widgetCreateNewTab->setEnabled(false);
    form->widgetImportToExistingTab->setEnabled(true);
    form->pushButtonOk->setEnabled(true);
}

void ViewContentImportCSVFile::_slotLineEditCreateTabNameEdited(QString referenceText)
{
    // The name becomes a tab name: a pasted text loses the characters the vault cannot store.
    int removedCount = 0;
    const QString cleanText = removeForbiddenVaultCharacters(referenceText, &removedCount);
    if (removedCount > 0)
    {
        const int cursorPosition = form->lineEditCreateTabName->cursorPosition();
        form->lineEditCreateTabName->setText(cleanText);
        form->lineEditCreateTabName->setCursorPosition(qMax(0, cursorPosition - removedCount));
    }
    updateOkButtonForNewTabName();
}

void ViewContentImportCSVFile::_slotLabelHelpLinkActivated(QString referenceDocumentFileName)
{
    showHelpPage(referenceDocumentFileName);
}

void ViewContentImportCSVFile::updateOkButtonForNewTabName()
{
    form->pushButtonOk->setEnabled(!form->lineEditCreateTabName->text().trimmed().isEmpty());
}
