#include "CImage.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QMovie>
#include <QPainter>

#include <stdexcept>

QVector<QRect> ImageDrawRects(TDrawMode mode, const QSize& picture, const QSize& area) {
    const int W = area.width(), H = area.height();
    const int w = picture.width(), h = picture.height();
    const QRect whole(0, 0, W, H);
    if (w <= 0 || h <= 0) return {whole};
    const auto fitSize = [&](bool covering) {
        const double scaledHeight = h * (double(W) / w);
        const bool widthRules = covering ? scaledHeight >= H : scaledHeight <= H;
        return widthRules ? QSize(W, int(h * double(W) / w)) : QSize(int(w * double(H) / h), H);
    };
    switch (mode) {
    case TDrawMode::Stretch:
        return {whole};
    case TDrawMode::Fit:
        return {QRect(QPoint(0, 0), fitSize(false))};
    case TDrawMode::Fill:
        return {QRect(QPoint(0, 0), fitSize(true))};
    case TDrawMode::CenterFit: {
        const QSize size = fitSize(false);
        return {QRect(QPoint((W - size.width()) / 2, (H - size.height()) / 2), size)};
    }
    case TDrawMode::CenterFill:
    case TDrawMode::Center3Fill: {
        const QSize size = fitSize(true);
        const int divisor = mode == TDrawMode::CenterFill ? 2 : 3;
        return {QRect(QPoint(-(size.width() - W) / divisor, -(size.height() - H) / divisor), size)};
    }
    case TDrawMode::Center: {
        const int cx = W / 2, cy = H / 2;
        return {QRect(QPoint(cx - w / 2, cy - h / 2), QPoint(cx + w / 2 - 1, cy + h / 2 - 1))};
    }
    case TDrawMode::Normal:
        return {QRect(0, 0, w, h)};
    case TDrawMode::Tile: {
        QVector<QRect> tiles;
        for (int y = 0; y < H; y += h)
            for (int x = 0; x < W; x += w)
                tiles.append(QRect(x, y, w, h));
        return tiles;
    }
    }
    return {whole};
}

CImage::CImage(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    resize(150, 100);
}

CImage::~CImage() = default;

void CImage::setPicture(const QPixmap& value) {
    setPicture(value.toImage());
}

void CImage::setPicture(const QImage& value) {
    delete FMovie;
    FMovie = nullptr;
    FPicture = value;
    PictureChanged();
}

bool CImage::LoadFromFile(const QString& fileName) {
    QImageReader reader(fileName);
    if (reader.supportsAnimation() && reader.imageCount() > 1) {
        auto* movie = new QMovie(fileName, QByteArray(), this);
        if (!movie->isValid()) {
            delete movie;
            return false;
        }
        delete FMovie;
        FMovie = movie;
        FMovie->jumpToFrame(0);
        FPicture = FMovie->currentImage();
        connect(FMovie, &QMovie::frameChanged, this, qOverload<>(&QWidget::update));
        PictureChanged();
        return true;
    }
    QImage image = reader.read();
    if (image.isNull()) return false;
    setPicture(image);
    return true;
}

void CImage::setDrawMode(TDrawMode value) {
    FDrawMode = value;
    PictureChanged();
}

void CImage::setOpacity(int value) {
    FOpacity = std::clamp(value, 0, 255);
    update();
}

void CImage::setSmooth(bool value) {
    FSmoothPicure = value;
    update();
}

void CImage::setTransparent(bool value) {
    if (FTransparent == value) return;
    FTransparent = value;
    PictureChanged();
}

void CImage::setTransparentGraphic(bool value) {
    FTransparentGraphic = value;
    PictureChanged();
}

void CImage::setInflationValue(int value) {
    FInflationValue = value;
    update();
}

void CImage::setDrawCache(bool value) {
    if (FDrawCache == value) return;
    FDrawCache = value;
    FCached = FDrawCache ? QImage(size(), QImage::Format_ARGB32_Premultiplied) : QImage();
    if (!FCached.isNull()) FCached.fill(Qt::transparent);
    update();
}

void CImage::setFlipX(bool value) {
    FFlipX = value;
    update();
}

void CImage::setFlipY(bool value) {
    FFlipY = value;
    update();
}

void CImage::setAutoSize(bool value) {
    if (FAutoSize == value) return;
    FAutoSize = value;
    PictureChanged();
}

void CImage::setGifSettings(const CImageGif& value) {
    FGifSettings = value;
    ApplyGifSettings();
}

void CImage::ApplyGifSettings() {
    if (FMovie == nullptr) return;
    FMovie->setSpeed(FGifSettings.AnimationSpeed);
    if (FGifSettings.Enable) {
        if (FMovie->state() != QMovie::Running) FMovie->start();
    } else {
        FMovie->stop();
        FMovie->jumpToFrame(0);
    }
}

QImage& CImage::Canvas() {
    if (FMovie != nullptr) throw std::logic_error("Can only modify an image if it contains a bitmap");
    if (FPicture.isNull()) {
        FPicture = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        FPicture.fill(Qt::transparent);
    }
    return FPicture;
}

QImage& CImage::CachedCanvas() {
    return FCached.isNull() ? Canvas() : FCached;
}

void CImage::PictureChanged() {
    if (FAutoSize && FPicture.width() > 0 && FPicture.height() > 0) resize(FPicture.size());
    const bool graphicTransparent = FTransparentGraphic || FPicture.isNull() || FPicture.hasAlphaChannel();
    const QVector<QRect> rects = DrawRects();
    FOpaque = !FTransparent && !graphicTransparent && rects.size() == 1 && rects.first().contains(rect());
    setAttribute(Qt::WA_OpaquePaintEvent, FOpaque);
    update();
    ApplyGifSettings();
}

QVector<QRect> CImage::DrawRects() const {
    return ImageDrawRects(FDrawMode, FPicture.size(), size());
}

void CImage::Inflate(int up, int right, int left, int down) {
    setGeometry(geometry().adjusted(-left, -up, right, down));
}

QImage CImage::CurrentFrame() const {
    if (FMovie != nullptr && FGifSettings.Enable) return FMovie->currentImage();
    return FPicture;
}

void CImage::DrawPicture(QPainter& painter) const {
    const QImage frame = CurrentFrame();
    if (frame.isNull()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, FSmoothPicure);
    painter.setOpacity(FOpacity / 255.0);
    for (QRect target : DrawRects()) {
        target.adjust(-FInflationValue, -FInflationValue, FInflationValue, FInflationValue);
        if (target.isEmpty()) continue;
        painter.save();
        // Mirroring swaps the edges of the target, as drawing into a reversed rectangle does.
        painter.translate(target.center() + QPointF(0.5, 0.5));
        painter.scale(FFlipX ? -1 : 1, FFlipY ? -1 : 1);
        painter.translate(-(target.center() + QPointF(0.5, 0.5)));
        painter.drawImage(target, frame);
        painter.restore();
    }
}

void CImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawPicture(painter);
    if (!FCached.isNull()) {
        FCached.fill(Qt::transparent);
        QPainter cache(&FCached);
        DrawPicture(cache);
    }
}

void CImage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (FDrawCache) {
        FCached = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        FCached.fill(Qt::transparent);
    }
    PictureChanged();
}
