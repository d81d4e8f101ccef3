#include "FXDialog.h"

#include "ColorFunctions.h"
#include "FXButton.h"
#include "FXColorStateSets.h"
#include "FXCompleteColorSets.h"
#include "FXDrawing.h"
#include "FXForm.h"
#include "FXTextBox.h"
#include "FXThemeManager.h"
#include "FXTitleBar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

struct ButtonKindEntry {
    FXMsgDlgBtn Kind;
    const char* Caption;
    int Result;
};

const ButtonKindEntry ButtonKinds[] = {
    {FXMsgDlgBtn::Yes, "Yes", mrYes},
    {FXMsgDlgBtn::No, "No", mrNo},
    {FXMsgDlgBtn::OK, "Ok", mrOk},
    {FXMsgDlgBtn::Cancel, "Cancel", mrCancel},
    {FXMsgDlgBtn::Abort, "Abort", mrAbort},
    {FXMsgDlgBtn::Retry, "Retry", mrRetry},
    {FXMsgDlgBtn::Ignore, "Ignore", mrIgnore},
    {FXMsgDlgBtn::All, "All", mrAll},
    {FXMsgDlgBtn::NoToAll, "No to All", mrNoToAll},
    {FXMsgDlgBtn::YesToAll, "Yes to All", mrYesToAll},
    {FXMsgDlgBtn::Help, "Help", mrHelp},
    {FXMsgDlgBtn::Close, "Close", mrClose},
};

const ButtonKindEntry& EntryOf(FXMsgDlgBtn kind) {
    return ButtonKinds[static_cast<int>(kind)];
}

// Text longer than this many characters wraps at LongLineLimit average widths.
constexpr int ShortTextLimit = 80;
constexpr int LongLineLimit = 65;
constexpr int MinimumWidth = 300;

// Every published colour of one palette onto another.
void CopyProperties(const QObject& from, QObject& to) {
    const QMetaObject* meta = from.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.isWritable() && qstrcmp(property.name(), "objectName") != 0)
            property.write(&to, property.read(&from));
    }
}

// The design button's look, which every button of the dialog takes.
void CopyLook(const FXButton& design, FXButton& button) {
    CopyProperties(*design.CustomColors(), *button.CustomColors());
    CopyProperties(*design.CustomButtonColors(), *button.CustomButtonColors());
    button.setFont(design.font());
    button.setWordWrap(design.WordWrap());
    button.setImageLayout(design.ImageLayout());
    button.setLayoutHorizontal(design.LayoutHorizontal());
    button.setLayoutVertical(design.LayoutVertical());
    button.setButtonKind(design.ButtonKind());
    button.setRoundness(design.Roundness());
}

} // namespace

QString DialogButtonCaption(FXMsgDlgBtn kind) {
    return QString::fromLatin1(EntryOf(kind).Caption);
}
int DialogButtonResult(FXMsgDlgBtn kind) {
    return EntryOf(kind).Result;
}

// The dialog's window: Escape, Enter and a close request go to the dialog, so
// that every way out ends the modal run with a result.
class FXDialogForm : public FXForm {
  public:
    explicit FXDialogForm(FXDialogBox& dialog) : FDialog(dialog) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->modifiers() & ~Qt::KeypadModifier) {
            FXForm::keyPressEvent(event);
            return;
        }
        switch (event->key()) {
        case Qt::Key_Escape:
            FDialog.EscapePressed();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            FDialog.EnterPressed();
            return;
        default:
            FXForm::keyPressEvent(event);
        }
    }
    void closeEvent(QCloseEvent* event) override {
        // Closed by the window system: the platform's answer for a closed dialog.
        if (FDialog.FResult == mrNone) FDialog.Finish(mrCancel);
        FXForm::closeEvent(event);
    }

  private:
    FXDialogBox& FDialog;
};

FXDialogBox::FXDialogBox() {
    const QString face = ThemeManager != nullptr ? ThemeManager->FormFont() : QApplication::font().family();
    FTitleFont = QFont(face);
    FTitleFont.setPointSize(14);
    FTitleFont.setBold(true);
    FTextFont = QFont(face);
    FTextFont.setPointSize(11);
    FButtonDesign = std::make_unique<FXButton>();
}

FXDialogBox::~FXDialogBox() {
    delete FForm;
}

void FXDialogBox::BuildWindow() {
    delete FForm;
    FForm = new FXDialogForm(*this);
    FForm->setAttribute(Qt::WA_DeleteOnClose, false);
    // A message window has neither minimise nor maximise nor close: it ends
    // through its buttons and Escape.
    FForm->setWindowFlag(Qt::Tool, true);
    FForm->setResizable(false);
    FForm->setWindowTitle(QString());
    if (FXTitleBar* bar = FForm->TitleBar()) bar->CloseButton()->hide();
    FForm->setMinimumWidth(MinimumWidth);
    FForm->setAccessibleName(FTitle.isEmpty() ? FText.left(ShortTextLimit) : FTitle);
    FForm->setAccessibleDescription(FText);
    FFormColor = FForm->FormColor();

    FForm->setFont(FTextFont);
    const QFontMetrics text(FTextFont);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    FDialogUnits = QPoint(text.horizontalAdvance(letters) / 52, text.height());
    const int x = FDialogUnits.x();
    const int y = FDialogUnits.y();

    FTitlebarHeight = FForm->GetTitlebarHeight();
    int clientHeight = FTitlebarHeight;
    int clientWidth = 0;

    if (PromptCreation) {
        const int length = int(FText.size());
        const int lineLimit = length > ShortTextLimit ? LongLineLimit : std::max(length, 1);
        const QFontMetrics title(FTitleFont);

        FMainPrompt = new FXTextBox(FForm);
        FMainPrompt->setObjectName(QStringLiteral("MainPrompt"));
        FMainPrompt->setFont(FTitleFont);
        FMainPrompt->setWordWrap(false);
        FMainPrompt->setAutoSize(false);
        FMainPrompt->setText(FTitle);
        const QRect titleRect(3 * x, FTitlebarHeight + y,
                              FTitle.isEmpty() ? 0 : title.horizontalAdvance(FTitle) + 2,
                              FTitle.isEmpty() ? 0 : title.height());
        FMainPrompt->setGeometry(titleRect);
        FMainPrompt->setVisible(!FTitle.isEmpty());

        FPrompt = new FXTextBox(FForm);
        FPrompt->setObjectName(QStringLiteral("Prompt"));
        FPrompt->setFont(FTextFont);
        FPrompt->setWordWrap(true);
        FPrompt->setAutoSize(false);
        FPrompt->setLayoutVertical(FXLayout::Center);
        FPrompt->setText(FText);
        const int maximumWidth = lineLimit * x;
        QRect wrapped = text.boundingRect(QRect(0, 0, maximumWidth, 100000), Qt::TextWordWrap, FText);
        const int promptWidth = std::max(wrapped.width() + 2, titleRect.width());
        // The title and the text are separated by half a line.
        const int promptTop = FTitle.isEmpty() ? titleRect.top() : titleRect.bottom() + 1 + y / 2;
        FPrompt->setGeometry(3 * x, promptTop, promptWidth, wrapped.height() + 2);

        clientHeight = FPrompt->geometry().bottom() + 1 + y;
        clientWidth = 2 * FPrompt->x() + FPrompt->width();
    }

    if (HasButtons) {
        FButtonHeight = int(FButtonDesign->sizeHint().height() * 0.8);
        FButtonOffset = (y + 1) / 2;
        FFooter = new QWidget(FForm);
        FFooter->setObjectName(QStringLiteral("Footer"));
        FFooter->setAutoFillBackground(true);
        QPalette palette = FFooter->palette();
        palette.setColor(QPalette::Window, ToQColor(ChangeLightness(FFormColor, -10)));
        FFooter->setPalette(palette);
        // The strip keeps its shade of the form's colour when the theme changes while it is open.
        QWidget* footer = FFooter;
        FXForm* form = FForm;
        QObject::connect(FForm, &FXForm::OnThemeChange, FFooter, [footer, form] {
            QPalette shaded = footer->palette();
            shaded.setColor(QPalette::Window, ToQColor(ChangeLightness(form->FormColor(), -10)));
            footer->setPalette(shaded);
        });
        // The footer sits below the text rather than over its last line.
        clientHeight += FButtonHeight + 2 * FButtonOffset;
    }
    FForm->resize(std::max(clientWidth, MinimumWidth), clientHeight);
    FitFooter();
}

void FXDialogBox::FitFooter() {
    if (FFooter == nullptr) return;
    const int height = FButtonHeight + 2 * FButtonOffset;
    FFooter->setGeometry(0, FForm->height() - height, FForm->width(), height);
}

void FXDialogBox::Finish(int result) {
    FResult = result;
    if (FForm) FForm->hide();
    if (FLoop) FLoop->quit();
}

void FXDialogBox::EscapePressed() {
    Finish(mrCancel);
}
void FXDialogBox::EnterPressed() {}

int FXDialogBox::RunModal() {
    FForm->setFixedSize(FForm->size());
    if (!FScreenCenter) {
        QRect around;
        if (FParent && FParent->isVisible())
            around = FParent->frameGeometry();
        else if (QWidget* main = QApplication::activeWindow(); main && main != FForm)
            around = main->frameGeometry();
        else if (QScreen* screen = QGuiApplication::primaryScreen())
            around = screen->availableGeometry();
        if (around.isValid())
            FForm->move(around.center().x() - FForm->width() / 2, around.center().y() - FForm->height() / 2);
    }
    auto* smoked = qobject_cast<FXForm*>(FParent.data());
    if (smoked && smoked->isVisible()) smoked->setSmokeEffect(true);
    FResult = mrNone;
    QEventLoop loop;
    FLoop = &loop;
    FForm->setWindowModality(Qt::ApplicationModal);
    FForm->show();
    FForm->activateWindow();
    if (FResult == mrNone) loop.exec(QEventLoop::DialogExec);
    FLoop = nullptr;
    if (smoked) smoked->setSmokeEffect(false);
    FForm->hide();
    // The click that ended the run has returned by now: quitting the loop
    // only takes effect once its handler is done.
    delete FForm;
    FForm = nullptr;
    FMainPrompt = FPrompt = nullptr;
    FFooter = nullptr;
    return FResult;
}

int FXDialog::Execute() {
    Prepare();
    const int result = RunModal();
    FCreated.clear();
    return result;
}

QPixmap FXDialog::Picture() {
    Prepare();
    FForm->setAttribute(Qt::WA_DontShowOnScreen);
    FForm->show();
    const QPixmap picture = FForm->grab();
    delete FForm;
    FForm = nullptr;
    FMainPrompt = FPrompt = nullptr;
    FFooter = nullptr;
    FCreated.clear();
    return picture;
}

void FXDialog::Prepare() {
    FCreated.clear();
    BuildWindow();
    FForm->resize(FForm->width() + FButtonOffset, FForm->height());
    FitFooter();

    const QFontMetrics design(FButtonDesign->font());
    int x = FForm->width() - 2 * FButtonOffset;
    const int top = FForm->height() - FButtonHeight - FButtonOffset;
    std::vector<FXButton*> inOrder;
    for (const ButtonKindEntry& entry : ButtonKinds) {
        if (!FButtons.count(entry.Kind)) continue;
        auto* button = new FXButton(FForm);
        const QString caption = QString::fromLatin1(entry.Caption);
        button->setAnimation(false);
        CopyLook(*FButtonDesign, *button);
        button->setText(caption);
        button->setModalResult(entry.Result);
        const int width = std::max(90, design.horizontalAdvance(caption) + 50);
        button->setGeometry(x - width - FButtonOffset, top, width, FButtonHeight);
        x -= width + FButtonOffset;
        QObject::connect(button, &FXButton::OnClick, FForm, [this, button] {
            if (button->ModalResult() != mrNone) Finish(button->ModalResult());
        });
        FCreated[entry.Kind] = button;
        inOrder.push_back(button);
    }
    if (x < 0) {
        // The buttons need more room than the text: widen and move them all.
        const int grow = -x + FButtonOffset;
        FForm->resize(FForm->width() + grow, FForm->height());
        for (FXButton* button : inOrder)
            button->move(button->x() + grow, button->y());
        FitFooter();
    }
    for (FXButton* button : inOrder)
        button->raise();

    if (FXButton* cancel = Button(FXMsgDlgBtn::Cancel)) cancel->setCancel(true);
    if (FXButton* ok = Button(FXMsgDlgBtn::OK))
        ok->setDefault(true);
    else if (FXButton* yes = Button(FXMsgDlgBtn::Yes))
        yes->setDefault(true);
    if (!inOrder.empty()) {
        FXButton* second = Button(FXMsgDlgBtn::All);
        if (!second) second = Button(FXMsgDlgBtn::YesToAll);
        if (!second) second = inOrder.front();
        second->setDefault(true);
    }
    for (FXButton* button : inOrder)
        if (button->Default()) button->setButtonKind(FXButtonKind::Accent);

    // Tab walks the buttons as they read, left to right.
    for (auto it = inOrder.rbegin(); it != inOrder.rend() && std::next(it) != inOrder.rend(); ++it)
        QWidget::setTabOrder(*it, *std::next(it));
    if (FXButton* initial = DefaultButton()) initial->setFocus(Qt::OtherFocusReason);
}

FXButton* FXDialog::Button(FXMsgDlgBtn kind) const {
    const auto found = FCreated.find(kind);
    return found == FCreated.end() ? nullptr : found->second;
}

FXButton* FXDialog::EscapeButton() const {
    for (FXMsgDlgBtn kind : {FXMsgDlgBtn::Cancel, FXMsgDlgBtn::No, FXMsgDlgBtn::OK})
        if (FXButton* button = Button(kind)) return button;
    return nullptr;
}

FXButton* FXDialog::DefaultButton() const {
    for (FXMsgDlgBtn kind : {FXMsgDlgBtn::OK, FXMsgDlgBtn::Yes})
        if (FXButton* button = Button(kind)) return button;
    for (const ButtonKindEntry& entry : ButtonKinds)
        if (FXButton* button = Button(entry.Kind); button && button->Default()) return button;
    return nullptr;
}

void FXDialog::EscapePressed() {
    if (FXButton* button = EscapeButton())
        button->Click();
    else
        Finish(mrCancel);
}

void FXDialog::EnterPressed() {
    if (FXButton* button = DefaultButton()) button->Click();
}
