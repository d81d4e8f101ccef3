#pragma once
// The interface through which the theme manager and themed forms reach every
// themed object. Objects find out whether a QObject implements it with
// dynamic_cast, so a class lists it as a second (non-QObject) base.
#include "FXTypes.h"

class FXControl {
  public:
    virtual ~FXControl() = default;
    // True when the object owns other themed components and forwards updates to them.
    virtual bool IsContainer() = 0;
    // Reload colours from the theme manager or the object's own palette, recompute
    // what derives from them and repaint; a container forwards the call to the
    // components it owns when UpdateChildren is set.
    virtual void UpdateTheme(bool UpdateChildren) = 0;
    // The colour the object paints its own background with.
    virtual TColor Background() = 0;
};
