#pragma once
// The older picture control: one picture placed by one of nine draw modes,
// with opacity, mirroring, an inset and animated GIFs. It takes no focus.
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QVector>
#include <QWidget>

class QMovie;

enum class TDrawMode : std::uint8_t {
    Fill = 0,
    Fit = 1,
    Stretch = 2,
    Center = 3,
    CenterFill = 4,
    Center3Fill = 5,
    CenterFit = 6,
    Normal = 7,
    Tile = 8,
};

struct CImageGif {
    bool Enable = false;
    int AnimationSpeed = 100;
    bool operator==(const CImageGif&) const = default;
};

class CImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(TDrawMode DrawMode READ DrawMode WRITE setDrawMode)
    Q_PROPERTY(int Opacity READ Opacity WRITE setOpacity)
    Q_PROPERTY(bool Smooth READ Smooth WRITE setSmooth)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool TransparentGraphic READ TransparentGraphic WRITE setTransparentGraphic)
    Q_PROPERTY(int InflationValue READ InflationValue WRITE setInflationValue)
    Q_PROPERTY(int RotationAngle READ RotationAngle WRITE setRotationAngle)
    Q_PROPERTY(bool DrawCache READ DrawCache WRITE setDrawCache)
    Q_PROPERTY(bool FlipX READ FlipX WRITE setFlipX)
    Q_PROPERTY(bool FlipY READ FlipY WRITE setFlipY)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)

  public:
    explicit CImage(QWidget* parent = nullptr);
    ~CImage() override;

    QPixmap Picture() const { return QPixmap::fromImage(FPicture); }
    void setPicture(const QPixmap& value);
    void setPicture(const QImage& value);
    // Loads any picture the platform reads; an animated GIF keeps its frames.
    // False, with the picture unchanged, when the file cannot be read.
    bool LoadFromFile(const QString& fileName);
    // Whether the picture is an animated GIF rather than a single bitmap.
    bool IsAnimation() const { return FMovie != nullptr; }

    TDrawMode DrawMode() const { return FDrawMode; }
    void setDrawMode(TDrawMode value);
    int Opacity() const { return FOpacity; }
    void setOpacity(int value);
    bool Smooth() const { return FSmoothPicure; }
    void setSmooth(bool value);
    bool Transparent() const { return FTransparent; }
    void setTransparent(bool value);
    bool TransparentGraphic() const { return FTransparentGraphic; }
    void setTransparentGraphic(bool value);
    int InflationValue() const { return FInflationValue; }
    void setInflationValue(int value);
    // Stored, never drawn: pictures are not rotated, and the angle reads back 0.
    int RotationAngle() const { return 0; }
    void setRotationAngle(int value) { FRotationValue = value; }
    bool DrawCache() const { return FDrawCache; }
    void setDrawCache(bool value);
    bool FlipX() const { return FFlipX; }
    void setFlipX(bool value);
    bool FlipY() const { return FFlipY; }
    void setFlipY(bool value);
    bool AutoSize() const { return FAutoSize; }
    void setAutoSize(bool value);
    const CImageGif& GifSettings() const { return FGifSettings; }
    void setGifSettings(const CImageGif& value);

    // The picture's pixels to draw on; an empty picture becomes a bitmap of the
    // control's size first. An animation has no single bitmap: that throws
    // std::logic_error. Call PictureChanged after drawing.
    QImage& Canvas();
    // The cache's pixels when the cache is on, else Canvas.
    QImage& CachedCanvas();
    void PictureChanged();

    // Where the picture is drawn for the current mode and size.
    QVector<QRect> DrawRects() const;
    // Grows the control by the given amounts on each side.
    void Inflate(int up, int right, int left, int down);
    // Whether the control covers everything beneath it.
    bool IsOpaque() const { return FOpaque; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ApplyGifSettings();
    void DrawPicture(QPainter& painter) const;
    QImage CurrentFrame() const;

    QImage FPicture;
    QMovie* FMovie = nullptr;
    TDrawMode FDrawMode = TDrawMode::CenterFit;
    CImageGif FGifSettings;
    int FOpacity = 255;
    bool FSmoothPicure = true;
    bool FTransparent = true;
    bool FTransparentGraphic = false;
    int FInflationValue = 0;
    int FRotationValue = 0;
    bool FDrawCache = false;
    QImage FCached;
    bool FFlipX = false;
    bool FFlipY = false;
    bool FAutoSize = false;
    bool FOpaque = false;
};

// The draw rectangles of a picture of size picture in a control of size area.
QVector<QRect> ImageDrawRects(TDrawMode mode, const QSize& picture, const QSize& area);
