#pragma once

#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <utility>

// Short work off the calling thread, the program's one way of doing it: Qt Concurrent's
// run, giving a QFuture the caller waits on, watches (QFutureWatcher) or drops. The
// upload's worker thread (TSendFilesTask) is the one thread of its own.
namespace platform {

// Work that keeps a core busy (decoding, preparing prints): the global pool, as many
// threads as cores.
template <typename Work>
auto runComputation(Work&& work) {
    return QtConcurrent::run(QThreadPool::globalInstance(), std::forward<Work>(work));
}

// Work that waits on the network (a fetch from the lab): a pool of its own, so that a
// slow lab never holds the threads that decode.
QThreadPool& networkPool();

template <typename Work>
auto runNetwork(Work&& work) {
    return QtConcurrent::run(&networkPool(), std::forward<Work>(work));
}

}  // namespace platform
