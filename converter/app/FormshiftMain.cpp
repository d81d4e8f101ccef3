#include "FormshiftMain.h"

#include "About.h"
#include "CommandLine.h"
#include "FXButton.h"
#include "FXCheckBox.h"
#include "FXCompleteColorSet.h"
#include "FXPanel.h"
#include "FXProgress.h"
#include "FXSlider.h"
#include "FXTextBox.h"
#include "FXThemeManager.h"
#include "FileCatching.h"
#include "FormPosition.h"
#include "HandOver.h"
#include "HistoryViewer.h"
#include "LabelButton.h"
#include "LauncherProgress.h"
#include "MessageDisplay.h"
#include "ProgramVersion.h"
#include "SettingsBinding.h"
#include "ShellHelpers.h"
#include "StartupCommands.h"
#include "TextLines.h"
#include "TypePicker.h"
#include "WindowPlacement.h"
#include "ui_Formshift.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QShortcut>
#include <array>
#include <cstdio>
#include <stdexcept>

namespace {

const QString IdleCaption = QStringLiteral("🢂 Convert All");
const QString RunningCaption = QStringLiteral("🕑 Converting");
const QString NoFolderCaption = QStringLiteral(" 📁 Select Path ");
const QColor IdleColor(255, 128, 0);
const QColor RunningColor(0, 128, 0);

QString DefaultChooseFolder(QWidget* parent, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Export folder"), start);
}

QStringList DefaultChooseFiles(QWidget* parent) {
    return QFileDialog::getOpenFileNames(parent, QStringLiteral("Open files"));
}

QString DefaultChooseSaveFile(QWidget* parent, const QStringList& filters, bool& firstFilter) {
    QString selected = filters.value(0);
    const QString name = QFileDialog::getSaveFileName(parent, QStringLiteral("Convert to"), QString(),
                                                      filters.join(QStringLiteral(";;")), &selected);
    firstFilter = selected == filters.value(0);
    return name;
}

// A relative folder would mean something else once the program starts elsewhere.
QString Absolute(const QString& folder) {
    return QDir::isRelativePath(folder) ? QDir::current().absoluteFilePath(folder) : folder;
}

} // namespace

TFormshift::TFormshift(const QString& dataFolder, QWidget* parent)
    : FXForm(parent), FUi(new Ui::Formshift), FDataFolder(dataFolder), FDriver(FJobs, *this, FActions, this),
      FCopies(*this, dataFolder + QStringLiteral("Send/"), this),
      FDropFlash([this](const QColor& colour) { PaintDropZone(colour); }, [this] { return DropZoneBase(); },
                 this) {
    LoadDesign(*FUi);
    FillDesignedTexts();
    FDriver.DataFolder = dataFolder;
    Dialogs = {DefaultChooseFolder, DefaultChooseFiles, DefaultChooseSaveFile};

    FHideUX.setInterval(1);
    connect(&FHideUX, &QTimer::timeout, this, [this] {
        if (isVisible()) hide();
    });

    BindControls();
    BindShortcuts();
    SetTabOrder();
    PaintDropZone(DropZoneBase());
    ExchangeSettings(true);
    ReadOptions();
    setAcceptDrops(true);
    FDriver.SourceFormat = FormatTag::AUTO;
    FDriver.TargetFormat = FormatTag::PNG;
    ShowListOrDropZone();
    SyncVarNames();
    ArrangePanels();
}

TFormshift::~TFormshift() {
    // Closing the window moves the focus, and the focus watch below must not
    // see a window whose members are already gone.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void TFormshift::BindControls() {
    FUi->ItemsFiles->setJobs(&FJobs, [this] { return FDriver.RunState() == RunStateKind::Idle; });
    connect(FUi->ItemsFiles, &TFileListBox::DeleteRequested, this, &TFormshift::DeleteRow);
    connect(FUi->ItemsFiles, &TFileListBox::SaveRequested, this, &TFormshift::SaveRow);
    FUi->DropZonePanel->installEventFilter(this);
    for (QWidget* opener : {static_cast<QWidget*>(FUi->CenterPn), static_cast<QWidget*>(FUi->CImage1),
                            static_cast<QWidget*>(FUi->Label5)})
        opener->installEventFilter(this);

    connect(FUi->BtFrom, &TLabelButton::clicked, this, [this] { Types().PickItem(FUi->BtFrom); });
    connect(FUi->BtTo, &TLabelButton::clicked, this, [this] { Types().PickItem(FUi->BtTo); });
    connect(FUi->ConvertBt, &TLabelButton::clicked, this, [this] { FDriver.ConvertAll(); });
    connect(FUi->StopBt, &TLabelButton::clicked, this, [this] { FDriver.StopConversion(); });
    connect(FUi->ClearAll, &TLabelButton::clicked, this, &TFormshift::ClearAllClick);
    connect(FUi->Label7, &TLabelButton::clicked, this, &TFormshift::ToggleExtraConvert);
    connect(FUi->Label6, &TLabelButton::clicked, this, &TFormshift::OpenFiles);
    connect(FUi->dirlabel, &TLabelButton::released, this, &TFormshift::dirlabelRelease);
    connect(FUi->labelhistory, &TLabelButton::clicked, this, [this] { HistView().OpenAbove(FUi->dirlabel); });
    connect(FUi->SettingsBt, &TLabelButton::clicked, this, &TFormshift::SettingsBtClick);
    connect(FUi->Set_HistView, &FXCheckBox::OnChange, this, &TFormshift::FormResize);
    connect(FUi->Set_OverideFrom, &FXCheckBox::OnChange, this, &TFormshift::FormResize);
    connect(FUi->ClearCacheBt, &FXButton::OnClick, this, &TFormshift::ClearCacheClick);
    connect(FUi->AboutBt, &FXButton::OnClick, this, &TFormshift::Label3Click);
    connect(FUi->Label3, &FXButton::OnClick, this, &TFormshift::Label3Click);
    connect(FUi->Label4, &FXButton::OnClick, this, &TFormshift::Label4Click);
    connect(FUi->Ver_Check, &FXButton::OnClick, this, [this] {
        if (FOnCheckForUpdates) FOnCheckForUpdates();
    });
    connect(FUi->SettingsPages, &QTabWidget::currentChanged, this, &TFormshift::RefreshClearCache);

    // The run reads its options from the driver; the controls keep them current.
    for (FXCheckBox* box :
         {FUi->Set_IgnoreComplete, FUi->Set_IgnoreForErr, FUi->Set_UltraIcoRes, FUi->Set_FixWhitePng,
          FUi->Set_SmoothSize, FUi->Set_Lossless, FUi->Set_KeepFileDates})
        connect(box, &FXCheckBox::OnChange, this, &TFormshift::ReadOptions);
    connect(FUi->Set_DoneConvert, &QComboBox::currentIndexChanged, this, &TFormshift::ReadOptions);
    connect(FUi->Set_Quality, &FXSlider::OnChangeValue, this, &TFormshift::ReadOptions);
    connect(FUi->Set_JpegQuality, &FXSlider::OnChangeValue, this, &TFormshift::ReadOptions);
    connect(FUi->Set_Simultaneous, &FXSlider::OnChangeValue, this, &TFormshift::ReadOptions);
    // One conversion per core unless the stored settings say otherwise.
    FUi->Set_Simultaneous->setPosition(DefaultSimultaneousConversions());

    // The option panel closes as soon as the focus leaves it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        QWidget* panel = FUi->ExtraConvert;
        if (panel->isVisible() && now != panel && !panel->isAncestorOf(now)) panel->hide();
    });
}

void TFormshift::BindShortcuts() {
    // Window-wide, so they work wherever the focus stands; each does what its button does.
    const auto bind = [this](const QKeySequence& keys, auto action) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    bind(QKeySequence::Open, [this] {
        if (FDriver.RunState() == RunStateKind::Idle) OpenFiles();
    });
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        bind(keys, [this] {
            if (FDriver.RunState() == RunStateKind::Idle) FDriver.ConvertAll();
        });
    bind(QKeySequence(Qt::Key_Escape), [this] {
        if (FDriver.RunState() != RunStateKind::Idle)
            FDriver.StopConversion();
        else if (FUi->ExtraConvert->isVisible())
            FUi->ExtraConvert->hide();
    });
    bind(QKeySequence(Qt::Key_F1), &TFormshift::Label3Click);
    // Delete and Ctrl+S belong to the list: they act on its current row only
    // while it has the focus, never on a file the user is not looking at.
}

void TFormshift::SetTabOrder() {
    // The order the eye reads the window: top bar, list, bottom bar, then the settings.
    const QList<QWidget*> chain{FUi->BtFrom,       FUi->BtTo,         FUi->ClearAll,   FUi->ConvertBt,
                                FUi->Label7,       FUi->CenterPn,     FUi->ItemsFiles, FUi->Label6,
                                FUi->dirlabel,     FUi->labelhistory, FUi->StopBt,     FUi->SettingsBt,
                                FUi->SettingsPages};
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void TFormshift::ReadOptions() {
    ConversionSettings& settings = FDriver.Settings;
    settings.IgnoreComplete = FUi->Set_IgnoreComplete->Checked();
    settings.IgnoreForErr = FUi->Set_IgnoreForErr->Checked();
    settings.DoneConvert = FUi->Set_DoneConvert->currentIndex();
    settings.UltraIcoRes = FUi->Set_UltraIcoRes->Checked();
    settings.FixWhitePng = FUi->Set_FixWhitePng->Checked();
    settings.SmoothSize = FUi->Set_SmoothSize->Checked();
    settings.Lossless = FUi->Set_Lossless->Checked();
    settings.Quality = int(FUi->Set_Quality->Position());
    settings.JpegQuality = int(FUi->Set_JpegQuality->Position());
    settings.SimultaneousConversions = int(FUi->Set_Simultaneous->Position());
    settings.KeepFileDates = FUi->Set_KeepFileDates->Checked();
}

// ---- Layout -------------------------------------------------------------------

void TFormshift::ArrangePanels() {
    // The settings panel sits at the right; the working area takes the rest.
    QWidget* settings = FUi->SettingsHold;
    const int settingsWidth = settings->isVisibleTo(this) ? settings->width() : 0;
    // Both stand below the title bar.
    const int top = contentsRect().top();
    settings->setGeometry(width() - settings->width(), top, settings->width(), height() - top);
    FUi->ItemsHold->setGeometry(0, top, width() - settingsWidth, height() - top);
}

void TFormshift::resizeEvent(QResizeEvent* event) {
    // The form stretches its title bar over the new width.
    FXForm::resizeEvent(event);
    if (isVisible()) FormResize();
    ArrangePanels();
}

void TFormshift::showEvent(QShowEvent* event) {
    // The form sets up its title bar and starts watching its edges for resizing.
    FXForm::showEvent(event);
    // The first size arrives before the window counts as visible.
    FormResize();
}

void TFormshift::FormResize() {
    if (width() < FUi->SettingsHold->width() + 700) FUi->SettingsHold->hide();
    FUi->labelhistory->setVisible(FUi->Set_HistView->Checked());
    UpdatePathCaption();
    ArrangePanels();
}

void TFormshift::SettingsBtClick() {
    FUi->ExtraConvert->hide();
    const int wanted = FUi->SettingsHold->width() + 700;
    if (width() < wanted) resize(wanted, height());
    FUi->SettingsHold->setVisible(!FUi->SettingsHold->isVisibleTo(this));
    FormResize();
}

void TFormshift::ToggleExtraConvert() {
    QWidget* panel = FUi->ExtraConvert;
    QWidget* button = FUi->Label7;
    panel->adjustSize();
    panel->move(button->mapTo(this, QPoint(button->width() - panel->width(), button->height())));
    panel->setVisible(!panel->isVisible());
    if (panel->isVisible()) {
        panel->raise();
        panel->setFocus();
    }
}

bool TFormshift::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FUi->DropZonePanel && event->type() == QEvent::Resize) {
        // Each half is rounded towards zero on its own.
        QWidget* center = FUi->CenterPn;
        const QWidget* zone = FUi->DropZonePanel;
        center->move(zone->width() / 2 - center->width() / 2, zone->height() / 2 - center->height() / 2);
    } else if (watched == FUi->CenterPn && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenFiles();
            return true;
        }
    } else if ((watched == FUi->CenterPn || watched == FUi->CImage1 || watched == FUi->Label5) &&
               event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            OpenFiles();
            return true;
        }
    }
    return FXForm::eventFilter(watched, event);
}

// ---- Job list and run -----------------------------------------------------------

void TFormshift::ShowListOrDropZone() {
    // The one behind would still take the focus and be read aloud, so only the
    // one in front is shown.
    const bool empty = FJobs.FileList.isEmpty();
    FUi->DropZonePanel->setVisible(empty);
    FUi->ItemsFiles->setVisible(!empty);
}

void TFormshift::ListChanged() {
    ShowListOrDropZone();
    FUi->ItemsFiles->Refresh();
    UpdatePathCaption();
}

void TFormshift::ProgressChanged(int overall) {
    // A row's percentage may move without the list changing otherwise.
    FUi->ItemsFiles->Refresh();
    FUi->ProgressStat->setValue(overall);
    SetLauncherProgress(QStringLiteral("com.brenvale.Formshift.desktop"), overall, true);
}

void TFormshift::RunStarted() {
    FUi->ConvertBt->setText(RunningCaption);
    FUi->ConvertBt->setAccessibleName(QStringLiteral("Converting"));
    FUi->ConvertBt->setColor(RunningColor);
    FUi->StopBt->show();
    FUi->MenuTop->setEnabled(false);
    FUi->ExtraConvert->hide();
    FUi->ProgressStat->show();
}

void TFormshift::RunFinished() {
    FUi->ConvertBt->setText(IdleCaption);
    FUi->ConvertBt->setAccessibleName(QStringLiteral("Convert all"));
    FUi->ConvertBt->setColor(IdleColor);
    FUi->StopBt->hide();
    FUi->MenuTop->setEnabled(true);
    FUi->ProgressStat->hide();
    SetLauncherProgress(QStringLiteral("com.brenvale.Formshift.desktop"), 0, false);
}

QString TFormshift::ProvideExportPath() {
    if (FDriver.BackgroundMode) {
        // Nobody can answer a dialog in a background run.
        FMissingExportFolder = true;
        return QString();
    }
    return SelectPath(QString(), false) ? FDriver.ExportPath : QString();
}

void TFormshift::CloseMainWindow() {
    close();
    QCoreApplication::quit();
}

void TFormshift::FileFailed(int item, const QString& reason) {
    ++FFailedFiles;
    // The window shows the row; a background run has nobody looking at it.
    if (!FDriver.BackgroundMode) return;
    const QString file = item < FJobs.Count() ? FJobs.FileList[item] : QString();
    std::fputs(qPrintable(QStringLiteral("formshift: %1: %2\n").arg(file, reason)), stderr);
    std::fflush(stderr);
}

void TFormshift::ClearAllClick() {
    if (FDriver.RunState() != RunStateKind::Idle) return;
    FJobs.Clear();
    ShowListOrDropZone();
    FUi->ClearAll->hide();
    FDriver.PrepareList();
}

void TFormshift::DeleteRow(int row) {
    if (FDriver.RunState() != RunStateKind::Idle || row < 0 || row >= FJobs.Count()) return;
    FJobs.RemoveItem(row);
    FDriver.PrepareList();
}

void TFormshift::SaveRow(int row) {
    if (FDriver.RunState() != RunStateKind::Idle || row < 0 || row >= FJobs.Count()) return;
    const FormatTag target = FDriver.TargetFormat;
    const QString extension = FormatExtension(target);
    const QStringList filters{FormatName(target) + QStringLiteral(" File (*") + extension + QLatin1Char(')'),
                              QStringLiteral("All Files (*)")};
    bool firstFilter = true;
    QString name = Dialogs.ChooseSaveFile(this, filters, firstFilter);
    if (name.isEmpty()) return;
    if (firstFilter && !name.endsWith(extension, Qt::CaseSensitive)) name += extension;
    FDriver.ConvertSingle(row, name);
}

void TFormshift::Label3Click() {
    TAboutForm::Open();
}

void TFormshift::Label4Click() {
    ShellOpen(MakerWebAddress());
}

// ---- Formats ----------------------------------------------------------------------

void TFormshift::SyncVarNames() {
    FUi->BtFrom->setText(FormatName(FDriver.SourceFormat));
    FUi->BtTo->setText(FormatName(FDriver.TargetFormat));
    FUi->BtFrom->setAccessibleName(QStringLiteral("Convert from ") + FormatName(FDriver.SourceFormat));
    FUi->BtTo->setAccessibleName(QStringLiteral("Convert to ") + FormatName(FDriver.TargetFormat));
}

TTypes& TFormshift::Types() {
    if (!FTypes) {
        FTypes = new TTypes(this);
        connect(FTypes, &TTypes::Picked, this, [this](int changeId, int tag) {
            if (changeId == 1) FDriver.SourceFormat = static_cast<FormatTag>(tag);
            if (changeId == 2) FDriver.TargetFormat = static_cast<FormatTag>(tag);
            SyncVarNames();
        });
    }
    return *FTypes;
}

// ---- Export folder ----------------------------------------------------------------

bool TFormshift::SelectPath(const QString& path, bool NoHistory) {
    bool result = false;
    if (!path.isEmpty() && QFileInfo(path).isDir()) {
        FDriver.ExportPath = Absolute(path);
        result = true;
    } else if (!FDriver.BackgroundMode) {
        const QString chosen = Dialogs.ChooseFolder(this, FDriver.ExportPath);
        if (!chosen.isEmpty()) {
            FDriver.ExportPath = Absolute(chosen);
            result = QFileInfo(chosen).isDir();
        }
    }
    if (result) {
        if (FUi->Set_HistView->Checked() && !NoHistory) HistView().AddHistory(FDriver.ExportPath);
        UpdatePathCaption();
    }
    return result;
}

void TFormshift::UpdatePathCaption() {
    const bool wide = width() >= 800;
    FUi->Label9->setText(wide ? QStringLiteral("Convert from") : QStringLiteral("From"));
    if (!wide) {
        FUi->ClearAll->hide();
    } else if (!FJobs.FileList.isEmpty()) {
        FUi->ClearAll->show();
    }
    const QString& path = FDriver.ExportPath;
    FUi->dirlabel->setAccessibleName(path.isEmpty() ? QStringLiteral("Choose export folder")
                                                    : QStringLiteral("Export folder ") + path);
    if (path.isEmpty()) {
        // A folder sign alone would not say what the button is for.
        FUi->dirlabel->setText(NoFolderCaption);
    } else if (path.size() > 55 || !wide) {
        QString folder = path;
        if (folder.endsWith(QLatin1Char('/'))) folder.chop(1);
        const QString name = folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1);
        FUi->dirlabel->setText(QStringLiteral(" 📁 Export to: \"") + name + QStringLiteral("\" "));
    } else {
        FUi->dirlabel->setText(QStringLiteral(" 📁 ") + path + QLatin1Char(' '));
    }
}

void TFormshift::dirlabelRelease(Qt::MouseButton button) {
    if (button == Qt::MiddleButton) {
        if (!FDriver.ExportPath.isEmpty()) ShellOpen(FDriver.ExportPath);
    } else if (button == Qt::LeftButton) {
        SelectPath(QString(), false);
    }
}

THistView& TFormshift::HistView() {
    if (!FHistView) {
        FHistView = new THistView(FDataFolder + QStringLiteral("folderhistory.txt"), this);
        connect(FHistView, &THistView::PathChosen, this,
                [this](const QString& path) { SelectPath(path, false); });
    }
    return *FHistView;
}

// ---- Settings -------------------------------------------------------------------------

QStringList TFormshift::ExchangeSettings(bool Load) {
    QStringList errors;
    const QString positions = FDataFolder + QStringLiteral("window.ini");
    if (!PersistFormPosition(this, positions, Load, true) && !Load)
        errors << QStringLiteral("Cannot write %1").arg(positions);
    if (Load) FitOntoScreen(this);

    TSettingsControls controls{FUi->Set_ReloadPath,     FUi->Set_ExportPath,       FUi->Set_HistView,
                               FUi->Set_OverideFrom,    FUi->Set_CheckUpdateStart, FUi->Set_DoneConvert,
                               FUi->Set_IgnoreComplete, FUi->Set_IgnoreForErr,     FUi->Set_UltraIcoRes,
                               FUi->Set_FixWhitePng,    FUi->Set_SmoothSize,       FUi->Set_Lossless,
                               FUi->Set_Quality,        FUi->Set_JpegQuality};
    controls.SimultaneousConversions = FUi->Set_Simultaneous;
    controls.KeepFileDates = FUi->Set_KeepFileDates;
    QString lastPath = FDriver.ExportPath;
    const QString error =
        ExchangeSettingsFile(FDataFolder + QStringLiteral("setings.ini"), controls,
                             Load ? SettingsDirection::Load : SettingsDirection::Save, lastPath);
    if (!error.isEmpty()) errors << error;
    // Restored without a history entry: the folder was chosen in an earlier session.
    if (Load && FUi->Set_ReloadPath->Checked() && !lastPath.isEmpty() && QFileInfo(lastPath).isDir())
        SelectPath(lastPath, true);
    return errors;
}

void TFormshift::ClearCacheClick() {
    FUi->ClearCacheBt->setEnabled(false);
    try {
        FDriver.TempFolder(true);
        FDriver.ClearTempFolder();
    } catch (const std::exception& error) {
        ShowErrorMessage(this, QString::fromStdString(error.what()));
    }
}

void TFormshift::RefreshClearCache() {
    if (FUi->SettingsPages->currentWidget() == FUi->PageExplorer)
        FUi->ClearCacheBt->setEnabled(QFileInfo(FDriver.TempFolder(false)).isDir());
}

// ---- Closing --------------------------------------------------------------------------

void TFormshift::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    event->accept();
}

void TFormshift::FormCloseQuery() {
    if (FClosed) return;
    FClosed = true;
    if (windowTitle() != TRunningCopies::PrimaryCaption) return;
    // Stop answering as the first copy before a clone takes the role, so that no
    // hand-over reaches a window that is going away.
    FCopies.Close();
    SendToInstance(QStringLiteral("primary"), TRunningCopies::CloneCaption);
    QStringList errors = ExchangeSettings(false);
    if (FUi->Set_HistView->Checked() && FHistView) {
        const QString error = FHistView->SaveHistory();
        if (!error.isEmpty()) errors << error;
    }
    // Reported once; the window closes all the same.
    if (!errors.isEmpty()) ReportError(errors.join(QLatin1Char('\n')));
}

void TFormshift::ReportError(const QString& text) {
    // An unattended run must not wait for someone to close a message box.
    if (FDriver.BackgroundMode) {
        std::fputs(qPrintable(QStringLiteral("formshift: ") + text + QLatin1Char('\n')), stderr);
        return;
    }
    ShowErrorMessage(this, text);
}

// ---- Running copies -------------------------------------------------------------------

namespace {

QColor Rgb(TColor color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

QColor Mix(const QColor& a, const QColor& b, double share) {
    const auto mix = [share](int x, int y) { return int(x + (y - x) * share + 0.5); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

} // namespace

void TFormshift::UpdateTheme(bool UpdateChildren) {
    FXForm::UpdateTheme(UpdateChildren);
    ApplyThemeColors();
}

void TFormshift::ApplyThemeColors() {
    if (!ThemeManager || !FUi) return;
    const FXCompleteColorSet& colors = *ThemeManager->SystemColor();
    const QColor interior = Rgb(colors.BackGroundInterior());
    const QColor surface = Rgb(colors.BackGround());
    const QColor text = Rgb(colors.ForeGround());
    const QColor accent = Rgb(ThemeManager->AccentColor());
    // The plain widgets (the tab bar, the drop-down list, the labels on the
    // window) draw with these roles; the themed controls, the file list among
    // them, follow the theme manager by themselves.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, interior);
    colours.setColor(QPalette::AlternateBase, interior);
    colours.setColor(QPalette::Button, surface);
    for (QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText})
        colours.setColor(role, text);
    // Half-way colours that still read at 4.5:1 on either background.
    colours.setColor(QPalette::PlaceholderText, Mix(text, interior, 0.3));
    colours.setColor(QPalette::Light, Mix(surface, text, 0.08));
    colours.setColor(QPalette::Midlight, Mix(surface, text, 0.15));
    colours.setColor(QPalette::Mid, Mix(surface, text, 0.35));
    colours.setColor(QPalette::Dark, Mix(surface, text, 0.5));
    colours.setColor(QPalette::Shadow, Mix(surface, text, 0.7));
    colours.setColor(QPalette::Highlight, accent);
    colours.setColor(QPalette::HighlightedText, accent.lightness() > 150 ? Qt::black : Qt::white);
    colours.setColor(QPalette::ToolTipBase, surface);
    colours.setColor(QPalette::ToolTipText, text);
    setPalette(colours);

    // The working area and the settings panel stand on the interior colour.
    for (QWidget* area : {static_cast<QWidget*>(FUi->ItemsHold), static_cast<QWidget*>(FUi->SettingsPages)}) {
        QPalette own = area->palette();
        own.setColor(QPalette::Window, interior);
        area->setPalette(own);
    }
    if (!FDropFlash.Active()) PaintDropZone(DropZoneBase());
    update();
}

void TFormshift::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange) FCopies.CaptionChanged();
    QWidget::changeEvent(event);
}

TFormshift::StartOutcome TFormshift::ProcessCommandLine(const QStringList& parameters, bool secondInstance) {
    FSecondInstance = secondInstance;
    return ObeyCommandLine(*this, parameters, secondInstance);
}

bool TFormshift::HandOverToFirstCopy(const QStringList& files) {
    return FCopies.HandOver(files);
}

bool TFormshift::ExportPathFromOpenedFiles() const {
    return FUi->Set_ExportPath->Checked();
}

void TFormshift::HideForBackgroundRun() {
    FHideUX.start();
}

void TFormshift::FilesArrived() {
    FDriver.PrepareList();
}

void TFormshift::BringToFront() {
    if (!isVisible()) return;
    raise();
    activateWindow();
    FlashApplication();
    setFocus();
}

// ---- File intake ----------------------------------------------------------------------

void TFormshift::AddFile(const QString& path) {
    const QFileInfo file(path);
    if (!path.isEmpty() && file.isFile()) FJobs.FileList << file.absoluteFilePath();
}

void TFormshift::AddFiles(const QStringList& list) {
    QStringList unnamable;
    for (const QString& path : list) {
        if (IsUnnamablePath(path)) unnamable << path;
        AddFile(path);
    }
    ShowListOrDropZone();
    if (unnamable.isEmpty()) return;
    FFailedFiles += int(unnamable.size());
    ReportError(QStringLiteral("These files cannot be converted, as their names are not UTF-8 text; "
                               "rename them to convert them:\n") +
                unnamable.join(QLatin1Char('\n')));
}

void TFormshift::GuessSourceFormat() {
    const QStringList& files = FJobs.FileList;
    const auto tagOf = [](const QString& path) { return FormatFromExtension(QFileInfo(path).suffix()); };
    FormatTag candidate = FormatTag::Unknown;
    if (files.size() > 100) {
        candidate = tagOf(files.first());
    } else if (!files.isEmpty()) {
        std::array<int, LastFormatTag + 1> counts{};
        for (const QString& path : files)
            ++counts[static_cast<std::size_t>(tagOf(path))];
        std::size_t best = 0;
        for (std::size_t tag = 1; tag < counts.size(); ++tag) {
            if (counts[tag] > counts[best]) best = tag;
        }
        candidate = static_cast<FormatTag>(best);
    }
    if (candidate != FormatTag::Unknown) FDriver.SourceFormat = candidate;
    SyncVarNames();
}

void TFormshift::OpenFiles() {
    const QStringList files = Dialogs.ChooseFiles(this);
    if (files.isEmpty()) return;
    AddFiles(files);
    FDriver.PrepareList();
}

void TFormshift::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFormshift::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFormshift::dropEvent(QDropEvent* event) {
    const TFileCatcher catcher(*event);
    DropFiles(catcher);
    event->acceptProposedAction();
}

void TFormshift::DropFiles(const TFileCatcher& catcher) {
    // The zone and the list share one place, so a drop on the list counts too.
    const QWidget* area = FUi->ListArea;
    const QRect bounds(area->mapTo(this, QPoint(0, 0)), area->size());
    if (!bounds.contains(catcher.DropPoint())) {
        FDropFlash.Start(FUi->DropZonePanel->palette().color(QPalette::Window));
        return;
    }
    const bool wasEmpty = FJobs.FileList.isEmpty();
    AddFiles(DroppedPaths(catcher));
    FUi->ClearAll->show();
    if (wasEmpty && FUi->Set_OverideFrom->Checked()) GuessSourceFormat();
    FDriver.PrepareList();
}

QColor TFormshift::DropZoneBase() const {
    return FUi->ItemsHold->palette().color(QPalette::Window);
}

FXTextBox* TFormshift::VerText() const {
    return FUi->Ver_Text;
}
FXTextBox* TFormshift::VerServerText() const {
    return FUi->Ver_ServerText;
}
FXButton* TFormshift::VerCheck() const {
    return FUi->Ver_Check;
}
FXProgress* TFormshift::VerAnim() const {
    return FUi->Ver_Anim;
}
FXCheckBox* TFormshift::CheckUpdateStart() const {
    return FUi->Set_CheckUpdateStart;
}

void TFormshift::setOnCheckForUpdates(std::function<void()> value) {
    FOnCheckForUpdates = std::move(value);
    FUi->Ver_Check->setEnabled(bool(FOnCheckForUpdates));
}

void TFormshift::FillDesignedTexts() {
    FUi->Ver_Text->setText(ProgramVersion());
    // The footer names the version that runs, not the one the layout was drawn for.
    FUi->Label3->setText(QStringLiteral("Version ") + ProgramVersion());
    FUi->BannerImage->setPicture(
        AboutPicture(QStringLiteral(":/about/banner.svg"), FUi->BannerImage->size(), devicePixelRatioF()));
    // Nothing answers the button until the update check is bound to it.
    FUi->Ver_Check->setEnabled(false);
}

void TFormshift::PaintDropZone(const QColor& colour) {
    QPalette palette = FUi->DropZonePanel->palette();
    palette.setColor(QPalette::Window, colour);
    FUi->DropZonePanel->setPalette(palette);
}
