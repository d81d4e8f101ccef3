#include "FXFormUpdateTemplate.h"

#include "CImage.h"
#include "FXAnimatedTextBox.h"
#include "FXButton.h"
#include "FXPanel.h"
#include "FXProgress.h"
#include "FXTextBox.h"
#include "FXThemeManager.h"
#include "SymbolFont.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>
#include <thread>

namespace {

FXTextBox* Text(const QString& caption, int pointSize, QWidget* parent) {
    auto* label = new FXTextBox(parent);
    QFont font = label->font();
    font.setPointSize(pointSize);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAutoSize(false);
    label->setText(caption);
    return label;
}

FXButton* Button(const QString& caption, FXButtonKind kind, QWidget* parent) {
    auto* button = new FXButton(parent);
    button->setText(caption);
    button->setButtonKind(kind);
    button->setFixedSize(200, 50);
    return button;
}

QString ErrorText(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("An unknown error occurred.");
    }
}

} // namespace

FXFormUpdateTemplate* FXFormUpdateTemplate::CreateNew(QWidget* parentForm) {
    return new FXFormUpdateTemplate(parentForm);
}

FXFormUpdateTemplate::FXFormUpdateTemplate(QWidget* parentForm)
    : FXFillForm(parentForm, FXFormCloseAction::Free) {
    InitializeNewForm();
    UpdateTheme(true);
}

void FXFormUpdateTemplate::InitializeNewForm() {
    auto* content = Container();
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(5, 50, 5, 0);
    layout->setSpacing(10);

    auto* top = new QHBoxLayout;
    top->setSpacing(20);
    FIcon = new CImage(content);
    FIcon->setFixedSize(50, 50);
    FIcon->setDrawMode(TDrawMode::CenterFit);
    top->addWidget(FIcon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    FTitle = Text(QString(), 18, content);
    FNote = Text(
        tr("On mobile network, data charges may occur. Any charges are not calculated. After the update, "
           "the application will re-open automatically."),
        12, content);
    texts->addWidget(FTitle);
    texts->addWidget(FNote);
    top->addLayout(texts, 1);
    layout->addLayout(top);

    FErrorPanel = new QWidget(content);
    FErrorPanel->setMinimumHeight(150);
    auto* errorLayout = new QHBoxLayout(FErrorPanel);
    auto* glyph = Text(QString(), 40, FErrorPanel);
    if (ThemeManager) {
        QFont symbols = glyph->font();
        symbols.setFamily(ThemeManager->IconFont());
        glyph->setFont(symbols);
        glyph->setText(SymbolText(QString(QChar(0xE783)), ThemeManager->IconFont()));
    }
    glyph->setFixedSize(60, 60);
    glyph->setAccessibleName(tr("Error"));
    errorLayout->addWidget(glyph, 0, Qt::AlignTop);
    auto* errorTexts = new QVBoxLayout;
    errorTexts->addWidget(Text(tr("An error occurred"), 18, FErrorPanel));
    errorTexts->addWidget(
        Text(tr("Unfortunately an error occurred and the installation will not be able to continue."), 14,
             FErrorPanel));
    // The reason itself, so nobody has to paste it somewhere to learn what went wrong.
    FErrorReason = Text(QString(), 10, FErrorPanel);
    errorTexts->addWidget(FErrorReason);
    errorTexts->addStretch();
    errorLayout->addLayout(errorTexts, 1);
    FErrorPanel->hide();
    layout->addWidget(FErrorPanel);
    layout->addStretch(1);

    FDownloadArea = new QWidget(content);
    auto* downloadLayout = new QVBoxLayout(FDownloadArea);
    downloadLayout->setContentsMargins(0, 0, 0, 0);
    FDownloadText = new FXAnimatedTextBox(FDownloadArea);
    QFont downloadFont = FDownloadText->font();
    downloadFont.setPointSize(12);
    FDownloadText->setFont(downloadFont);
    FDownloadText->setLayoutHorizontal(FXLayout::Center);
    FDownloadText->setAdderMode(true);
    FDownloadText->setAdderText(tr("Downloading Updates"));
    FDownloadText->setDelay(400);
    FDownloadText->setItems({QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("...")});
    downloadLayout->addWidget(FDownloadText);
    FProgress = new FXProgress(FDownloadArea);
    FProgress->setProgressKind(FXProgressKind::Intermediate);
    FProgress->setAccessibleName(tr("Download progress"));
    downloadLayout->addWidget(FProgress);
    FDownloadArea->hide();
    layout->addWidget(FDownloadArea);

    FButtonBar = new QWidget(content);
    auto* buttons = new QHBoxLayout(FButtonBar);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    FDownload = Button(tr("Download"), FXButtonKind::Accent, FButtonBar);
    FSnooze = Button(tr("Snooze"), FXButtonKind::Normal, FButtonBar);
    buttons->addWidget(FSnooze);
    buttons->addWidget(FDownload);
    layout->addWidget(FButtonBar);
    connect(FDownload, &FXButton::OnClick, this, &FXFormUpdateTemplate::StartDownload);
    connect(FSnooze, &FXButton::OnClick, this, &FXFormUpdateTemplate::Snooze);

    FErrorBar = new QWidget(content);
    auto* errorButtons = new QHBoxLayout(FErrorBar);
    errorButtons->setContentsMargins(0, 0, 0, 0);
    errorButtons->addStretch();
    FCopyError = Button(tr("Copy error"), FXButtonKind::Normal, FErrorBar);
    FCopyError->setStateText(tr("Copied!"));
    FCopyError->setAutoStateToggle(true);
    FClose = Button(tr("Close"), FXButtonKind::Accent, FErrorBar);
    errorButtons->addWidget(FCopyError);
    errorButtons->addWidget(FClose);
    FErrorBar->hide();
    layout->addWidget(FErrorBar);
    connect(FCopyError, &FXButton::OnClick, this, &FXFormUpdateTemplate::CopyError);
    connect(FClose, &FXButton::OnClick, this, &QWidget::close);

    setAppName(FAppName);
    FDownload->setFocus();
}

void FXFormUpdateTemplate::setAppName(const QString& value) {
    FAppName = value;
    if (FTitle)
        FTitle->setText(tr("%1 needs an update. Would you like to download the update now?").arg(value));
}

void FXFormUpdateTemplate::setAllowSnooze(bool value) {
    if (FAllowSnooze == value) return;
    FAllowSnooze = value;
    FSnooze->setEnabled(value);
}

void FXFormUpdateTemplate::setAppIcon(const QPixmap& value) {
    FIcon->setPicture(value);
}

void FXFormUpdateTemplate::setDelays(int beforeDownload, int beforeInstall, int beforeClose) {
    FBeforeDownload = beforeDownload;
    FBeforeInstall = beforeInstall;
    FBeforeClose = beforeClose;
}

void FXFormUpdateTemplate::setStage(FXUpdateStage value) {
    if (FStage == value) return;
    FStage = value;
    emit StageChanged(value);
}

void FXFormUpdateTemplate::StartDownload() {
    if (FStage != FXUpdateStage::Offer) return;
    FButtonBar->hide();
    FDownloadArea->show();
    FProgress->setProgressKind(FXProgressKind::Intermediate);
    setStage(FXUpdateStage::Downloading);
    if (!FFetch) {
        DownloadFailed(tr("This program cannot download its installer."));
        return;
    }
    // The worker reports back through queued calls, which do nothing once the page is gone.
    QPointer<FXFormUpdateTemplate> page = this;
    TInstallerFetch fetch = FFetch;
    const QString url = FDownloadURL;
    const int pause = FBeforeDownload;
    std::thread([page, fetch, url, pause] {
        if (pause > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        const TProgress progress = [page](qint64 received, qint64 total) {
            QMetaObject::invokeMethod(page.data(), [page, received, total] {
                if (page) page->DownloadProgressed(received, total);
            });
        };
        QString path;
        std::exception_ptr failure;
        try {
            path = fetch(url, progress);
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(page.data(), [page, path, failure] {
            if (!page) return;
            if (failure)
                page->DownloadFailed(ErrorText(failure));
            else if (path.isEmpty())
                page->DownloadFailed(tr("The file could not be downloaded."));
            else
                page->DownloadFinished(path);
        });
    }).detach();
}

void FXFormUpdateTemplate::DownloadProgressed(qint64 received, qint64 total) {
    if (total <= 0) return;
    FProgress->setProgressKind(FXProgressKind::Normal);
    FProgress->setValue(float(100.0 * double(received) / double(total)));
}

void FXFormUpdateTemplate::DownloadFinished(const QString& path) {
    setStage(FXUpdateStage::Installing);
    FDownloadText->setAdderText(tr("Installing"));
    QPointer<FXFormUpdateTemplate> page = this;
    QTimer::singleShot(FBeforeInstall, this, [page, path] {
        if (!page) return;
        try {
            if (!page->FStart) throw std::runtime_error("This program cannot start its installer.");
            page->FStart(path, page->FInstallParameters);
        } catch (...) {
            page->DownloadFailed(ErrorText(std::current_exception()));
            return;
        }
        page->setStage(FXUpdateStage::Closing);
        page->FDownloadText->setAdderText(tr("Closing"));
        QTimer::singleShot(page->FBeforeClose, page, [page] {
            if (page && page->ParentForm()) page->ParentForm()->window()->close();
        });
    });
}

void FXFormUpdateTemplate::DownloadFailed(const QString& reason) {
    FLastErrorText = reason;
    FDownloadArea->hide();
    FButtonBar->hide();
    FErrorPanel->show();
    FErrorBar->show();
    FErrorReason->setText(reason);
    setStage(FXUpdateStage::Failed);
    FClose->setFocus();
}

void FXFormUpdateTemplate::CopyError() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(FLastErrorText);
}
