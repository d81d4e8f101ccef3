#pragma once
// The themed text label: one caption in the theme's text colour over its
// parent's background, placed in one of nine positions, optionally wrapped and
// sizing itself to its text, with an optional translucent overlay.
#include "FXDrawing.h"
#include "FXWindowsControl.h"

class FXColorSets;
class FXCompleteColorSet;

class FXTextBox : public FXWindowsControl {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString Caption READ Text WRITE setText)
    Q_PROPERTY(FXLayout LayoutVertical READ LayoutVertical WRITE setLayoutVertical)
    Q_PROPERTY(FXLayout LayoutHorizontal READ LayoutHorizontal WRITE setLayoutHorizontal)
    Q_PROPERTY(int InnerMargin READ InnerMargin WRITE setInnerMargin)
    Q_PROPERTY(unsigned OverlayColor READ OverlayColor WRITE setOverlayColor)
    Q_PROPERTY(unsigned OverlayTest READ OverlayTest WRITE setOverlayTest)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)
    Q_PROPERTY(bool Elipsis READ Elipsis WRITE setElipsis)

  public:
    explicit FXTextBox(QWidget* parent = nullptr);
    ~FXTextBox() override;

    FXColorSets* CustomColors() const { return FCustomColors; }
    const QString& Text() const { return FText; }
    void setText(const QString& value);
    FXLayout LayoutVertical() const { return FVertLayout; }
    void setLayoutVertical(FXLayout value);
    FXLayout LayoutHorizontal() const { return FHorzLayout; }
    void setLayoutHorizontal(FXLayout value);
    // Takes effect at the next paint.
    int InnerMargin() const { return FInnerMargin; }
    void setInnerMargin(int value) { FInnerMargin = value; }
    // ARGB laid over the whole label; alpha 0 changes nothing.
    std::uint32_t OverlayColor() const { return FOverlayColor; }
    void setOverlayColor(std::uint32_t value);
    std::uint32_t OverlayTest() const { return FOverlayTest; }
    void setOverlayTest(std::uint32_t value) { FOverlayTest = value; }
    bool AutoSize() const { return FAutoSize; }
    void setAutoSize(bool value);
    bool WordWrap() const { return FWordWrap; }
    void setWordWrap(bool value);
    // Stored and repainted; the text is never shortened.
    bool Elipsis() const { return FElipsis; }
    void setElipsis(bool value);

    QRect TextRect() const { return FTextRect; }
    FXTextFlags TextFlags() const;
    const FXCompleteColorSet& DrawColors() const { return *FDrawColors; }

    bool IsContainer() override { return false; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;
    QString AccessibleText() const override;
    QAccessible::Role AccessibleRole() const override { return QAccessible::StaticText; }
    QSize sizeHint() const override;
    // A wrapped label grows downwards with its lines when a layout narrows it.
    bool hasHeightForWidth() const override { return FWordWrap; }
    int heightForWidth(int width) const override;

  protected:
    void UpdateColors();
    void Layout();
    void ApplyAutoSize();
    void PaintBuffer(QPainter& painter) override;
    void ComponentCreated() override;
    void FontUpdate() override;
    void ScaleChanged(double Scaling) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QSize AutoSizeFor() const;

    QRect FTextRect;
    FXColorSets* FCustomColors = nullptr;
    FXCompleteColorSet* FDrawColors = nullptr;
    QString FText = QStringLiteral("Hello World");
    FXLayout FVertLayout = FXLayout::Center;
    FXLayout FHorzLayout = FXLayout::Beginning;
    int FInnerMargin = 0;
    std::uint32_t FOverlayColor = 0;
    std::uint32_t FOverlayTest = 0;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FElipsis = false;
    QPoint FDrawOffset;
    bool FSizing = false;
};
