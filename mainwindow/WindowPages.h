#pragma once

class ViewContentApplicationLocked;
class ViewContentConfigureDevice;
class ViewContentDeviceCopyWizardPage1;
class ViewContentDeviceCopyWizardPage2;
class ViewContentDeviceCopyWizardPage3;
class ViewContentDeviceCopyWizardPage4;
class ViewContentDeviceErasingWizardPage1;
class ViewContentDeviceErasingWizardPage2;
class ViewContentDeviceErasingWizardPage3;
class ViewContentDeviceSelection;
class ViewContentImportCSVFile;
class ViewContentInsertReadingMasterPassword;
class ViewContentInsertWritingMasterPassword;
class ViewContentLineInputDialog;
class ViewContentMessageBoxDialog;
class ViewContentPasswordHealth;
class ViewContentPasswordInformation;
class ViewContentReadDevice;
class ViewContentSettings;
class ViewContentShowDeviceInformation;
class ViewContentStartMenu;
class ViewContentWriteDevice;

// The content views of the window's pages whose signals the workflows follow or which they fill before
// showing them. The window creates them (its children) and frames each in its page; this only points to
// them, typed.
struct WindowPages
{
    ViewContentMessageBoxDialog* messageBoxDialog = nullptr;
    ViewContentLineInputDialog* lineInputDialog = nullptr;
    ViewContentStartMenu* startMenu = nullptr;
    ViewContentPasswordInformation* passwordInformation = nullptr;
    ViewContentImportCSVFile* importCSVFile = nullptr;
    ViewContentApplicationLocked* applicationLocked = nullptr;
    ViewContentSettings* settings = nullptr;
    ViewContentDeviceSelection* deviceSelection = nullptr;
    ViewContentInsertReadingMasterPassword* insertReadingMasterPassword = nullptr;
    ViewContentInsertWritingMasterPassword* insertWritingMasterPassword = nullptr;
    ViewContentReadDevice* readDevice = nullptr;
    ViewContentWriteDevice* writeDevice = nullptr;
    ViewContentShowDeviceInformation* showDeviceInformation = nullptr;
    ViewContentConfigureDevice* configureDevice = nullptr;
    ViewContentDeviceErasingWizardPage1* deviceErasingWizardPage1 = nullptr;
    ViewContentDeviceErasingWizardPage2* deviceErasingWizardPage2 = nullptr;
    ViewContentDeviceErasingWizardPage3* deviceErasingWizardPage3 = nullptr;
    ViewContentDeviceCopyWizardPage1* deviceCopyWizardPage1 = nullptr;
    ViewContentDeviceCopyWizardPage2* deviceCopyWizardPage2 = nullptr;
    ViewContentDeviceCopyWizardPage3* deviceCopyWizardPage3 = nullptr;
    ViewContentDeviceCopyWizardPage4* deviceCopyWizardPage4 = nullptr;
    ViewContentPasswordHealth* passwordHealth = nullptr;
};
