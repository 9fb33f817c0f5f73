#pragma once

#include <QDateTime>
#include <QFuture>
#include <QHash>
#include <QString>
#include <QStringList>
#include <mutex>
#include <optional>

#include "images/preview.h"

namespace images {

// The viewer's neighbours decoded ahead: caches of the photos next to the one shown,
// made by openPreviewCache on the program's computation pool while the customer looks,
// so that moving on finds the next cache ready. The pictures are exactly those
// openPreviewCache makes; a photo changed on disk since is not taken. Any thread.
class PreviewAhead {
public:
    PreviewAhead() = default;
    // Waits for the decodes still running.
    ~PreviewAhead();
    PreviewAhead(const PreviewAhead&) = delete;
    PreviewAhead& operator=(const PreviewAhead&) = delete;

    // Decodes these photos ahead (those not decoded or being decoded already) and
    // forgets every other one.
    void prepare(const QStringList& paths);
    // The photo's cache decoded ahead, waiting for it while its decode runs; nothing
    // when it was not asked for, has changed since, or could not be decoded (the caller
    // decodes it itself and reports why).
    std::optional<PreviewCache> take(const QString& path);

private:
    struct Entry {
        QDateTime modified;
        qint64 size = -1;
        QFuture<PreviewCache> cache;
    };
    static std::pair<QDateTime, qint64> stamp(const QString& path);

    std::mutex mutex_;
    QHash<QString, Entry> entries_;
};

}  // namespace images
