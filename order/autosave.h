#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

namespace order {

class OrderTable;

// Saves the order table soon after every change that its close would save (adding,
// editing, deleting, sorting), so that a killed program or an ended desktop session
// loses nothing saved. Changes made in one go (a batch of added photos, a batch edit)
// come before the event loop runs again and are saved in one write. An edit in
// progress is not saved until it is posted. User-interface thread, like the table.
class AutoSave : public QObject {
    Q_OBJECT

public:
    explicit AutoSave(OrderTable& table, std::chrono::milliseconds delay = kDelay);

    // Saves now when the table has unsaved posted changes; false when that save failed.
    bool saveNow();

    static constexpr std::chrono::milliseconds kDelay{100};

Q_SIGNALS:
    // A save wrote the file.
    void saved();

private:
    void schedule();

    OrderTable& table_;
    QTimer timer_;
};

}  // namespace order
