#include "FormshiftMain.h"

#include "LauncherProgress.h"

#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidgetAction>
#include <QMessageBox>
#include <cstdio>

namespace {

const QString IdleCaption = QStringLiteral("🢂 Convert All");
const QString RunningCaption = QStringLiteral("🕑 Converting");

void Paint(QPushButton* button, const QColor& color) {
    button->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; padding: 6px 14px; }")
                              .arg(color.name()));
}

} // namespace

TFormshift::TFormshift(const QString& dataFolder, QWidget* parent)
    : QWidget(parent), FDriver(FJobs, *this, FActions, this) {
    FDriver.DataFolder = dataFolder;
    setWindowTitle(QStringLiteral("Formshift Clone"));
    setAcceptDrops(true);
    resize(760, 520);
    BuildControls();
    SyncVarNames();
    UpdatePathCaption();
}

void TFormshift::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    MenuTop = new QWidget(this);
    auto* top = new QHBoxLayout(MenuTop);
    top->setContentsMargins(0, 0, 0, 0);
    BtFrom = new QPushButton(MenuTop);
    BtTo = new QPushButton(MenuTop);
    ConvertBt = new QPushButton(IdleCaption, MenuTop);
    Paint(ConvertBt, QColor(255, 128, 0));
    AddBt = new QPushButton(QStringLiteral("＋ Add files"), MenuTop);
    ClearAll = new QPushButton(QStringLiteral("❌"), MenuTop);
    auto* options = new QPushButton(QStringLiteral("ᐁ"), MenuTop);
    auto* optionMenu = new QMenu(options);
    Set_IgnoreComplete = new QCheckBox(QStringLiteral("Ignore completed"));
    Set_IgnoreForErr = new QCheckBox(QStringLiteral("Ignore format error"));
    Set_IgnoreForErr->setChecked(true);
    for (QCheckBox* box : {Set_IgnoreComplete, Set_IgnoreForErr}) {
        auto* holder = new QWidgetAction(optionMenu);
        holder->setDefaultWidget(box);
        optionMenu->addAction(holder);
    }
    options->setMenu(optionMenu);
    top->addWidget(BtFrom);
    top->addWidget(new QLabel(QStringLiteral("→"), MenuTop));
    top->addWidget(BtTo);
    top->addStretch();
    top->addWidget(AddBt);
    top->addWidget(ClearAll);
    top->addWidget(ConvertBt);
    top->addWidget(options);
    layout->addWidget(MenuTop);

    ItemsFiles = new QListView(this);
    ItemsFiles->setModel(&FModel);
    ItemsFiles->setItemDelegate(&FDelegate);
    ItemsFiles->setUniformItemSizes(true);
    ItemsFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(ItemsFiles, 1);

    auto* work = new QHBoxLayout;
    dirlabel = new QPushButton(this);
    dirlabel->setFlat(true);
    dirlabel->setStyleSheet(QStringLiteral("text-align: left"));
    ProgressStat = new QProgressBar(this);
    ProgressStat->setRange(0, 100);
    ProgressStat->hide();
    StopBt = new QPushButton(QStringLiteral("⛔ Stop"), this);
    StopBt->hide();
    work->addWidget(dirlabel, 1);
    work->addWidget(ProgressStat);
    work->addWidget(StopBt);
    layout->addLayout(work);

    connect(BtFrom, &QPushButton::clicked, this, [this] { ChooseFormat(BtFrom, true); });
    connect(BtTo, &QPushButton::clicked, this, [this] { ChooseFormat(BtTo, false); });
    connect(ConvertBt, &QPushButton::clicked, this, [this] { FDriver.ConvertAll(); });
    connect(StopBt, &QPushButton::clicked, this, [this] { FDriver.StopConversion(); });
    connect(AddBt, &QPushButton::clicked, this, [this] { OpenFilesDialog(); });
    connect(ClearAll, &QPushButton::clicked, this, [this] {
        if (FDriver.RunState() != RunStateKind::Idle) return;
        FJobs.Clear();
        FDriver.PrepareList();
    });
    connect(dirlabel, &QPushButton::clicked, this, [this] { SelectPath(QString()); });
    connect(Set_IgnoreComplete, &QCheckBox::toggled, this, [this](bool on) { FDriver.Settings.IgnoreComplete = on; });
    connect(Set_IgnoreForErr, &QCheckBox::toggled, this, [this](bool on) { FDriver.Settings.IgnoreForErr = on; });
}

void TFormshift::ChooseFormat(QPushButton* button, bool source) {
    QMenu menu(this);
    for (int value = FirstFormatTag; value <= LastFormatTag; ++value) {
        const auto tag = static_cast<FormatTag>(value);
        QAction* action = menu.addAction(PickerCaption(tag));
        action->setEnabled(source || tag != FormatTag::AUTO);
        connect(action, &QAction::triggered, this, [this, tag, source] {
            (source ? FDriver.SourceFormat : FDriver.TargetFormat) = tag;
            SyncVarNames();
        });
    }
    menu.exec(button->mapToGlobal(QPoint(0, button->height())));
}

void TFormshift::SyncVarNames() {
    BtFrom->setText(FormatName(FDriver.SourceFormat));
    BtTo->setText(FormatName(FDriver.TargetFormat));
}

void TFormshift::UpdatePathCaption() {
    dirlabel->setText(FDriver.ExportPath.isEmpty() ? QStringLiteral("📁 Choose an export folder")
                                                   : QStringLiteral("📁 ") + FDriver.ExportPath);
}

void TFormshift::SelectPath(const QString& path) {
    QString folder = path;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Export folder"), FDriver.ExportPath);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return;
    FDriver.ExportPath = QFileInfo(folder).absoluteFilePath();
    UpdatePathCaption();
}

void TFormshift::OpenFilesDialog() {
    if (FDriver.RunState() != RunStateKind::Idle) return;
    AddFiles(QFileDialog::getOpenFileNames(this, QStringLiteral("Open files")));
}

void TFormshift::AddFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        if (QFileInfo(path).isFile()) FJobs.FileList << QFileInfo(path).absoluteFilePath();
    }
    FDriver.PrepareList();
}

bool TFormshift::ProcessCommandLine(const TCommandLine& line) {
    if (line.Help) {
        const QString text = HelpText();
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
            std::fputs(qPrintable(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')) + QLatin1Char('\n')),
                       stdout);
            std::fflush(stdout);
        } else {
            QMessageBox::information(this, QStringLiteral("Formshift"), text);
        }
    }
    FDriver.BackgroundMode = line.Background;
    for (const QString& folder : line.Directories) {
        if (QFileInfo(folder).isDir() || !line.Background) SelectPath(folder);
    }
    AddFiles(line.Files);
    FDriver.SourceFormat = line.From != FormatTag::Unknown ? line.From : FormatTag::AUTO;
    if (line.To != FormatTag::Unknown) FDriver.TargetFormat = line.To;
    SyncVarNames();
    if (line.ConvertNow) {
        FDriver.ConvertAll();
        if (FDriver.RunState() == RunStateKind::Idle && FMissingExportFolder) return false;
    }
    return true;
}

void TFormshift::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && FDriver.RunState() == RunStateKind::Idle) event->acceptProposedAction();
}

void TFormshift::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    AddFiles(paths);
    event->acceptProposedAction();
}

void TFormshift::ListChanged() { FModel.Refresh(); }

void TFormshift::ProgressChanged(int overall) {
    ProgressStat->setValue(overall);
    SetLauncherProgress(QStringLiteral("formshift.desktop"), overall, true);
}

void TFormshift::RunStarted() {
    ConvertBt->setText(RunningCaption);
    Paint(ConvertBt, QColor(0, 128, 0));
    StopBt->show();
    MenuTop->setEnabled(false);
    ProgressStat->show();
    UpdatePathCaption();
}

void TFormshift::RunFinished() {
    ConvertBt->setText(IdleCaption);
    Paint(ConvertBt, QColor(255, 128, 0));
    StopBt->hide();
    MenuTop->setEnabled(true);
    ProgressStat->hide();
    SetLauncherProgress(QStringLiteral("formshift.desktop"), 0, false);
}

QString TFormshift::ProvideExportPath() {
    // Nobody can answer a dialog in a background run.
    if (FDriver.BackgroundMode) {
        FMissingExportFolder = true;
        return QString();
    }
    SelectPath(QString());
    return FDriver.ExportPath;
}

void TFormshift::CloseMainWindow() {
    close();
    QCoreApplication::quit();
}
