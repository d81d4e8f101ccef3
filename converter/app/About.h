#pragma once
// The about window: the program's banner and logo, who made it, and "Close".
// Each opening makes a new window that frees itself when closed, so several
// may be open at once.
#include "FXForm.h"

#include <QImage>

#include <memory>

namespace Ui {
class AboutForm;
}

class TAboutForm : public FXForm {
    Q_OBJECT

  public:
    explicit TAboutForm(QWidget* parent = nullptr);
    ~TAboutForm() override;

    // Creates an about window, centred on the screen, and shows it (not modal).
    static TAboutForm* Open();

  private:
    void FormThemeChange();

    std::unique_ptr<Ui::AboutForm> FUi;
};

// One of the program's pictures (":/about/banner.svg", ":/about/logo.svg") drawn
// from its vector original at the screen's density, so it stays sharp at any
// scale factor.
QImage AboutPicture(const QString& resource, const QSize& size, qreal ratio);

// The maker's web site, opened by the notice label of the main window.
QString MakerWebAddress();
