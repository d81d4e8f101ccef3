#pragma once
// The registry store: one SQLite database per hive holding keys (case-insensitive,
// case-preserving names), typed values and sub-keys. Every RegistryStore object is
// one transaction on one hive: changes become visible together at Commit() and
// vanish together when the object is destroyed without it, so no key is ever left
// half written, also when the program dies in between.
//
// Where the databases live: with BRENVALE_REGISTRY_ROOT set (an absolute folder;
// tests use it), every hive is <root>/<HIVE NAME>.db. Otherwise HKEY_CURRENT_USER is
// $XDG_DATA_HOME/BrenvaleRegistry/HKEY_CURRENT_USER.db, private to the user, and
// the other hives are system-wide in /var/lib/BrenvaleRegistry/, writable by root.
//
// Keys are given as their path elements below the hive; the hive's root is the
// empty list. Desktop answers (DesktopRegistryKeys) are layered under the stored
// data: they appear in every read unless a value of the same name is stored.
//
// Failures throw RegistryStoreError; a missing key or value is no failure.
#include "DesktopRegistryKeys.h"
#include "RegistryHive.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <stdexcept>

struct sqlite3;

class RegistryStoreError : public std::runtime_error {
  public:
    enum class Kind {
        Denied,  // no permission, a read-only session asked to write, or a read-only file system
        Busy,    // another process holds the database locked
        Damaged, // the file is not a readable registry database
        Missing, // a write into a key that does not exist
        Invalid, // a name the registry does not allow, or a copy into its own source
        Failed,  // anything else (disk full, I/O error)
    };
    RegistryStoreError(Kind kind, const QString& message);
    Kind ErrorKind() const { return FKind; }

  private:
    Kind FKind;
};

class RegistryStore {
  public:
    enum class Access { Read, Write };

    // Opens the hive's database and begins the transaction. A read of a hive whose
    // database does not exist yet sees an empty hive (plus the desktop's keys).
    RegistryStore(HKEY hive, Access access);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    void Commit();

    HKEY Hive() const { return FHive; }

    static QString DatabasePath(HKEY hive); // empty for an unknown hive
    // A token that differs whenever the hive's stored data may have changed: a
    // commit in this process, or one by another process. It reads a few bytes of
    // the file instead of opening the database, so pollers can skip reads while
    // it stays equal.
    static QByteArray ChangeStamp(HKEY hive);
    // Transactions begun in this process; shows whether a cache spared the database.
    static std::uint64_t TransactionsBegun();
    // How long an operation waits for another process's lock before it fails.
    static void SetBusyTimeout(int milliseconds);
    // "Software\\Foo\\" -> {"Software", "Foo"}; empty elements are skipped.
    static QStringList SplitKeyPath(const QString& path);

    bool KeyExists(const QStringList& key);
    // Sub-key names sorted without regard to case; empty for a missing key.
    QStringList KeyNames(const QStringList& key);
    // Value names in the order they were first written, then the desktop's.
    QStringList ValueNames(const QStringList& key);
    std::optional<RegistryValue> ReadValue(const QStringList& key, const QString& name);

    // Creates the key and any missing key on the way to it.
    void CreateKey(const QStringList& key);
    // Deletes the key with all its sub-keys and values; false when it did not exist.
    // The hive's root is never deleted.
    bool DeleteKey(const QStringList& key);
    // The key must exist (Missing otherwise).
    void WriteValue(const QStringList& key, const QString& name, const RegistryValue& value);
    bool DeleteValue(const QStringList& key, const QString& name);
    // Copies the key with its values and sub-keys into `to` (created when missing),
    // merging with what is there. False when `from` does not exist; Invalid when
    // `to` lies inside `from`.
    bool CopyTree(const QStringList& from, const QStringList& to);
    // Changes only the letter case of the key's own name.
    void SetKeyNameCase(const QStringList& key, const QString& name);

  private:
    std::optional<qint64> FindKey(const QStringList& key);
    qint64 EnsureKey(const QStringList& key);
    void RequireWrite() const;
    void Execute(const char* sql);
    [[noreturn]] void Fail(int code, const QString& what) const;

    HKEY FHive;
    Access FAccess;
    sqlite3* FDb = nullptr;
    bool FHasTables = false;
    bool FFinished = false;

    friend class RegistryStatement;
};
