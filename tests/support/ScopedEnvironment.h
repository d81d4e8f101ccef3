#pragma once
// Environment variables changed for the life of one test object and put back, in
// reverse order, when it ends.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment() {
        for (auto it = FSaved.crbegin(); it != FSaved.crend(); ++it) {
            if (it->second.isNull())
                qunsetenv(it->first.constData());
            else
                qputenv(it->first.constData(), it->second);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void Set(const char* name, const QString& value) {
        Remember(name);
        qputenv(name, value.toUtf8());
    }
    void Unset(const char* name) {
        Remember(name);
        qunsetenv(name);
    }

  private:
    // Only the first change of a name records what it was before the test.
    void Remember(const char* name) {
        for (const auto& saved : FSaved)
            if (saved.first == name) return;
        FSaved.append({QByteArray(name), qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
    }

    QList<QPair<QByteArray, QByteArray>> FSaved;
};
