#pragma once
// Shows an update check on the main window's "Update" settings page and
// opens the update page over the window when a newer version exists.
#include "UpdateCheck.h"

class TFormshift;

class TWindowUpdateView : public TUpdateView {
  public:
    TWindowUpdateView(TFormshift& window, TUpdateService service);
    void UpdateCheckStarted() override;
    void UpdateCheckEnded(const QString& serverVersionText) override;
    void OfferUpdate(const TUpdateOffer& offer) override;

  private:
    TFormshift& FWindow;
    TUpdateService FService;
};

// Wires a check to window: its button, its start-up check (first copy only,
// when the setting is on) and its page. The check must outlive the window's use.
void BindUpdateCheck(TFormshift& window, TUpdateCheck& check);
