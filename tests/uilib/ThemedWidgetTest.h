#pragma once
// Fixture of the widget tests: the offscreen application, a theme manager that
// reads no real desktop (light, default accent) and theme switches by forcing
// the mode. Tests wait for conditions with Eventually, never for a deadline.
#include "Eventually.h"
#include "FXThemeManager.h"
#include "SystemTheme.h"

#include "TestApplication.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

class ThemedWidgetTest : public testing::Test {
  protected:
    void SetUp() override {
        TestApplication();
        SetSystemValueReader([](const QString&, const QString&) { return std::optional<std::uint32_t>(); });
        InitializeUILibrary();
        ThemeManager->setDarkThemeMode(FXDarkSetting::ForceLight);
    }
    void TearDown() override {
        FinalizeUILibrary();
        SetSystemValueReader({});
    }
    static void SetDark(bool dark) {
        ThemeManager->setDarkThemeMode(dark ? FXDarkSetting::ForceDark : FXDarkSetting::ForceLight);
    }
};

inline QImage Shot(QWidget& widget) {
    return widget.grab().toImage();
}

inline QColor PixelAt(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// Whether two colours differ by at most tolerance on each channel.
inline bool Near(const QColor& a, const QColor& b, int tolerance = 2) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}
