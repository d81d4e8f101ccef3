#pragma once
// A picture in GIF form: the first frame of an animation; written with up to 256
// dithered colours and one transparent colour.
#include "Graphic.h"

#include <QByteArray>

class TGifImage : public TGraphic {
  public:
    void LoadFromMemory(QByteArrayView data) override;
    QByteArray SaveToMemory() const override;

    // The profile the picture's colours are meant in; GIF holds none, so its palette is
    // written in sRGB. Empty for pictures already in sRGB.
    void setSourceProfile(const QByteArray& icc);

  private:
    QByteArray FSourceProfile;
};
