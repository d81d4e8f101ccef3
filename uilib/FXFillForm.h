#pragma once
// A borderless themed page laid over another form's client area (below its
// title bar, or all of it), with a content panel inside a margin. Dragging the
// page moves the form it covers.
#include "FXControl.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class FXColorSet;
class FXColorSets;
class FXForm;
class FXPanel;

enum class FXFormFill : std::uint8_t { TitleBar = 0, Complete = 1 };
enum class FXFormCloseAction : std::uint8_t { Default = 0, Free = 1, Hide = 2, Minimise = 3 };

class FXFillForm : public QWidget, public FXControl {
    Q_OBJECT
    Q_PROPERTY(FXFormFill FillMode READ FillMode WRITE setFillMode)
    Q_PROPERTY(FXFormCloseAction CloseAction READ CloseAction WRITE setCloseAction)

  public:
    // A page that hides when closed.
    explicit FXFillForm(QWidget* parentForm = nullptr);
    // A page freed when closed: the Free close action.
    static FXFillForm* CreateNew(QWidget* parentForm);
    ~FXFillForm() override;

    FXColorSets* CustomColors() const { return FCustomColors; }
    const FXColorSet& DrawColors() const { return *FDrawColors; }
    QWidget* ParentForm() const { return FParentForm; }
    void setParentForm(QWidget* value);
    FXFormFill FillMode() const { return FFillMode; }
    void setFillMode(FXFormFill value);
    FXFormCloseAction CloseAction() const { return FCloseAction; }
    void setCloseAction(FXFormCloseAction value) { FCloseAction = value; }
    int Margin() const { return FMargin; }
    // The content panel pages build on.
    FXPanel* Container() const { return FContainer; }

    bool IsContainer() override { return true; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;

  signals:
    void OnThemeChange(FXThemeType Kind, bool DarkTheme, TColor Accent);

  protected:
    FXFillForm(QWidget* parentForm, FXFormCloseAction closeAction);
    // Builds a derived page's content. The base's constructor cannot reach a
    // derived class, so a derived page calls it at the end of its own
    // constructor, then UpdateTheme(true).
    virtual void InitializeNewForm() {}
    void FitToParent();
    void ApplyMargins();
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void Setup();

    FXColorSets* FCustomColors = nullptr;
    std::unique_ptr<FXColorSet> FDrawColors;
    QPointer<QWidget> FParentForm;
    FXFormFill FFillMode = FXFormFill::TitleBar;
    FXFormCloseAction FCloseAction = FXFormCloseAction::Hide;
    int FTitlebarHeight = 0;
    int FMargin = 20;
    FXPanel* FContainer = nullptr;
};
