#include "TUninstaller.h"

#include "SelfDelete.h"
#include "UninstallProcedure.h"

#include "ColorFunctions.h"
#include "FXButton.h"
#include "FXCheckBox.h"
#include "FXDrawing.h"
#include "FXPanel.h"
#include "FXProgress.h"
#include "FXTextBox.h"
#include "FXThemeManager.h"
#include "TIntAni.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

// The window's design, in pixels of the client area below the title bar.
constexpr int ClientWidth = 734;
constexpr int ClientHeight = 461;
constexpr int CoverWidth = 225;
constexpr int ContainerWidth = 478;
constexpr int ContainerHeight = 348;
constexpr int ContainerLeft = CoverWidth + (ClientWidth - CoverWidth - ContainerWidth) / 2;
constexpr int ContainerTop = 24;
constexpr int NavigationWidth = 120;
constexpr int NavigationHeight = 35;
constexpr int NavigationMargin = 16;

FXTextBox* Text(QWidget* parent, const QString& text, const QRect& geometry, bool wrap = true) {
    auto* box = new FXTextBox(parent);
    box->setAutoSize(false);
    box->setWordWrap(wrap);
    box->setLayoutVertical(FXLayout::Beginning);
    box->setText(text);
    box->setGeometry(geometry);
    return box;
}

} // namespace

// The cover on the left: a gradient of the accent colour with the program's
// name, redrawn when the theme or the accent changes.
class CoverPicture : public QWidget {
  public:
    CoverPicture(QWidget* parent, const QString& name) : QWidget(parent), FName(name) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAccessibleName(name);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const TColor accent = ThemeManager != nullptr ? ThemeManager->AccentColor() : 0xD47800;
        const bool dark = ThemeManager != nullptr && ThemeManager->DarkTheme();
        QLinearGradient gradient(0, 0, width() * 0.4, height());
        gradient.setColorAt(0, ToQColor(ChangeLightness(accent, dark ? -10 : 20)));
        gradient.setColorAt(1, ToQColor(ChangeLightness(accent, dark ? -60 : -30)));
        painter.fillRect(rect(), gradient);
        painter.setRenderHint(QPainter::Antialiasing);
        // Three receding rings: something leaving, drawn without a picture file.
        painter.setPen(Qt::NoPen);
        for (int ring = 0; ring < 3; ++ring) {
            painter.setBrush(QColor(255, 255, 255, 40 - ring * 12));
            const int size = 150 - ring * 40;
            painter.drawEllipse(QRectF(width() / 2.0 - size / 2.0, height() * 0.36 - size / 2.0, size, size));
        }
        painter.setPen(Qt::white);
        QFont font = this->font();
        font.setPixelSize(22);
        font.setBold(true);
        painter.setFont(font);
        const QRect label(16, int(height() * 0.62), width() - 32, 90);
        painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, FName);
        font.setBold(false);
        font.setPixelSize(14);
        painter.setFont(font);
        painter.drawText(QRect(16, height() - 40, width() - 32, 24), Qt::AlignHCenter | Qt::AlignVCenter,
                         QCoreApplication::translate("TUninstaller", "Uninstaller"));
    }

  private:
    QString FName;
};

TUninstaller::TUninstaller(TUninstallProcedure& procedure, int startPage, QWidget* parent)
    : FXForm(parent), FProcedure(procedure) {
    const QString appName = FProcedure.AppOptions().AppName;
    setWindowTitle(QStringLiteral("%1 Uninstaller").arg(appName));
    setAccessibleName(windowTitle());
    // A single fixed border: the design's size, never resized or maximised.
    setResizable(false);
    const int top = GetTitlebarHeight();
    setFixedSize(ClientWidth, ClientHeight + top);

    FCover = new CoverPicture(this, appName);
    FCover->setGeometry(0, top, CoverWidth, ClientHeight);

    FPanels_Container = new QWidget(this);
    FPanels_Container->setObjectName(QStringLiteral("Panels_Container"));
    FPanels_Container->setGeometry(ContainerLeft, top + ContainerTop, ContainerWidth, ContainerHeight);

    const int textWidth = ContainerWidth;
    FXPanel* welcome =
        MakePage(Page_Welcome, QStringLiteral("Welcome to %1 installer").arg(appName),
                 QStringLiteral("This application will help you uninstall this program from your "
                                "computer and automatically remove any leftover files. To continue "
                                "press Uninstall."));
    FProgram_Title = welcome->findChild<FXTextBox*>(QStringLiteral("Heading"));
    FOption_RemoveProgramData = new FXCheckBox(welcome);
    FOption_RemoveProgramData->setObjectName(QStringLiteral("Option_RemoveProgramData"));
    FOption_RemoveProgramData->setText(QStringLiteral("Remove leftover program data"));
    FOption_RemoveProgramData->setChecked(true);
    FOption_RemoveProgramData->setGeometry(0, 170, 300, 32);
    FOption_RemoveProgramData->setVisible(QFileInfo(FProcedure.AppOptions().AppDataPath).isDir());

    FXPanel* processes =
        MakePage(Page_Processes, QStringLiteral("The following processes need to be closed"),
                 QStringLiteral("The following processed are interrupting the installation from "
                                "continuinc. Please save any work you may have, and close the."));
    FProcess_Name = Text(processes, QStringLiteral("application.exe"), QRect(0, 170, textWidth, 28), false);
    FProcess_Name->setObjectName(QStringLiteral("Process_Name"));
    QFont bold = FProcess_Name->font();
    bold.setBold(true);
    FProcess_Name->setFont(bold);
    FNavigation_Terminate = new FXButton(processes);
    FNavigation_Terminate->setObjectName(QStringLiteral("Navigation_Terminate"));
    FNavigation_Terminate->setText(QStringLiteral("Terminate All"));
    FNavigation_Terminate->setGeometry(0, 210, 140, NavigationHeight);
    connect(FNavigation_Terminate, &FXButton::OnClick, this, &TUninstaller::Navigation_TerminateClick);

    FXPanel* uninstall = MakePage(Page_Uninstall, QStringLiteral("Uninstalling...."), QString());
    const char* steps[] = {"| Preparing", "| Deleting Files", "| Removing Record"};
    for (int i = 0; i < 3; ++i)
        Text(uninstall, QString::fromUtf8(steps[i]), QRect(i * textWidth / 3, 84, textWidth / 3, 24), false);
    FUninstall_Progress = new FXProgress(uninstall);
    FUninstall_Progress->setObjectName(QStringLiteral("Uninstall_Progress"));
    FUninstall_Progress->setAccessibleName(QStringLiteral("Uninstall progress"));
    FUninstall_Progress->setGeometry(0, 116, textWidth, 20);
    FUninstall_Progress->setValue(0);

    MakePage(Page_Success, QStringLiteral("The program has been uninstalled!"),
             QStringLiteral("The program has been removed from your computer successfully!"));
    FXPanel* fail = MakePage(
        Page_Fail, QStringLiteral("We could not uninstall the program"),
        QStringLiteral("Try checking if any of the files are open and close them if they are. You can than "
                       "try to uninstall the program again. If it still doesn't work, please restart your "
                       "computer and try again."));
    // What went wrong, so the user knows what stayed behind.
    FFail_Reasons = Text(fail, QString(), QRect(0, 150, textWidth, ContainerHeight - 150));
    FFail_Reasons->setObjectName(QStringLiteral("Fail_Reasons"));

    // Pages 2 to 5 wait hidden; the welcome page lies beneath whatever comes to the front.
    for (int page = Page_Processes; page <= Page_Fail; ++page)
        FPages[page - 1]->hide();

    const QRect navigation(ClientWidth - NavigationMargin - NavigationWidth,
                           top + ClientHeight - NavigationMargin - NavigationHeight, NavigationWidth,
                           NavigationHeight);
    FNavigation_Uninstall = new FXButton(this);
    FNavigation_Uninstall->setObjectName(QStringLiteral("Navigation_Uninstall"));
    FNavigation_Uninstall->setText(QStringLiteral("Uninstall"));
    FNavigation_Uninstall->setTag(2);
    FNavigation_Uninstall->setButtonKind(FXButtonKind::Accent);
    FNavigation_Uninstall->setGeometry(navigation);
    FNavigation_Close = new FXButton(this);
    FNavigation_Close->setObjectName(QStringLiteral("Navigation_Close"));
    FNavigation_Close->setText(QStringLiteral("Close"));
    FNavigation_Close->setTag(3);
    FNavigation_Close->setGeometry(navigation);
    for (FXButton* button : {FNavigation_Uninstall, FNavigation_Close})
        connect(button, &FXButton::OnClick, this, [this, button] { NavClicker(button->Tag()); });

    FUninstallTick = new QTimer(this);
    FUninstallTick->setInterval(1000);
    connect(FUninstallTick, &QTimer::timeout, this, &TUninstaller::UninstallTickTimer);

    GoToPage(startPage);
    connect(this, &FXForm::OnThemeChange, this, &TUninstaller::ThemeChanged);
    UpdateTheme(true);
    ThemeChanged();
}

TUninstaller::~TUninstaller() {
    // A slide still running holds only guarded pointers; stopping the timer
    // keeps a last tick from reaching a half-destroyed window.
    FUninstallTick->stop();
}

FXPanel* TUninstaller::MakePage(int tag, const QString& heading, const QString& text) {
    auto* page = new FXPanel(FPanels_Container);
    page->setObjectName(QStringLiteral("Page_%1").arg(tag));
    page->setProperty("Tag", tag);
    page->setGeometry(0, 0, ContainerWidth, ContainerHeight);
    page->setAccessibleName(heading);
    FXTextBox* title = Text(page, heading, QRect(0, 0, ContainerWidth, 40), false);
    title->setObjectName(QStringLiteral("Heading"));
    if (ThemeManager != nullptr)
        title->setFont(FXFont(ThemeManager->FormFont(), ThemeManager->LargeFontHeight()));
    if (!text.isEmpty()) Text(page, text, QRect(0, 52, ContainerWidth, 100));
    FPages[tag - 1] = page;
    return page;
}

FXPanel* TUninstaller::PageWidget(int page) const {
    return page >= Page_Welcome && page <= Page_Fail ? FPages[page - 1] : nullptr;
}

void TUninstaller::ThemeChanged() {
    // The progress track's surround is the page's interior colour, which the
    // bar takes from the page it lies on; the cover follows the accent.
    FCover->update();
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
        FProcedure.AppOptions().RemoveProgramData = FOption_RemoveProgramData->Checked();
        FUninstallTick->start();
    }
    if (page == Page_Fail) {
        QStringList reasons;
        for (const QString& failure : FProcedure.Failures())
            reasons << QStringLiteral("• ") + failure.left(1).toUpper() + failure.mid(1);
        FFail_Reasons->setText(reasons.join(u'\n'));
    }
    FXPanel* old = PageWidget(FCurrentPage);
    FXPanel* next = PageWidget(page);
    FCurrentPage = page;
    FNavigation_Uninstall->setVisible(page == Page_Welcome || page == Page_Processes);
    FNavigation_Close->setVisible(page == Page_Success || page == Page_Fail);
    // Enter goes on with the flow: the page's navigation button takes the focus.
    for (FXButton* button : {FNavigation_Uninstall, FNavigation_Close})
        if (button->isVisibleTo(this)) button->setFocus(Qt::OtherFocusReason);
    if (old == next) old = nullptr;
    SlideIn(next, old);
}

void TUninstaller::SlideIn(FXPanel* page, FXPanel* old) {
    const int width = FPanels_Container->width();
    page->raise();
    page->move(width, 0);
    page->show();
    ++FSlides;
    QPointer<FXPanel> moving(page);
    QPointer<FXPanel> leaving(old);
    QPointer<TUninstaller> self(this);
    auto* animation = new TIntAni(
        true, TAniKind::akIn, TAniFunctionKind::afkSine, width, -width,
        [moving](int value) {
            if (moving) moving->move(value, 0);
        },
        [moving, leaving, self] {
            if (moving) moving->move(0, 0);
            // A page that came back to the front meanwhile stays.
            if (leaving && self && self->PageWidget(self->FCurrentPage) != leaving) leaving->hide();
            if (self) --self->FSlides;
        });
    animation->setDuration(SlideDuration);
    animation->setStep(20);
    animation->Start();
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
    FUninstall_Progress->setValue(float(std::lround(FProcedure.UninstallStep() / 3.0 * 100)));
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
    FXForm::closeEvent(event);
    event->accept();
}
