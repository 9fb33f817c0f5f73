#include "images/previewahead.h"

#include <QFileInfo>

#include "images/vipsinit.h"
#include "platform/background.h"

namespace images {

std::pair<QDateTime, qint64> PreviewAhead::stamp(const QString& path) {
    const QFileInfo file(path);
    return {file.lastModified(), file.exists() ? file.size() : -1};
}

PreviewAhead::~PreviewAhead() {
    for (Entry& entry : entries_) {
        entry.cache.waitForFinished();
    }
}

void PreviewAhead::prepare(const QStringList& paths) {
    ensureVips();  // once, before any thread decodes
    QHash<QString, Entry> kept;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const QString& path : paths) {
            if (path.isEmpty() || kept.contains(path)) {
                continue;
            }
            const auto [modified, size] = stamp(path);
            const auto known = entries_.constFind(path);
            if (known != entries_.constEnd() && known->modified == modified &&
                known->size == size) {
                kept.insert(path, *known);
            } else if (size >= 0) {
                kept.insert(path, {modified, size, platform::runComputation([path] {
                                       return openPreviewCache(path);
                                   })});
            }
        }
        std::swap(entries_, kept);
    }
    // A decode still running for an entry forgotten here finishes on its own, unseen.
}

std::optional<PreviewCache> PreviewAhead::take(const QString& path) {
    QFuture<PreviewCache> cache;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto entry = entries_.constFind(path);
        if (entry == entries_.constEnd()) {
            return std::nullopt;
        }
        const auto [modified, size] = stamp(path);
        if (entry->modified != modified || entry->size != size) {
            return std::nullopt;
        }
        cache = entry->cache;
    }
    try {
        return cache.result();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace images
