#include "RegistryStore.h"

#include "XdgFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<int> BusyTimeoutMs{2000};
std::atomic<std::uint64_t> CommitsMade{0};
std::atomic<std::uint64_t> TransactionsStarted{0};

// Registry names are limited as on Windows, so whatever is stored here could be
// stored there too.
constexpr qsizetype MaxKeyNameLength = 255;
constexpr qsizetype MaxValueNameLength = 16383;
constexpr int SchemaVersion = 1;

QString Fold(const QString& name) {
    return name.toUpper();
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

RegistryStoreError::Kind KindOfErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return RegistryStoreError::Kind::Denied;
    default:
        return RegistryStoreError::Kind::Failed;
    }
}

void CheckKeyName(const QString& name) {
    if (name.isEmpty() || name.size() > MaxKeyNameLength || name.contains(u'\\'))
        throw RegistryStoreError(RegistryStoreError::Kind::Invalid,
                                 QStringLiteral("Invalid registry key name \"%1\"").arg(name));
}

} // namespace

RegistryStoreError::RegistryStoreError(Kind kind, const QString& message)
    : std::runtime_error(message.toStdString()), FKind(kind) {}

// A prepared statement that is finalised on every path.
class RegistryStatement {
  public:
    RegistryStatement(const RegistryStore& store, const char* sql) : FStore(store) {
        const int code = sqlite3_prepare_v2(store.FDb, sql, -1, &FStatement, nullptr);
        if (code != SQLITE_OK) store.Fail(code, QStringLiteral("prepare"));
    }
    ~RegistryStatement() { sqlite3_finalize(FStatement); }
    RegistryStatement(const RegistryStatement&) = delete;
    RegistryStatement& operator=(const RegistryStatement&) = delete;

    RegistryStatement& Bind(int index, qint64 value) {
        sqlite3_bind_int64(FStatement, index, value);
        return *this;
    }
    RegistryStatement& Bind(int index, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(FStatement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    RegistryStatement& Bind(int index, const QByteArray& data) {
        // A zero-length blob must stay a blob, not become NULL.
        sqlite3_bind_blob(FStatement, index, data.isEmpty() ? "" : data.constData(), int(data.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    // True while a row is available.
    bool Step() {
        const int code = sqlite3_step(FStatement);
        if (code == SQLITE_ROW) return true;
        if (code == SQLITE_DONE) return false;
        FStore.Fail(code, QStringLiteral("step"));
    }
    qint64 Integer(int column) const { return sqlite3_column_int64(FStatement, column); }
    QString Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(FStatement, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(FStatement, column));
    }
    QByteArray Blob(int column) const {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(FStatement, column));
        return QByteArray(data, sqlite3_column_bytes(FStatement, column));
    }

  private:
    const RegistryStore& FStore;
    sqlite3_stmt* FStatement = nullptr;
};

QString RegistryStore::DatabasePath(HKEY hive) {
    const QString name = QString::fromLatin1(RegistryHiveName(hive));
    if (name.isEmpty()) return {};
    const QString root = qEnvironmentVariable("BRENVALE_REGISTRY_ROOT");
    if (QDir::isAbsolutePath(root)) return QDir::cleanPath(root) + u'/' + name + QStringLiteral(".db");
    if (hive == HKEY_CURRENT_USER)
        return XdgDataHome() + QStringLiteral("/BrenvaleRegistry/") + name + QStringLiteral(".db");
    return QStringLiteral("/var/lib/BrenvaleRegistry/") + name + QStringLiteral(".db");
}

void RegistryStore::SetBusyTimeout(int milliseconds) {
    BusyTimeoutMs = qMax(0, milliseconds);
}

QStringList RegistryStore::SplitKeyPath(const QString& path) {
    return path.split(u'\\', Qt::SkipEmptyParts);
}

QByteArray RegistryStore::ChangeStamp(HKEY hive) {
    const QString path = DatabasePath(hive);
    QByteArray stamp = QFile::encodeName(path) + '|' + QByteArray::number(quint64(CommitsMade.load()));
    // SQLite counts every commit in the header's "file change counter" (bytes 24..27),
    // which also sees writers in other processes, whatever the clock's resolution.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return stamp;
    struct stat info {};
    char counter[4] = {};
    if (::fstat(fd, &info) == 0 && ::pread(fd, counter, sizeof counter, 24) == sizeof counter)
        stamp += '|' + QByteArray::number(quint64(info.st_ino)) + '|' +
                 QByteArray(counter, sizeof counter).toHex();
    ::close(fd);
    return stamp;
}

std::uint64_t RegistryStore::TransactionsBegun() {
    return TransactionsStarted.load();
}

RegistryStore::RegistryStore(HKEY hive, Access access) : FHive(hive), FAccess(access) {
    ++TransactionsStarted;
    const QString path = DatabasePath(hive);
    if (path.isEmpty())
        throw RegistryStoreError(RegistryStoreError::Kind::Invalid, QStringLiteral("Unknown registry hive"));
    const QByteArray nativePath = QFile::encodeName(path);

    if (access == Access::Read) {
        struct stat info {};
        if (::stat(nativePath.constData(), &info) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) return; // an empty hive
            throw RegistryStoreError(
                KindOfErrno(errno),
                QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        }
    } else {
        // The user's hive is private to the user; the folder and file are created so.
        const bool privateHive = hive == HKEY_CURRENT_USER;
        const QString folder = QFileInfo(path).absolutePath();
        if (!QFileInfo::exists(folder)) {
            if (!QDir().mkpath(folder))
                throw RegistryStoreError(RegistryStoreError::Kind::Denied,
                                         QStringLiteral("Cannot create the registry folder %1").arg(folder));
            if (privateHive) ::chmod(QFile::encodeName(folder).constData(), 0700);
        }
        const int fd =
            ::open(nativePath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, privateHive ? 0600 : 0644);
        if (fd < 0)
            throw RegistryStoreError(
                KindOfErrno(errno),
                QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        ::close(fd);
    }

    const int flags =
        (access == Access::Read ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int code = sqlite3_open_v2(nativePath.constData(), &FDb, flags, nullptr);
    if (code != SQLITE_OK) {
        const int errorCode = FDb ? sqlite3_extended_errcode(FDb) : code;
        sqlite3_close_v2(FDb);
        FDb = nullptr;
        FFinished = true;
        throw RegistryStoreError(errorCode == SQLITE_CANTOPEN ? RegistryStoreError::Kind::Denied
                                                              : RegistryStoreError::Kind::Failed,
                                 QStringLiteral("Cannot open the registry database %1").arg(path));
    }
    sqlite3_extended_result_codes(FDb, 1);
    sqlite3_busy_timeout(FDb, BusyTimeoutMs);
    try {
        Execute("PRAGMA foreign_keys = OFF");
        Execute(access == Access::Read ? "BEGIN DEFERRED" : "BEGIN IMMEDIATE");
        {
            RegistryStatement version(*this, "PRAGMA user_version");
            version.Step();
            if (version.Integer(0) > SchemaVersion)
                throw RegistryStoreError(
                    RegistryStoreError::Kind::Damaged,
                    QStringLiteral("The registry database %1 is of a newer format").arg(path));
        }
        {
            RegistryStatement tables(
                *this,
                "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('keys', 'vals')");
            tables.Step();
            FHasTables = tables.Integer(0) == 2;
        }
        if (!FHasTables && access == Access::Write) {
            Execute("CREATE TABLE IF NOT EXISTS keys ("
                    " id INTEGER PRIMARY KEY,"
                    " parent INTEGER NOT NULL,"
                    " name TEXT NOT NULL,"
                    " fold TEXT NOT NULL,"
                    " UNIQUE (parent, fold))");
            Execute("CREATE TABLE IF NOT EXISTS vals ("
                    " key INTEGER NOT NULL,"
                    " name TEXT NOT NULL,"
                    " fold TEXT NOT NULL,"
                    " type INTEGER NOT NULL,"
                    " data BLOB NOT NULL,"
                    " UNIQUE (key, fold))");
            Execute("PRAGMA user_version = 1");
            FHasTables = true;
        }
    } catch (...) {
        sqlite3_close_v2(FDb);
        FDb = nullptr;
        FFinished = true;
        throw;
    }
}

RegistryStore::~RegistryStore() {
    if (FDb) {
        if (!FFinished) sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(FDb);
    }
}

void RegistryStore::Commit() {
    if (FFinished || !FDb) {
        FFinished = true;
        return;
    }
    Execute("COMMIT");
    FFinished = true;
    if (FAccess == Access::Write) ++CommitsMade;
}

void RegistryStore::Execute(const char* sql) {
    char* message = nullptr;
    const int code = sqlite3_exec(FDb, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    if (code != SQLITE_OK) Fail(code, QString::fromLatin1(sql));
}

void RegistryStore::Fail(int code, const QString& what) const {
    const int primary = code & 0xFF;
    RegistryStoreError::Kind kind = RegistryStoreError::Kind::Failed;
    switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        kind = RegistryStoreError::Kind::Busy;
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
        kind = RegistryStoreError::Kind::Damaged;
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
        kind = RegistryStoreError::Kind::Denied;
        break;
    default:
        break;
    }
    const QString detail =
        FDb ? QString::fromUtf8(sqlite3_errmsg(FDb)) : QString::fromUtf8(sqlite3_errstr(code));
    throw RegistryStoreError(kind, QStringLiteral("Registry %1 (%2): %3")
                                       .arg(QString::fromLatin1(RegistryHiveName(FHive)), what, detail));
}

void RegistryStore::RequireWrite() const {
    if (FAccess != Access::Write)
        throw RegistryStoreError(RegistryStoreError::Kind::Denied,
                                 QStringLiteral("The registry was opened for reading"));
}

std::optional<qint64> RegistryStore::FindKey(const QStringList& key) {
    qint64 id = 0;
    if (key.isEmpty()) return id;
    if (!FDb || !FHasTables) return std::nullopt;
    for (const QString& element : key) {
        RegistryStatement find(*this, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
        find.Bind(1, id).Bind(2, Fold(element));
        if (!find.Step()) return std::nullopt;
        id = find.Integer(0);
    }
    return id;
}

qint64 RegistryStore::EnsureKey(const QStringList& key) {
    RequireWrite();
    qint64 id = 0;
    for (const QString& element : key) {
        CheckKeyName(element);
        RegistryStatement find(*this, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
        find.Bind(1, id).Bind(2, Fold(element));
        if (find.Step()) {
            id = find.Integer(0);
            continue;
        }
        RegistryStatement insert(*this, "INSERT INTO keys (parent, name, fold) VALUES (?1, ?2, ?3)");
        insert.Bind(1, id).Bind(2, element).Bind(3, Fold(element));
        insert.Step();
        id = sqlite3_last_insert_rowid(FDb);
    }
    return id;
}

bool RegistryStore::KeyExists(const QStringList& key) {
    return FindKey(key).has_value() || DesktopRegistryKeys::IsKey(FHive, key);
}

QStringList RegistryStore::KeyNames(const QStringList& key) {
    QStringList names;
    if (const auto id = FindKey(key); id && FHasTables) {
        RegistryStatement list(*this, "SELECT name FROM keys WHERE parent = ?1");
        list.Bind(1, *id);
        while (list.Step())
            names.append(list.Text(0));
    }
    for (const QString& child : DesktopRegistryKeys::ChildNames(FHive, key))
        if (!names.contains(child, Qt::CaseInsensitive)) names.append(child);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return Fold(a) < Fold(b); });
    return names;
}

QStringList RegistryStore::ValueNames(const QStringList& key) {
    QStringList names;
    if (const auto id = FindKey(key); id && FHasTables) {
        RegistryStatement list(*this, "SELECT name FROM vals WHERE key = ?1 ORDER BY rowid");
        list.Bind(1, *id);
        while (list.Step())
            names.append(list.Text(0));
    }
    for (const NamedRegistryValue& value : DesktopRegistryKeys::Values(FHive, key))
        if (!names.contains(value.Name, Qt::CaseInsensitive)) names.append(value.Name);
    return names;
}

std::optional<RegistryValue> RegistryStore::ReadValue(const QStringList& key, const QString& name) {
    if (const auto id = FindKey(key); id && FHasTables) {
        RegistryStatement read(*this, "SELECT type, data FROM vals WHERE key = ?1 AND fold = ?2");
        read.Bind(1, *id).Bind(2, Fold(name));
        if (read.Step()) return RegistryValue{std::uint32_t(read.Integer(0)), read.Blob(1)};
    }
    for (const NamedRegistryValue& value : DesktopRegistryKeys::Values(FHive, key))
        if (SameName(value.Name, name)) return value.Value;
    return std::nullopt;
}

void RegistryStore::CreateKey(const QStringList& key) {
    EnsureKey(key);
}

bool RegistryStore::DeleteKey(const QStringList& key) {
    RequireWrite();
    if (key.isEmpty()) return false;
    const auto id = FindKey(key);
    if (!id) return false;
    RegistryStatement values(*this, "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL"
                                    " SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id)"
                                    " DELETE FROM vals WHERE key IN tree");
    values.Bind(1, *id);
    values.Step();
    RegistryStatement keys(*this, "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL"
                                  " SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id)"
                                  " DELETE FROM keys WHERE id IN tree");
    keys.Bind(1, *id);
    keys.Step();
    return true;
}

void RegistryStore::WriteValue(const QStringList& key, const QString& name, const RegistryValue& value) {
    RequireWrite();
    if (name.size() > MaxValueNameLength)
        throw RegistryStoreError(RegistryStoreError::Kind::Invalid,
                                 QStringLiteral("Registry value name too long"));
    std::optional<qint64> id = FindKey(key);
    // A key the desktop answers exists even before anything is stored in it.
    if (!id && DesktopRegistryKeys::IsKey(FHive, key)) id = EnsureKey(key);
    if (!id)
        throw RegistryStoreError(RegistryStoreError::Kind::Missing,
                                 QStringLiteral("The registry key %1 does not exist").arg(key.join(u'\\')));
    RegistryStatement write(
        *this, "INSERT INTO vals (key, name, fold, type, data) VALUES (?1, ?2, ?3, ?4, ?5)"
               " ON CONFLICT (key, fold) DO UPDATE SET type = excluded.type, data = excluded.data");
    write.Bind(1, *id).Bind(2, name).Bind(3, Fold(name)).Bind(4, qint64(value.Type)).Bind(5, value.Data);
    write.Step();
}

bool RegistryStore::DeleteValue(const QStringList& key, const QString& name) {
    RequireWrite();
    const auto id = FindKey(key);
    if (!id || !FHasTables) return false;
    RegistryStatement remove(*this, "DELETE FROM vals WHERE key = ?1 AND fold = ?2");
    remove.Bind(1, *id).Bind(2, Fold(name));
    remove.Step();
    return sqlite3_changes(FDb) > 0;
}

bool RegistryStore::CopyTree(const QStringList& from, const QStringList& to) {
    RequireWrite();
    if (!KeyExists(from)) return false;
    bool inside = to.size() >= from.size();
    for (qsizetype i = 0; inside && i < from.size(); ++i)
        inside = SameName(from[i], to[i]);
    if (inside)
        throw RegistryStoreError(RegistryStoreError::Kind::Invalid,
                                 QStringLiteral("A registry key cannot be copied into itself"));
    const qint64 target = EnsureKey(to);
    Q_UNUSED(target);
    for (const QString& name : ValueNames(from))
        if (const auto value = ReadValue(from, name)) WriteValue(to, name, *value);
    for (const QString& child : KeyNames(from))
        CopyTree(from + QStringList{child}, to + QStringList{child});
    return true;
}

void RegistryStore::SetKeyNameCase(const QStringList& key, const QString& name) {
    RequireWrite();
    if (key.isEmpty() || !SameName(key.constLast(), name)) return;
    CheckKeyName(name);
    const qint64 id = EnsureKey(key);
    RegistryStatement rename(*this, "UPDATE keys SET name = ?2 WHERE id = ?1");
    rename.Bind(1, id).Bind(2, name);
    rename.Step();
}
