#include "ViewContentStartMenu.h"

#include "mainwindow/FormContentEditor.h"
#include "mainwindow/HelpLauncher.h"
#include "ui_ViewContentStartMenu.h"

#include <QCoreApplication>
#include <QSvgRenderer>
#include <QTimer>

ViewContentStartMenu::ViewContentStartMenu(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentStartMenu)
{
    form->setupUi(this);
    form->svgWidgetLogo->load(QStringLiteral(":/Icon.svg"));
    form->svgWidgetLogo->renderer()->setAspectRatioMode(Qt::KeepAspectRatio);

    connect(form->pushButtonOpenDevice, &QPushButton::clicked, this,
            &ViewContentStartMenu::_slotPushButtonOpenDeviceClicked);
    connect(form->pushButtonQuit, &QPushButton::clicked, QCoreApplication::instance(),
            &QCoreApplication::quit);
    connect(form->labelGettingStarted, &QLabel::linkActivated, this,
            &ViewContentStartMenu::_slotLabelGettingStartedLinkActivated);
    connect(form->labelDeviceInitialization, &QLabel::linkActivated, this,
            &ViewContentStartMenu::_slotLabelDeviceInitializationLinkActivated);
}

ViewContentStartMenu::~ViewContentStartMenu()
{
    delete form;
}

void ViewContentStartMenu::activate()
{
    // The automatic update check runs once per run, after the start menu has been displayed.
    if (isUpdateCheckScheduled)
        return;
    QTimer::singleShot(0, this, &ViewContentStartMenu::_slotTimerCheckForApplicationUpdateTimeout);
    isUpdateCheckScheduled = true;
}

void ViewContentStartMenu::_slotPushButtonOpenDeviceClicked()
{
    Q_EMIT openDeviceClicked();
}

void ViewContentStartMenu::_slotLabelGettingStartedLinkActivated(QString referenceDocumentFileName)
{
    showHelpPage(referenceDocumentFileName);
}

void ViewContentStartMenu::_slotLabelDeviceInitializationLinkActivated(QString)
{
    Q_EMIT initializeDeviceClicked();
}

void ViewContentStartMenu::_slotTimerCheckForApplicationUpdateTimeout()
{
    // A window built without being published as the main window (tools, tests) has no update check.
    if (mainWindow)
        mainWindow->startAutomaticUpdateCheck();
}
