#pragma once
// Which icon a control shows: a picture, a bitmap, an entry of the owner's
// image list or a glyph of the symbol font. Changing the kind in use repaints
// the owner.
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

class QPainter;

enum class FXIconType : std::uint8_t { Image = 0, BitMap = 1, ImageList = 2, SegoeIcon = 3 };

class FXIconSelect : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QPixmap SelectPicture READ SelectPicture WRITE setSelectPicture)
    Q_PROPERTY(QImage SelectBitmap READ SelectBitmap WRITE setSelectBitmap)
    Q_PROPERTY(QString SelectSegoe READ SelectSegoe WRITE setSelectSegoe)
    Q_PROPERTY(int SelectImageIndex READ SelectImageIndex WRITE setSelectImageIndex)

  public:
    explicit FXIconSelect(QObject* AOwner = nullptr);

    bool Enabled() const { return FEnabled; }
    void setEnabled(bool value);
    FXIconType IconType() const { return FType; }
    void setIconType(FXIconType value);
    const QPixmap& SelectPicture() const { return FPicture; }
    void setSelectPicture(const QPixmap& value);
    const QImage& SelectBitmap() const { return FBitMap; }
    void setSelectBitmap(const QImage& value);
    // Segoe code points; mapped to the installed symbol font when drawn.
    const QString& SelectSegoe() const { return FSegoeText; }
    void setSelectSegoe(const QString& value);
    int SelectImageIndex() const { return FImageIndex; }
    void setSelectImageIndex(int value);

    void Assign(const FXIconSelect& Source);
    // Drops the picture or bitmap that the current kind does not use.
    void FreeUnusedAssets();
    // Pictures and bitmaps centred and scaled down to fit, keeping proportions;
    // glyphs centred at the largest height that fits, in the painter's pen
    // colour; image-list entries are the owner's to draw.
    void DrawIcon(QPainter& painter, const QRect& ARectangle) const;

  private:
    void RepaintOwnerFor(FXIconType kind);

    QPointer<QObject> FOwner;
    bool FEnabled = false;
    FXIconType FType = FXIconType::SegoeIcon;
    QPixmap FPicture;
    QImage FBitMap;
    QString FSegoeText = QString(QChar(0xE734));
    int FImageIndex = 0;
};
