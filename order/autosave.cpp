#include "order/autosave.h"

#include "order/log.h"
#include "order/ordertable.h"

namespace order {

AutoSave::AutoSave(OrderTable& table, std::chrono::milliseconds delay) : table_(table) {
    timer_.setSingleShot(true);
    timer_.setInterval(delay);
    connect(&timer_, &QTimer::timeout, this, [this] { saveNow(); });
    connect(&table_, &OrderTable::dataChanged, this, &AutoSave::schedule);
}

void AutoSave::schedule() {
    // Not restarted by later changes: a long run of changes is still saved every delay.
    if (table_.isChanged() && !timer_.isActive()) {
        timer_.start();
    }
}

bool AutoSave::saveNow() {
    timer_.stop();
    if (!table_.isOpen() || !table_.isChanged()) {
        return true;
    }
    if (table_.state() != OrderTable::State::Browse) {
        return true;  // posting the edit will ask again
    }
    if (!table_.saveChanges()) {
        qCWarning(lcOrder) << "the order could not be saved as it changed:" << table_.errorString();
        return false;
    }
    Q_EMIT saved();
    return true;
}

}  // namespace order
