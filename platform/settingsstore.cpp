#include "platform/settingsstore.h"

#include <QEvent>
#include <QMutexLocker>
#include <QSettings>
#include <algorithm>

namespace platform {

namespace {

const QString& kRoot = ProgramKey;
// QSettings keeps no empty groups: every key holds this entry, which no listing shows.
const QString kKeyMarker = QStringLiteral("$key");

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList sortedNames(QStringList names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

bool validName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && name.size() <= kMaxKeyNameLength &&
           !name.contains(u'\\');
}

// A key name as a QSettings group name: "/" would separate groups.
QString storedName(const QString& name) {
    QString stored = name;
    return stored.replace(u'%', QStringLiteral("%25")).replace(u'/', QStringLiteral("%2F"));
}

// The key name a QSettings group name stands for; sequences other than %2F and %25 are
// taken as they are.
QString keyName(const QString& stored) {
    if (!stored.contains(u'%')) {
        return stored;
    }
    QString name;
    name.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QStringView next = QStringView(stored).mid(i + 1, 2);
        if (stored[i] == u'%' && next.compare(u"2F", Qt::CaseInsensitive) == 0) {
            name += u'/';
            i += 2;
        } else if (stored[i] == u'%' && next == u"25") {
            name += u'%';
            i += 2;
        } else {
            name += stored[i];
        }
    }
    return name;
}

// QSettings syncs itself from an event on the thread that made it: that sync takes the
// store's lock like every other use.
class LockedSettings final : public QSettings {
public:
    explicit LockedSettings(QRecursiveMutex& mutex)
        : QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvella")),
          mutex_(mutex) {}

protected:
    bool event(QEvent* event) override {
        const QMutexLocker lock(&mutex_);
        return QSettings::event(event);
    }

private:
    QRecursiveMutex& mutex_;
};

// The path's names below the root, or nothing for a path outside it.
std::optional<QStringList> namesOf(const QString& path) {
    if (!path.startsWith(kRoot, Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    const QString rest = path.mid(kRoot.size());
    if (!rest.isEmpty() && !rest.startsWith(u'\\')) {
        return std::nullopt;
    }
    if (rest.isEmpty()) {
        return QStringList();
    }
    // "\Software\Korvella\Formats\" names an empty subkey, which no key can be.
    return rest.mid(1).split(u'\\');
}

}  // namespace

QSettingsStore::QSettingsStore() : settings_(std::make_unique<LockedSettings>(mutex_)) {}

QSettingsStore::~QSettingsStore() {
    flush();
    const QMutexLocker lock(&mutex_);
    settings_.reset();
}

// Writes go to QSettings' memory and reach the file at the next sync (at the latest
// when the store is destroyed); a file that cannot be written is caught before.
bool QSettingsStore::writable() {
    if (!writable_) {
        // Once per store: QSettings' own check creates a file each time it is asked.
        writable_ = settings_->isWritable();
    }
    return *writable_ && settings_->status() == QSettings::NoError;
}

bool QSettingsStore::flush() {
    const QMutexLocker lock(&mutex_);
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

QHash<QString, QString>& QSettingsStore::children(const QString& group) {
    auto it = children_.find(group);
    if (it == children_.end()) {
        QHash<QString, QString> names;
        settings_->beginGroup(group);
        for (const QString& child : settings_->childGroups()) {
            names.insert(keyName(child).toCaseFolded(), child);
        }
        settings_->endGroup();
        it = children_.insert(group, names);
    }
    return *it;
}

// The QSettings group of an existing key, its names spelt as stored.
std::optional<QString> QSettingsStore::resolve(const QString& path) {
    const std::optional<QStringList> names = namesOf(path);
    if (!names || !std::all_of(names->begin(), names->end(), validName)) {
        return std::nullopt;
    }
    QString group;
    for (const QString& name : *names) {
        const QHash<QString, QString>& known = children(group);
        const auto found = known.constFind(name.toCaseFolded());
        if (found == known.constEnd()) {
            return std::nullopt;
        }
        group = group.isEmpty() ? *found : group + u'/' + *found;
    }
    return group;
}

bool QSettingsStore::createKey(const QString& path) {
    const QMutexLocker lock(&mutex_);
    const std::optional<QStringList> names = namesOf(path);
    if (!names || !std::all_of(names->begin(), names->end(), validName)) {
        return false;
    }
    QString group;
    for (const QString& name : *names) {
        QHash<QString, QString>& known = children(group);
        const QString folded = name.toCaseFolded();
        auto found = known.constFind(folded);
        if (found == known.constEnd()) {
            if (!writable()) {
                return false;
            }
            const QString stored = storedName(name);
            found = known.insert(folded, stored);
            settings_->setValue(
                (group.isEmpty() ? stored : group + u'/' + stored) + u'/' + kKeyMarker, true);
        }
        group = group.isEmpty() ? *found : group + u'/' + *found;
    }
    return true;
}

bool QSettingsStore::openKey(const QString& path) {
    const QMutexLocker lock(&mutex_);
    return resolve(path).has_value();
}

std::optional<int> QSettingsStore::subkeyCount(const QString& path) {
    const QMutexLocker lock(&mutex_);
    const std::optional<QString> group = resolve(path);
    if (!group) {
        return std::nullopt;
    }
    return static_cast<int>(children(*group).size());
}

std::optional<int> QSettingsStore::valueCount(const QString& path) {
    const QMutexLocker lock(&mutex_);
    const std::optional<QString> group = resolve(path);
    if (!group) {
        return std::nullopt;
    }
    settings_->beginGroup(*group);
    const int count = static_cast<int>(settings_->childKeys().size()) -
                      (settings_->childKeys().contains(kKeyMarker) ? 1 : 0);
    settings_->endGroup();
    return count;
}

QStringList QSettingsStore::subkeyNames(const QString& path) {
    const QMutexLocker lock(&mutex_);
    const std::optional<QString> group = resolve(path);
    if (!group) {
        return {};
    }
    QStringList names;
    for (const QString& stored : children(*group)) {
        names << keyName(stored);
    }
    return sortedNames(names);
}

bool QSettingsStore::deleteKey(const QString& path) {
    const QMutexLocker lock(&mutex_);
    const std::optional<QString> group = resolve(path);
    if (!group || group->isEmpty() || !writable()) {
        return false;
    }
    settings_->remove(*group);
    // Forget the key and what is known under it.
    const qsizetype slash = group->lastIndexOf(u'/');
    children(slash < 0 ? QString() : group->first(slash))
        .remove(keyName(group->mid(slash + 1)).toCaseFolded());
    for (auto it = children_.begin(); it != children_.end();) {
        if (it.key() == *group || it.key().startsWith(*group + u'/')) {
            it = children_.erase(it);
        } else {
            ++it;
        }
    }
    return true;
}

bool QSettingsStore::setValue(const QString& path, const QString& name, const QString& value) {
    const QMutexLocker lock(&mutex_);
    const std::optional<QString> group = resolve(path);
    if (!group || name.isEmpty() || name.contains(u'/') || name.contains(u'\\') ||
        name == kKeyMarker || !writable()) {
        return false;
    }
    settings_->beginGroup(*group);
    const QStringList keys = settings_->childKeys();
    const auto found = std::find_if(keys.begin(), keys.end(),
                                    [&](const QString& key) { return sameName(key, name); });
    settings_->setValue(found == keys.end() ? name : *found, value);
    settings_->endGroup();
    return true;
}

std::optional<QString> QSettingsStore::value(const QString& path, const QString& name) {
    const QMutexLocker lock(&mutex_);
    const std::optional<QString> group = resolve(path);
    if (!group) {
        return std::nullopt;
    }
    settings_->beginGroup(*group);
    const QStringList keys = settings_->childKeys();
    const auto found = std::find_if(keys.begin(), keys.end(), [&](const QString& key) {
        return key != kKeyMarker && sameName(key, name);
    });
    std::optional<QString> result;
    if (found != keys.end()) {
        result = settings_->value(*found).toString();
    }
    settings_->endGroup();
    return result;
}

}  // namespace platform
