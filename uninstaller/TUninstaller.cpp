#include "TUninstaller.h"

#include "SelfDelete.h"
#include "UninstallProcedure.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

TUninstaller::TUninstaller(TUninstallProcedure& procedure, int startPage, QWidget* parent)
    : QWidget(parent), FProcedure(procedure) {
    const QString appName = FProcedure.AppOptions().AppName;
    setWindowTitle(QStringLiteral("%1 Uninstaller").arg(appName));
    setFixedSize(734, 461);

    FPages = new QStackedLayout;
    FPages->addWidget(new QWidget); // Nothing is shown before the first page.

    QWidget* welcome =
        MakePage(QStringLiteral("Welcome to %1 installer").arg(appName),
                 QStringLiteral("This application will help you uninstall this program from your "
                                "computer and automatically remove any leftover files. To continue "
                                "press Uninstall."));
    FProgram_Title = welcome->findChild<QLabel*>(QStringLiteral("Heading"));
    FOption_RemoveProgramData = new QCheckBox(QStringLiteral("Remove leftover program data"), welcome);
    FOption_RemoveProgramData->setChecked(true);
    FOption_RemoveProgramData->setVisible(QFileInfo(FProcedure.AppOptions().AppDataPath).isDir());
    welcome->layout()->addWidget(FOption_RemoveProgramData);

    QWidget* processes =
        MakePage(QStringLiteral("The following processes need to be closed"),
                 QStringLiteral("The following processed are interrupting the installation from "
                                "continuinc. Please save any work you may have, and close the."));
    FProcess_Name = new QLabel(QStringLiteral("application.exe"), processes);
    auto* terminate = new QPushButton(QStringLiteral("Terminate All"), processes);
    connect(terminate, &QPushButton::clicked, this, &TUninstaller::Navigation_TerminateClick);
    processes->layout()->addWidget(FProcess_Name);
    processes->layout()->addWidget(terminate);

    QWidget* uninstall = MakePage(QStringLiteral("Uninstalling...."), QString());
    auto* steps = new QHBoxLayout;
    for (const char* step : {"| Preparing", "| Deleting Files", "| Removing Record"})
        steps->addWidget(new QLabel(QString::fromUtf8(step), uninstall));
    static_cast<QVBoxLayout*>(uninstall->layout())->addLayout(steps);
    FUninstall_Progress = new QProgressBar(uninstall);
    FUninstall_Progress->setRange(0, 100);
    FUninstall_Progress->setValue(0);
    uninstall->layout()->addWidget(FUninstall_Progress);

    QWidget* success =
        MakePage(QStringLiteral("The program has been uninstalled!"),
                 QStringLiteral("The program has been removed from your computer successfully!"));
    QWidget* fail = MakePage(
        QStringLiteral("We could not uninstall the program"),
        QStringLiteral("Try checking if any of the files are open and close them if they are. You can than "
                       "try to uninstall the program again. If it still doesn't work, please restart your "
                       "computer and try again."));
    for (QWidget* page : {welcome, processes, uninstall, success, fail})
        FPages->addWidget(page);

    FNavigation_Uninstall = new QPushButton(QStringLiteral("Uninstall"), this);
    FNavigation_Close = new QPushButton(QStringLiteral("Close"), this);
    connect(FNavigation_Uninstall, &QPushButton::clicked, this, [this] { NavClicker(2); });
    connect(FNavigation_Close, &QPushButton::clicked, this, [this] { NavClicker(3); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(FNavigation_Uninstall);
    buttons->addWidget(FNavigation_Close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(FPages, 1);
    layout->addLayout(buttons);

    FUninstallTick = new QTimer(this);
    FUninstallTick->setInterval(1000);
    connect(FUninstallTick, &QTimer::timeout, this, &TUninstaller::UninstallTickTimer);

    GoToPage(startPage);
}

QWidget* TUninstaller::MakePage(const QString& heading, const QString& text) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* title = new QLabel(heading, page);
    title->setObjectName(QStringLiteral("Heading"));
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    title->setFont(font);
    layout->addWidget(title);
    if (!text.isEmpty()) {
        auto* body = new QLabel(text, page);
        body->setWordWrap(true);
        layout->addWidget(body);
    }
    layout->addStretch();
    return page;
}

void TUninstaller::GoToPage(int page) {
    if (page <= NoPage || page > Page_Fail) return;
    if (page == Page_Uninstall && FProcedure.FindRunningProcess()) {
        FProcess_Name->setText(QFileInfo(FProcedure.AppOptions().ExeLocation).fileName());
        GoToPage(Page_Processes);
        return;
    }
    if (page == Page_Welcome)
        FOption_RemoveProgramData->setChecked(FProcedure.AppOptions().RemoveProgramData);
    if (page == Page_Uninstall) {
        // A hidden check box still holds the choice the report and the options made.
        FProcedure.AppOptions().RemoveProgramData = FOption_RemoveProgramData->isChecked();
        FUninstallTick->start();
    }
    FCurrentPage = page;
    FNavigation_Uninstall->setVisible(page == Page_Welcome || page == Page_Processes);
    FNavigation_Close->setVisible(page == Page_Success || page == Page_Fail);
    FPages->setCurrentIndex(page);
}

int TUninstaller::NextPage(int page) {
    switch (page) {
    case Page_Welcome:
        return Page_Uninstall;
    case Page_Processes:
        return FProcedure.FindRunningProcess() ? NoPage : Page_Uninstall;
    default:
        return page + 1;
    }
}

void TUninstaller::NavClicker(int tag) {
    if (tag == 2)
        GoToPage(NextPage(FCurrentPage));
    else if (tag == 3)
        close();
}

void TUninstaller::Navigation_TerminateClick() {
    FProcedure.FoundProcess().KillProcess();
}

void TUninstaller::UninstallTickTimer() {
    FUninstall_Progress->setValue(
        static_cast<int>(std::lround(FProcedure.UninstallStep() / 3.0 * FUninstall_Progress->maximum())));
    FProcedure.setUninstallStep(FProcedure.UninstallStep() + 1);
    // Every step runs whatever failed before it, as in a silent run: a shortcut
    // that stays must not keep the folders and the record from going.
    if (FProcedure.UninstallStep() > 3) {
        FinishUninstall();
        return;
    }
    FProcedure.RunUninstallStep(FProcedure.UninstallStep());
}

void TUninstaller::FinishUninstall() {
    FUninstallTick->stop();
    if (isVisible()) GoToPage(FProcedure.UninstallFailed() ? Page_Fail : Page_Success);
    if (FProcedure.CloseAfterFinish()) close();
}

void TUninstaller::SelfDeleteAndClose() {
    if (FProcedure.DeleteSelfOnClose()) StartDelayedSelfDelete(QCoreApplication::applicationFilePath());
}

void TUninstaller::closeEvent(QCloseEvent* event) {
    if (!FCloseRequested) {
        FCloseRequested = true;
        SelfDeleteAndClose();
    }
    event->accept();
}
