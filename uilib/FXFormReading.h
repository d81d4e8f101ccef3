#pragma once
// Raised around the application of a window layout (setupUi). While it is up,
// the library's property setters store values without notifying owners,
// animating or clamping, so a layout reads back exactly as designed.
//
//     { FXFormReading reading; ui.setupUi(this); }
//
// Layouts are applied on the main thread only; scopes may nest.
class FXFormReading {
  public:
    FXFormReading();
    ~FXFormReading();
    FXFormReading(const FXFormReading&) = delete;
    FXFormReading& operator=(const FXFormReading&) = delete;

    static bool Active();

  private:
    static int FDepth;
};
