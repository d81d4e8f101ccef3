// The gallery's message dialogs: pictures of open dialogs with one and with
// three buttons, drawn in the current theme.
#include "CImage.h"
#include "FXDialog.h"
#include "GalleryWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

struct DialogSample {
    const char* Title;
    const char* Text;
    FXMsgDlgButtons Buttons;
};

const DialogSample Samples[] = {
    {"Error", "The uninstaller cannot start as there is no install report file avalabile", {FXMsgDlgBtn::OK}},
    {"Save changes?",
     "The list holds files that have not been converted yet. Closing the window now forgets them; "
     "the files themselves stay where they are.",
     {FXMsgDlgBtn::Yes, FXMsgDlgBtn::No, FXMsgDlgBtn::Cancel}},
};

} // namespace

void GalleryWindow::BuildDialogs() {
    const int row = FGrid->rowCount();
    QWidget* section = AddSection(tr("Message dialog (FXDialog)"), row, 0, 3);
    auto* pictures = new QHBoxLayout;
    pictures->setSpacing(24);
    for (std::size_t i = 0; i < std::size(Samples); ++i) {
        auto* shot = new CImage(section);
        shot->setDrawMode(TDrawMode::Normal);
        FDialogShots.push_back(shot);
        pictures->addWidget(shot, 0, Qt::AlignTop);
    }
    pictures->addStretch();
    static_cast<QVBoxLayout*>(section->layout())->addLayout(pictures);
    RefreshDialogPictures();
    resize(width(), height() + FDialogShots.front()->height() + 80);
}

void GalleryWindow::RefreshDialogPictures() {
    for (std::size_t i = 0; i < FDialogShots.size(); ++i) {
        FXDialog dialog;
        dialog.setTitle(tr(Samples[i].Title));
        dialog.setText(tr(Samples[i].Text));
        dialog.setButtons(Samples[i].Buttons);
        const QPixmap picture = dialog.Picture();
        FDialogShots[i]->setPicture(picture);
        FDialogShots[i]->setFixedSize(picture.size());
    }
}
