#include "About.h"

#include "ui_About.h"

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

// The pictures live in the program's static library, whose registration the
// linker would drop as nothing refers to it; asking for it by name keeps it.
static void RegisterPictures() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    Q_INIT_RESOURCE(about);
}

QImage AboutPicture(const QString& resource, const QSize& size, qreal ratio) {
    RegisterPictures();
    QSvgRenderer renderer(resource);
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

QString MakerWebAddress() {
    return QStringLiteral("https://www.brenvale.com/formshift");
}

TAboutForm::TAboutForm(QWidget* parent) : FXForm(parent), FUi(new Ui::AboutForm) {
    setAttribute(Qt::WA_DeleteOnClose);
    LoadDesign(*FUi);
    const qreal ratio = devicePixelRatioF();
    FUi->Banner->setPicture(AboutPicture(QStringLiteral(":/about/banner.svg"), FUi->Banner->size(), ratio));
    FUi->Logo->setPicture(AboutPicture(QStringLiteral(":/about/logo.svg"), FUi->Logo->size(), ratio));
    connect(FUi->Button1, &CButton::OnClick, this, &QWidget::close);
    connect(this, &FXForm::OnThemeChange, this, &TAboutForm::FormThemeChange);
    FormThemeChange();
    adjustSize();
    setFixedSize(size());
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::FormThemeChange() {
    // Plain labels do not follow the theme by themselves; the themed text
    // boxes do, and the window's own text colour is theirs too.
    const QColor text = palette().color(QPalette::WindowText);
    for (QLabel* label : findChildren<QLabel*>()) {
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, text);
        label->setPalette(colours);
    }
}

TAboutForm* TAboutForm::Open() {
    auto* form = new TAboutForm();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        form->move(area.center() - QPoint(form->width() / 2, form->height() / 2));
    }
    form->show();
    return form;
}
