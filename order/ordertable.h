#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "order/orderfile.h"
#include "order/orderrow.h"

namespace order {

// The order: an ordered list of rows with a cursor on the current row, kept in
// Data.csv. Positions and bookmarks count from 0. Lives on the user-interface thread;
// the upload worker reads the current row while that thread waits for it.
//
// Saving happens on close() when the table changed since it was opened or saved; it
// writes a new file and swaps it in, so a failed save leaves the old file whole.
// A closed table holds no rows and refuses every change (appends, edits, sorts,
// deletions, emptying): nothing is taken that a later close() would not save.
class OrderTable : public QObject {
    Q_OBJECT

public:
    enum class State { Closed, Browse, Edit, Append };

    // Asked for every field set on an existing row; false refuses the value.
    using Validator = std::function<bool(Field field, const QVariant& value)>;

    explicit OrderTable(QObject* parent = nullptr);
    // Closes the table, saving it when changed, without any notice (whoever listened
    // may be gone by now); a failed save is only logged here: close() explicitly first
    // to learn of it.
    ~OrderTable() override;

    void setFileName(const QString& path) { fileName_ = path; }
    const QString& fileName() const { return fileName_; }
    void setValidator(Validator validator) { validator_ = std::move(validator); }
    // A read-only field refuses every value set on an existing row.
    void setReadOnly(Field field, bool readOnly) { readOnly_[static_cast<int>(field)] = readOnly; }

    // Loads the file when it exists, otherwise starts empty; cursor on the first row,
    // changed flag cleared. On failure the table stays closed: see errorString().
    bool open();
    // Saves when changed, then drops the rows. When the save fails the table stays
    // open with all its rows and the changed flag set: see errorString().
    bool close();
    bool isOpen() const { return state_ != State::Closed; }
    bool isChanged() const { return changed_; }
    const QString& errorString() const { return error_; }
    // The header line the next save writes.
    const QString& header() const { return layout_.header; }
    // Saves the stored rows now when they changed (an edit in progress stays pending),
    // as close() would, and keeps the table open; false with errorString() when the
    // save failed.
    bool saveChanges() { return !changed_ || save(); }
    // Writes the table to a file as a save does (atomically), without touching the
    // changed flag.
    bool saveTo(const QString& path);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    // The stored row at a position (not an edit in progress).
    const OrderRow& row(int position) const { return rows_.at(position).row; }
    // The current row with an edit in progress applied; an empty row when there is
    // no current row.
    const OrderRow& current() const;
    QVariant value(Field field) const { return current().value(field); }
    // The current position; -1 when the table is empty.
    int position() const { return position_; }

    // Cursor movement; a pending edit is posted first.
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int rows);
    int bookmark() const { return position_; }
    void gotoBookmark(int bookmark);

    // Starts a new row, which post() adds at the end; fields set on it are not
    // validated. False on a closed table.
    bool append();
    // Starts changing the current row.
    void edit();
    // Sets a field of the row being appended or edited (starting an edit when
    // browsing). On an existing row the value passes the validator first; a refused
    // value is not stored and the result is false.
    bool setField(Field field, const QVariant& value);
    void post();
    void cancel();
    State state() const { return state_; }

    // Finds the first row whose file equals the path by the key rule and makes it
    // current; false (cursor unmoved) when there is none.
    bool locate(const QString& path);
    // Sorts all rows by one field; the cursor goes to the first row.
    void sort(Field field, bool ascending);
    // Appends a row and sorts the table as sort() does, in one step: the row takes the
    // place a stable sort gives it, so adding many rows costs no full sort each. False
    // on a closed table.
    bool appendSorted(const OrderRow& row, Field field, bool ascending);
    // Removes the rows from..to (inclusive); the cursor goes to the first row when
    // its old position is still inside the table, else to the last row.
    void deleteRows(int from, int to);
    // Removes every row and deletes the file at once; the changed flag is kept. A
    // closed table leaves its file alone: it may be one that could not be read.
    void empty();
    // Tells the views to show the current row again.
    void refresh();

Q_SIGNALS:
    // The current row or the data changed.
    void dataChanged();
    // The cursor moved.
    void afterScroll();

private:
    bool save();
    void moveTo(int position);
    void checkBrowseMode();
    void setRows(std::vector<StoredRow> rows);
    void indexKey(const QString& file, int delta);

    QString fileName_;
    QString error_;
    Validator validator_;
    State state_ = State::Closed;
    OrderFileLayout layout_ = OrderFileLayout::standard();
    std::vector<StoredRow> rows_;
    int position_ = -1;
    OrderRow buffer_;
    bool changed_ = false;
    std::array<bool, kFieldCount> readOnly_{};
    // How many rows hold each key (the file path with Latin letters folded), so that a
    // look-up of a new file costs no pass over the table.
    QHash<QString, int> keyCount_;
    // The order the rows are known to be in, kept while only sorted inserts and
    // deletions change the table.
    std::optional<std::pair<Field, bool>> sortedBy_;
};

// Sorting rule for one field: integers compare as numbers (an empty value counts as
// 99999.9, values within 0.02 are equal), texts by the key rule. Negative, zero or
// positive like a three-way comparison.
int compareFieldValues(Field field, const OrderRow& a, const OrderRow& b);

// The largest order file that is read: a hundred thousand photos take about 12 MB, so
// anything larger is not an order this program wrote, and is not read into memory.
inline constexpr qint64 kMaxOrderFileBytes = 64LL * 1024 * 1024;
// How many damaged order files are kept side by side before the table stays closed.
inline constexpr int kMaxDamagedCopies = 1000;

// Opens the table at start-up. When its file cannot be read (damaged, too large, not a
// regular file), the file is moved aside as Data.csv.damaged, or Data.csv.damaged.2
// and so on when that name is taken, so no order is ever overwritten by an empty one, an empty
// table is opened, and the message for the user is returned. When the file cannot be moved aside,
// or the empty table cannot be opened after all, the table stays closed and the message says so.
std::optional<QString> openSettingAsideDamaged(OrderTable& table);

}  // namespace order
