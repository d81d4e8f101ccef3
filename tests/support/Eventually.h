#pragma once
// The one way tests wait: for a condition, never for a span of time. The limit
// only guards against a hang; BRENVALE_TEST_TIME_FACTOR stretches it on slow or
// heavily loaded machines (sanitizer builds, shared CI runners).
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <functional>

inline int ScaledLimit(int milliseconds) {
    bool ok = false;
    const double factor = qEnvironmentVariable("BRENVALE_TEST_TIME_FACTOR").toDouble(&ok);
    return ok && factor > 1 ? int(milliseconds * factor) : milliseconds;
}

// Serves the thread's events until `condition` holds; false when it still does
// not after the limit.
inline bool Eventually(const std::function<bool()>& condition, int limitMs = 10000) {
    QDeadlineTimer limit(ScaledLimit(limitMs));
    while (!condition()) {
        if (limit.hasExpired()) return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        else
            QThread::msleep(5);
    }
    return true;
}
