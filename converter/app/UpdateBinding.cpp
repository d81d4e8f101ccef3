#include "UpdateBinding.h"

#include "FXButton.h"
#include "FXCheckBox.h"
#include "FXProgress.h"
#include "FXTextBox.h"
#include "FormshiftMain.h"

TWindowUpdateView::TWindowUpdateView(TFormshift& window, TUpdateService service)
    : FWindow(window), FService(std::move(service)) {}

void TWindowUpdateView::UpdateCheckStarted() {
    FWindow.VerCheck()->setEnabled(false);
    FWindow.VerCheck()->setStateEnabled(true);
    FWindow.VerAnim()->show();
    FWindow.VerServerText()->setText(QObject::tr("checking..."));
}

void TWindowUpdateView::UpdateCheckEnded(const QString& serverVersionText) {
    FWindow.VerCheck()->setEnabled(true);
    FWindow.VerCheck()->setStateEnabled(false);
    FWindow.VerAnim()->hide();
    FWindow.VerServerText()->setText(serverVersionText);
}

void TWindowUpdateView::OfferUpdate(const TUpdateOffer& offer) {
    ShowUpdatePage(&FWindow, offer, FService);
}

void BindUpdateCheck(TFormshift& window, TUpdateCheck& check) {
    window.setOnCheckForUpdates([&check] { check.CheckForUpdates(); });
    check.ScheduleStartupCheck(window.SecondInstance(),
                               [&window] { return window.CheckUpdateStart()->Checked(); });
}
