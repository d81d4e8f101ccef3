#pragma once
// The themed modal message dialog: a bold title, a wrapped text and a footer
// strip with one themed button per answer, in a window built afresh for every
// Execute. FXDialogBox builds the window; FXDialog adds the choice of buttons,
// which of them Enter and Escape press, and the modal run.
#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <set>

class FXButton;
class FXForm;
class FXTextBox;
class QWidget;

// The platform's message-dialog buttons, in its order.
enum class FXMsgDlgBtn : std::uint8_t {
    Yes,
    No,
    OK,
    Cancel,
    Abort,
    Retry,
    Ignore,
    All,
    NoToAll,
    YesToAll,
    Help,
    Close
};
using FXMsgDlgButtons = std::set<FXMsgDlgBtn>;

// The platform's modal results; their numbers are what Execute answers.
enum FXModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8,
    mrHelp = 9,
    mrAll = 12,
    mrNoToAll = 13,
    mrYesToAll = 14,
};

QString DialogButtonCaption(FXMsgDlgBtn kind);
int DialogButtonResult(FXMsgDlgBtn kind);

class FXDialogBox {
  public:
    FXDialogBox();
    virtual ~FXDialogBox();
    FXDialogBox(const FXDialogBox&) = delete;
    FXDialogBox& operator=(const FXDialogBox&) = delete;

    const QString& Title() const { return FTitle; }
    void setTitle(const QString& value) { FTitle = value; }
    const QString& Text() const { return FText; }
    void setText(const QString& value) { FText = value; }
    // A button without owner whose look every dialog button copies.
    FXButton* ButtonDesign() const { return FButtonDesign.get(); }
    QWidget* ParentForm() const { return FParent; }
    void setParentForm(QWidget* value) { FParent = value; }
    // Leaves the window where the window system puts it instead of centring it.
    bool ScreenCenter() const { return FScreenCenter; }
    void setScreenCenter(bool value) { FScreenCenter = value; }

    // The window, from the build step until the modal run ends; tests and
    // screenshots reach the open dialog through it.
    FXForm* Form() const { return FForm; }
    FXTextBox* MainPrompt() const { return FMainPrompt; }
    FXTextBox* Prompt() const { return FPrompt; }
    QWidget* Footer() const { return FFooter; }
    // Average character width and the line height of the text font.
    QPoint DialogUnits() const { return FDialogUnits; }

  protected:
    virtual void BuildWindow();
    // Shows the window modally and frees it; the result of the button, or of
    // Escape, that closed it.
    int RunModal();
    void FitFooter();
    // Ends the modal run with this result.
    void Finish(int result);
    virtual void EscapePressed();
    virtual void EnterPressed();

    QFont FTitleFont;
    QFont FTextFont;
    std::unique_ptr<FXButton> FButtonDesign;
    std::uint32_t FFormColor = 0xFFFFFF;
    int FTitlebarHeight = 0;
    int FButtonOffset = 0;
    int FButtonHeight = 0;
    bool PromptCreation = true;
    QPoint FDialogUnits;
    bool HasButtons = true;
    FXForm* FForm = nullptr;
    FXTextBox* FMainPrompt = nullptr;
    FXTextBox* FPrompt = nullptr;
    QWidget* FFooter = nullptr;

  private:
    friend class FXDialogForm;
    QString FTitle;
    QString FText;
    QPointer<QWidget> FParent;
    bool FScreenCenter = false;
    int FResult = mrNone;
    class QEventLoop* FLoop = nullptr;
};

class FXDialog : public FXDialogBox {
  public:
    const FXMsgDlgButtons& Buttons() const { return FButtons; }
    void setButtons(const FXMsgDlgButtons& value) { FButtons = value; }

    int Execute();
    // The dialog as Execute would show it, drawn without showing it, for
    // previews and screenshots.
    QPixmap Picture();

    // The button of one kind while the dialog is open; null otherwise.
    FXButton* Button(FXMsgDlgBtn kind) const;
    // The button Escape presses: Cancel, else No, else OK; null when there is
    // none of them and Escape closes the dialog with mrCancel.
    FXButton* EscapeButton() const;
    // The button Enter presses when no button has the focus: OK, else Yes,
    // else the second default.
    FXButton* DefaultButton() const;

  protected:
    void EscapePressed() override;
    void EnterPressed() override;

  private:
    // The window with its buttons, ready for the modal run.
    void Prepare();

    FXMsgDlgButtons FButtons{FXMsgDlgBtn::OK};
    std::map<FXMsgDlgBtn, FXButton*> FCreated;
};
