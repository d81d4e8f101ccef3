#include "DesktopAppearance.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QThread>

#include <mutex>

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString PortalInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString AppearanceNamespace = QStringLiteral("org.freedesktop.appearance");

// A portal that does not answer within this time is taken as absent; the first
// call may have to start it, later ones are answered from the cache.
constexpr int PortalTimeoutMs = 1500;
// After a failed query the portal is asked again no sooner than this.
constexpr qint64 RetryAfterMs = 30000;

struct Cache {
    std::mutex Lock;
    std::optional<DesktopAppearance::State> Override;
    DesktopAppearance::State Portal;
    bool Queried = false;
    bool Answered = false;
    QElapsedTimer SinceQuery;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

QVariant Unwrap(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

std::optional<DesktopAppearance::ColorScheme> SchemeFrom(const QVariant& raw) {
    const QVariant value = Unwrap(raw);
    bool ok = false;
    const uint number = value.toUInt(&ok);
    if (!ok || number > 2) return std::nullopt;
    return static_cast<DesktopAppearance::ColorScheme>(number);
}

std::optional<DesktopAppearance::Rgb> AccentFrom(const QVariant& raw) {
    const QVariant value = Unwrap(raw);
    if (value.metaType() != QMetaType::fromType<QDBusArgument>()) return std::nullopt;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentType() != QDBusArgument::StructureType) return std::nullopt;
    double red = -1, green = -1, blue = -1;
    argument.beginStructure();
    argument >> red >> green >> blue;
    argument.endStructure();
    // Values outside 0..1 mean that the desktop has no accent colour.
    for (double channel : {red, green, blue})
        if (!(channel >= 0.0 && channel <= 1.0)) return std::nullopt;
    const auto channel = [](double value) { return quint8(qRound(value * 255.0)); };
    return DesktopAppearance::Rgb{channel(red), channel(green), channel(blue)};
}

std::optional<QVariant> ReadPortalValue(QDBusConnection& bus, const QString& key) {
    for (const char* method : {"ReadOne", "Read"}) {
        QDBusMessage call = QDBusMessage::createMethodCall(PortalService, PortalPath, PortalInterface,
                                                           QString::fromLatin1(method));
        call << AppearanceNamespace << key;
        const QDBusMessage reply = bus.call(call, QDBus::Block, PortalTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            return reply.arguments().constFirst();
        // Only an old portal lacks ReadOne; any other failure will not improve with Read.
        if (reply.errorName() != QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"))
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

DesktopAppearance* DesktopAppearance::Instance() {
    static DesktopAppearance* instance = [] {
        auto* created = new DesktopAppearance;
        if (QCoreApplication* app = QCoreApplication::instance(); app && created->thread() != app->thread())
            created->moveToThread(app->thread());
        return created;
    }();
    return instance;
}

DesktopAppearance::State DesktopAppearance::Current() {
    Cache& cache = TheCache();
    std::lock_guard guard(cache.Lock);
    if (cache.Override) return *cache.Override;
    const bool due = !cache.Queried || (!cache.Answered && cache.SinceQuery.elapsed() >= RetryAfterMs);
    if (!due || !QCoreApplication::instance()) return cache.Portal;

    cache.Queried = true;
    cache.SinceQuery.start();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return cache.Portal;
    State state;
    if (auto scheme = ReadPortalValue(bus, QStringLiteral("color-scheme")))
        state.Scheme = SchemeFrom(*scheme);
    if (auto accent = ReadPortalValue(bus, QStringLiteral("accent-color")))
        state.Accent = AccentFrom(*accent);
    cache.Answered = state.Scheme.has_value() || state.Accent.has_value();
    cache.Portal = state;
    if (cache.Answered) {
        DesktopAppearance* instance = Instance();
        QMetaObject::invokeMethod(
            instance, [instance] { instance->EnsureSubscribed(); }, Qt::QueuedConnection);
    }
    return cache.Portal;
}

void DesktopAppearance::SetOverride(const std::optional<State>& state) {
    {
        Cache& cache = TheCache();
        std::lock_guard guard(cache.Lock);
        cache.Override = state;
    }
    emit Instance()->AppearanceChanged();
}

void DesktopAppearance::EnsureSubscribed() {
    static bool subscribed = false;
    if (subscribed) return;
    subscribed = QDBusConnection::sessionBus().connect(
        PortalService, PortalPath, PortalInterface, QStringLiteral("SettingChanged"), this,
        SLOT(PortalSettingChanged(QString, QString, QDBusVariant)));
}

void DesktopAppearance::PortalSettingChanged(const QString& nameSpace, const QString& key,
                                             const QDBusVariant& value) {
    if (nameSpace != AppearanceNamespace) return;
    Cache& cache = TheCache();
    {
        std::lock_guard guard(cache.Lock);
        if (key == QStringLiteral("color-scheme"))
            cache.Portal.Scheme = SchemeFrom(value.variant());
        else if (key == QStringLiteral("accent-color"))
            cache.Portal.Accent = AccentFrom(value.variant());
        else
            return;
        if (cache.Override) return;
    }
    emit AppearanceChanged();
}
