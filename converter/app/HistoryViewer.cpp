#include "HistoryViewer.h"

#include "LabelButton.h"
#include "MessageDisplay.h"
#include "TextLines.h"
#include "ui_HistView.h"

#include <QFileInfo>
#include <stdexcept>

THistView::THistView(const QString& historyFile, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), FUi(new Ui::HistView), FHistoryFile(historyFile) {
    FUi->setupUi(this);
    connect(FUi->dirlabel, &TLabelButton::clicked, this, &THistView::dirlabelClick);
    connect(FUi->HistoryBlock, &QListWidget::itemDoubleClicked, this, &THistView::HistoryBlockDblClick);
}

THistView::~THistView() = default;

void THistView::AddHistory(const QString& path) {
    if (!FLoaded) ReLoadHistory();
    for (qsizetype i = 0; i < FHistory.size(); ++i) {
        if (FHistory[i].compare(path, Qt::CaseInsensitive) == 0) {
            FHistory.removeAt(i);
            break;
        }
    }
    FHistory.append(path);
}

void THistView::ReLoadHistory() {
    FLoaded = true;
    FReadFailed = false;
    FHistory.clear();
    if (QFileInfo::exists(FHistoryFile)) {
        try {
            FHistory = LoadLines(FHistoryFile);
        } catch (const std::exception& error) {
            FReadFailed = true;
            ShowErrorMessage(this, QString::fromStdString(error.what()));
        }
    }
    if (FHistory.size() > MaxLoaded) FHistory.remove(0, FHistory.size() - MaxLoaded);
}

QString THistView::SaveHistory() {
    if (!FLoaded || FReadFailed) return QString();
    try {
        SaveLines(FHistoryFile, FHistory);
    } catch (const std::exception& error) {
        return QString::fromStdString(error.what());
    }
    return QString();
}

void THistView::SyncBlock() {
    if (!FLoaded) return;
    FUi->HistoryBlock->clear();
    FUi->HistoryBlock->addItems(FHistory);
}

void THistView::OpenAbove(QWidget* anchor) {
    if (!FLoaded) ReLoadHistory();
    SyncBlock();
    const QPoint topLeft = anchor->mapToGlobal(QPoint(0, 0));
    move(topLeft.x(), topLeft.y() - height());
    show();
    raise();
    activateWindow();
}

void THistView::dirlabelClick() {
    FHistory.clear();
    FLoaded = true;
    // Clearing is the user's explicit wish, also for a file that could not be read.
    FReadFailed = false;
    SyncBlock();
    const QString error = SaveHistory();
    if (!error.isEmpty()) ShowErrorMessage(this, error);
}

void THistView::HistoryBlockDblClick() {
    const QListWidgetItem* item = FUi->HistoryBlock->currentItem();
    if (!item || !item->isSelected()) return;
    const QString path = item->text();
    // The folder picker may open for a folder that is gone; the popup must not sit above it.
    hide();
    emit PathChosen(path);
}

void THistView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) hide();
    QWidget::changeEvent(event);
}
