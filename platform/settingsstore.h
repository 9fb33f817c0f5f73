#pragma once

#include <QHash>
#include <QRecursiveMutex>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QSettings;

namespace platform {

// The per-user settings store, shaped like the registry the program was first written
// for: keys named by paths such as "\Software\Korvella\Formats\10x15", each holding
// subkeys and named string values. Key and value names compare without letter case
// (two names differing only in case are one key) and are listed in ascending order of
// name without letter case. Every operation reports failure as false or nothing; a
// store that cannot be written fails the writing operations.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Opens the key, creating it and any missing parent. Names are separated by "\\";
    // a name may hold "/" (as registry key names may). An empty or over-long name cannot
    // be a key: the creation fails.
    virtual bool createKey(const QString& path) = 0;
    // Opens or creates the subkey named name under the key at parentPath. A name
    // holding "\\" cannot be a key (it would name another key): refused.
    bool createSubkey(const QString& parentPath, const QString& name) {
        return !name.contains(u'\\') && createKey(parentPath + u'\\' + name);
    }
    // Whether the key exists.
    virtual bool openKey(const QString& path) = 0;
    virtual std::optional<int> subkeyCount(const QString& path) = 0;
    virtual std::optional<int> valueCount(const QString& path) = 0;
    virtual QStringList subkeyNames(const QString& path) = 0;
    // Deletes the key with all its subkeys and values.
    virtual bool deleteKey(const QString& path) = 0;
    virtual bool setValue(const QString& path, const QString& name, const QString& value) = 0;
    virtual std::optional<QString> value(const QString& path, const QString& name) = 0;
    // Makes every change so far permanent; false when that failed.
    virtual bool flush() = 0;
};

// Key names longer than this cannot be created (as in the registry).
inline constexpr int kMaxKeyNameLength = 255;

// The program's own key, under which every other lies.
inline const QString ProgramKey = QStringLiteral("\\Software\\Korvella");

// The store over QSettings in the platform's native format, organisation "Korvella":
// on Linux ~/.config/Korvella.conf (XDG_CONFIG_HOME), on Windows the registry under
// HKEY_CURRENT_USER\Software\Korvella. Paths must begin with "\Software\Korvella".
// Changes reach the file at flush() and when the store is destroyed; whether the file
// can be written is judged once, when the store first writes.
// A key name holding "/" (which QSettings would read as a group separator) is kept in
// the file with "/" written as "%2F" and "%" as "%25"; names in files written before
// that hold neither sequence and read as they are.
// Threads: one store serves the whole program, so that what one thread writes (a
// session key stored by the upload worker) the others list at once. Any thread may
// call it; every operation holds the store's lock, also QSettings' own deferred sync.
class QSettingsStore final : public SettingsStore {
public:
    QSettingsStore();
    ~QSettingsStore() override;

    bool createKey(const QString& path) override;
    bool openKey(const QString& path) override;
    std::optional<int> subkeyCount(const QString& path) override;
    std::optional<int> valueCount(const QString& path) override;
    QStringList subkeyNames(const QString& path) override;
    bool deleteKey(const QString& path) override;
    bool setValue(const QString& path, const QString& name, const QString& value) override;
    std::optional<QString> value(const QString& path, const QString& name) override;
    bool flush() override;

private:
    std::optional<QString> resolve(const QString& path);
    bool writable();

    QRecursiveMutex mutex_;  // before settings_, which uses it until destroyed
    std::unique_ptr<QSettings> settings_;
    // The subkeys of a group, read from QSettings once and then kept up to date: the
    // case-folded name (as the caller names it) and the group's name as stored.
    QHash<QString, QString>& children(const QString& group);
    QHash<QString, QHash<QString, QString>> children_;
    std::optional<bool> writable_;
};

}  // namespace platform
