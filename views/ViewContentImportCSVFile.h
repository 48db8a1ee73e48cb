#pragma once

#include "ViewContentBase.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <functional>

namespace Ui
{
class ViewContentImportCSVFile;
}

// Picks a CSV file, how to read it (separator, layout) and where its records go (a new tab or an existing
// one, replacing same-named records or not). Reads nothing itself: OK hands the choices to the main window
// through fileSelected(), which does the import.
class ViewContentImportCSVFile : public ViewContentBase
{
    Q_OBJECT

public:
    // Indices of the separator combo box.
    enum FieldsSeparator
    {
        FIELDS_SEPARATOR_COMMA = 0,
        FIELDS_SEPARATOR_SEMICOLON = 1,
        FIELDS_SEPARATOR_TAB = 2,
        FIELDS_SEPARATOR_SPACE = 3
    };

    // Indices of the file format combo box.
    enum FileFormat
    {
        FILE_FORMAT_FIXED_COLUMNS_ORDER = 0,
        FILE_FORMAT_AUTO_DETECT_HEADER = 1
    };

    // Asks for a file to open (parent, caption, start directory, filter); an empty result means cancelled.
    using OpenFileNameAsker = std::function<QString(QWidget* parent, const QString& caption,
                                                    const QString& directory, const QString& filter)>;

    explicit ViewContentImportCSVFile(QWidget* parent);
    ~ViewContentImportCSVFile() override;

    // Called before every visit: where the file dialog starts, the names of the tabs in tab order (the
    // existing-tab choice) and the tab selected at first.
    void setImportContext(const QString& lastUsedDirectory, const QStringList& tabTitles,
                          int currentTabIndex);

    // Replaces the file dialog (tests answer in its place); an empty function restores the dialog.
    void setOpenFileNameAsker(OpenFileNameAsker asker);

    // The separator a combo box index stands for; the comma for any unknown index.
    static QChar fieldsSeparatorCharacter(int fieldsSeparatorIndex);

    void activate() override;

Q_SIGNALS:
    // newTabName is empty and selectedExistingTabIndex the destination when importing into an existing tab;
    // selectedExistingTabIndex is -1 when a new tab is asked for.
    void fileSelected(QString completeFileName, QChar fieldsSeparatorCharacter, bool isColumnsOrderFixed,
                      QString newTabName, int selectedExistingTabIndex, bool areExistingPasswordsReplaced);

private Q_SLOTS:
    void _slotPushButtonSelectFileClicked();
    void _slotPushButtonOkClicked();
    void _slotPushButtonCancelClicked();
    void _slotRadioButtonCreateNewTabClicked();
    void _slotRadioButtonImportToExistingTabClicked();
    void _slotLineEditCreateTabNameEdited(QString referenceText);
    void _slotLabelHelpLinkActivated(QString referenceDocumentFileName);

private:
    void updateOkButtonForNewTabName();

    Ui::ViewContentImportCSVFile* form;
    QString lastUsedDirectory;
    QString completeFileName;
    OpenFileNameAsker openFileNameAsker;
};
