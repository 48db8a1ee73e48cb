#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentApplicationLicense;
}

// The license and news page shown at start until the running version's terms were accepted: the release
// news, the end-user license agreement, the terms of service and the LGPL text in one scrollable document.
// Accepting leads to the start menu (after the one-time welcome question), declining quits.
class ViewContentApplicationLicense : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentApplicationLicense(QWidget* parent);
    ~ViewContentApplicationLicense() override;

    void activate() override;

    // Where the documents are read from: ":/" (the compiled-in resources) unless changed. The folder holds
    // "News/" and "Licenses/" like the resources do; tests point it at a copy with a document missing.
    void setDocumentsPathPrefix(const QString& pathPrefix);

private Q_SLOTS:
    void _slotCheckBoxAcceptLicenseCheckStateChanged(Qt::CheckState state);
    void _slotPushButtonAcceptClicked();
    void _slotPushButtonDeclineClicked();

private:
    QString buildDocument() const;

    Ui::ViewContentApplicationLicense* form;
    QString documentsPathPrefix;
};
