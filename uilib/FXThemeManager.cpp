#include "FXThemeManager.h"

#include "ColorFunctions.h"
#include "DesktopAppearance.h"
#include "FXColorSet.h"
#include "FXColorSets.h"
#include "FXColorizationEvent.h"
#include "FXCompleteColorSet.h"
#include "FXCompleteColorSets.h"
#include "FXControl.h"
#include "FXSingleColorStateSet.h"
#include "FXSingleColorStateSets.h"
#include "SymbolFont.h"
#include "SystemTheme.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>

FXThemeManager* ThemeManager = nullptr;

FXThemeManager::FXThemeManager() {
    FDesigning = IsDesignEnvironment();
    if (FDesigning) {
        FDarkTheme = false;
        setDarkThemeMode(FXDarkSetting::ForceLight);
    } else {
        FDarkTheme = ReadSystemDarkMode();
        setDarkThemeMode(FXDarkSetting::Auto);
    }
    FDarkThemeMode = FXDarkSetting::Auto;
    FAutoAccentColor = true;
    FLegacyFontColor = false;
    FLastUpdate = FXClock::Now();

    LoadFontSettings();

    FSystemColorSet = std::make_unique<FXCompleteColorSets>();
    FSystemColor = std::make_unique<FXCompleteColorSet>(*FSystemColorSet, FDarkTheme);
    FSystemGrayControl = std::make_unique<FXSingleColorStateSets>();
    FSystemAccentInteractStates = std::make_unique<FXSingleColorStateSet>(*FSystemGrayControl, FDarkTheme);

    UpdateColors();

    FSystemToolTip = std::make_unique<FXCompleteColorSets>();

    if (!FDesigning) {
        FRegistryMonitor = std::make_unique<QTimer>();
        FRegistryMonitor->setInterval(100);
        connect(FRegistryMonitor.get(), &QTimer::timeout, this, &FXThemeManager::RegistryMonitorTick);
        FRegistryMonitor->start();
        // The desktop's colourisation notice reaches the forms as the same event
        // everywhere; each form recomputes (at most once a second) and repaints.
        connect(DesktopAppearance::Instance(), &DesktopAppearance::AppearanceChanged, this,
                &FXThemeManager::BroadcastColorization);
    }
}

FXThemeManager::~FXThemeManager() {
    if (FRegistryMonitor) FRegistryMonitor->stop();
    FRegistryMonitor.reset();
    FSystemToolTip.reset();
    FSystemColor.reset();
    FSystemColorSet.reset();
    FSystemGrayControl.reset();
}

void FXThemeManager::setDarkTheme(bool value) {
    if (FDarkTheme == value) return;
    FDarkTheme = value;
    UpdateSettings();
}

void FXThemeManager::setDarkThemeMode(FXDarkSetting value) {
    FDarkThemeMode = value;
    bool wanted = FDarkTheme;
    if (value == FXDarkSetting::ForceDark) wanted = true;
    if (value == FXDarkSetting::ForceLight) wanted = false;
    if (wanted == FDarkTheme) return;
    FDarkTheme = wanted;
    UpdateSettings();
}

void FXThemeManager::setAccentColor(TColor value) {
    FAutoAccentColor = false;
    FAccentColor = value;
    UpdateSettings();
}

void FXThemeManager::setAutoAccentColor(bool value) {
    FAutoAccentColor = value;
    if (value) UpdateSettings();
}

void FXThemeManager::LoadColorSet(FXColorSet& Target) const {
    Target.Assign(FSystemColor.get());
}
void FXThemeManager::LoadColorSet(FXCompleteColorSet& Target) const {
    Target.Assign(FSystemColor.get());
}
void FXThemeManager::LoadColorSet(FXColorSets& Target) const {
    Target.Assign(FSystemColorSet.get());
}
void FXThemeManager::LoadColorSet(FXCompleteColorSets& Target) const {
    Target.Assign(FSystemColorSet.get());
}

TColor FXThemeManager::GetThemePrimaryColor() const {
    return FDarkTheme ? 0x000000 : 0xFFFFFF;
}

void FXThemeManager::LoadFontSettings() {
    FIconFont = ChooseIconFont();
    // The desktop's own UI font stands in where "Segoe UI" is not installed.
    FFormFont = QStringLiteral("Segoe UI");
    if (qGuiApp != nullptr && !QFontDatabase::families().contains(FFormFont, Qt::CaseInsensitive))
        FFormFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    FFormFontHeight = -16;
    FLargeFontHeight = -20;
}

void FXThemeManager::UpdateColors() {
    FSystemColor = std::make_unique<FXCompleteColorSet>(*FSystemColorSet, FDarkTheme);
    if (FAutoAccentColor) FAccentColor = ReadSystemAccentColor(true);
    FSystemColor->setAccent(FAccentColor);
    FSystemColorSet->SetColor(FXColorSets::AccentIndex, FAccentColor);
    FSystemGrayControl->setAccent(FAccentColor);
    FSystemAccentInteractStates = std::make_unique<FXSingleColorStateSet>(
        FAccentColor, ChangeLightness(FAccentColor, 25), ChangeLightness(FAccentColor, -25));
}

void FXThemeManager::UpdateSettings() {
    FLastUpdate = FXClock::Now();
    LoadFontSettings();
    UpdateColors();
    NotifyUpdate();
}

void FXThemeManager::MeasuredUpdateSettings() {
    using namespace std::chrono;
    if (duration_cast<seconds>(FXClock::Now() - FLastUpdate).count() >= 1) UpdateSettings();
}

void FXThemeManager::NotifyUpdate() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
    // A form's update may open or close windows: walk a guarded snapshot.
    QList<QPointer<QWidget>> forms;
    for (QWidget* widget : QApplication::topLevelWidgets())
        forms.append(widget);
    for (const QPointer<QWidget>& form : forms) {
        if (auto* control = dynamic_cast<FXControl*>(form.data())) control->UpdateTheme(true);
    }
}

void FXThemeManager::UpdateThemeInformation() {
    const bool dark = ReadSystemDarkMode();
    if (dark != FDarkTheme) setDarkTheme(dark);
}

void FXThemeManager::BroadcastColorization() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
    for (QWidget* widget : QApplication::topLevelWidgets())
        QCoreApplication::postEvent(widget, new FXColorizationEvent);
}

void FXThemeManager::RegistryMonitorTick() {
    if (FDarkThemeMode == FXDarkSetting::Auto) UpdateThemeInformation();
}

void InitializeUILibrary() {
    if (ThemeManager != nullptr) return;
    ThemeManager = new FXThemeManager;
    // Windows and timers die with the application object; the manager, whose
    // timer lives in the application's thread, goes with them at the latest.
    static bool routineAdded = false;
    if (!routineAdded && QCoreApplication::instance() != nullptr) {
        qAddPostRoutine(FinalizeUILibrary);
        routineAdded = true;
    }
}

void FinalizeUILibrary() {
    delete ThemeManager;
    ThemeManager = nullptr;
}
