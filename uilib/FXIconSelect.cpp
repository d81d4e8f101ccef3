#include "FXIconSelect.h"

#include "FXBufferedControl.h"
#include "FXDrawing.h"

#include <QPainter>

FXIconSelect::FXIconSelect(QObject* AOwner) : QObject(AOwner), FOwner(AOwner) {}

void FXIconSelect::setEnabled(bool value) {
    if (FEnabled == value) return;
    FEnabled = value;
    RepaintOwnerFor(FType);
}

void FXIconSelect::setIconType(FXIconType value) {
    if (FType == value) return;
    FType = value;
    RepaintOwnerFor(FType);
}

void FXIconSelect::setSelectPicture(const QPixmap& value) {
    FPicture = value;
    RepaintOwnerFor(FXIconType::Image);
}

void FXIconSelect::setSelectBitmap(const QImage& value) {
    FBitMap = value;
    RepaintOwnerFor(FXIconType::BitMap);
}

void FXIconSelect::setSelectSegoe(const QString& value) {
    if (FSegoeText == value) return;
    FSegoeText = value;
    RepaintOwnerFor(FXIconType::SegoeIcon);
}

void FXIconSelect::setSelectImageIndex(int value) {
    if (FImageIndex == value) return;
    FImageIndex = value;
    RepaintOwnerFor(FXIconType::ImageList);
}

void FXIconSelect::Assign(const FXIconSelect& Source) {
    FEnabled = Source.FEnabled;
    FType = Source.FType;
    FPicture = Source.FPicture;
    FBitMap = Source.FBitMap;
    FSegoeText = Source.FSegoeText;
    FImageIndex = Source.FImageIndex;
    RepaintOwnerFor(FType);
}

void FXIconSelect::FreeUnusedAssets() {
    if (FType != FXIconType::Image) FPicture = QPixmap();
    if (FType != FXIconType::BitMap) FBitMap = QImage();
}

namespace {

QRect FittedRect(const QSize& natural, const QRect& area) {
    QSize size = natural;
    if (size.width() > area.width() || size.height() > area.height())
        size.scale(area.size(), Qt::KeepAspectRatio);
    return QRect(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
}

} // namespace

void FXIconSelect::DrawIcon(QPainter& painter, const QRect& ARectangle) const {
    switch (FType) {
    case FXIconType::Image:
        if (!FPicture.isNull()) {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(FittedRect(FPicture.deviceIndependentSize().toSize(), ARectangle), FPicture);
            painter.restore();
        }
        break;
    case FXIconType::BitMap:
        if (!FBitMap.isNull()) {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(FittedRect(FBitMap.deviceIndependentSize().toSize(), ARectangle), FBitMap);
            painter.restore();
        }
        break;
    case FXIconType::SegoeIcon:
        DrawSymbol(painter, ARectangle, FSegoeText, painter.pen().color());
        break;
    case FXIconType::ImageList:
        break;
    }
}

void FXIconSelect::RepaintOwnerFor(FXIconType kind) {
    if (kind != FType) return;
    if (auto* control = qobject_cast<FXBufferedControl*>(FOwner.data())) control->Invalidate();
}
