#include "order/ordertable.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSignalBlocker>
#include <algorithm>
#include <cerrno>
#include <cmath>

#include "order/keyrule.h"
#include "order/log.h"
#include "platform/regularfile.h"

namespace order {

OrderTable::OrderTable(QObject* parent) : QObject(parent) {}

OrderTable::~OrderTable() {
    const QSignalBlocker quiet(this);
    if (isOpen() && !close()) {
        qCWarning(lcOrder) << "the order could not be saved at the end:" << error_;
    }
}

bool OrderTable::open() {
    if (isOpen() && !close()) {
        return false;
    }
    OrderFileContents contents{OrderFileLayout::standard(), {}};
    platform::RegularFile file(fileName_);
    // No file (nor a folder for it) is an empty order, not a damaged one.
    if (file.isOpen() || (file.error() != ENOENT && file.error() != ENOTDIR)) {
        std::optional<QByteArray> bytes;
        if (!file.isOpen()) {
            error_ = QStringLiteral("Cannot open file \"%1\". %2").arg(fileName_, file.errorText());
            return false;
        }
        if (!file.isRegular()) {
            error_ = QStringLiteral("Файл заказа %1 не является обычным файлом.").arg(fileName_);
            return false;
        }
        if (file.size() > kMaxOrderFileBytes || !(bytes = file.readAll(kMaxOrderFileBytes))) {
            error_ = file.size() > kMaxOrderFileBytes || file.error() == 0
                         ? QStringLiteral("Файл заказа %1 больше %2 МБ: такого заказа не бывает.")
                               .arg(fileName_)
                               .arg(kMaxOrderFileBytes / (1024 * 1024))
                         : QStringLiteral("Файл заказа %1 не читается: %2")
                               .arg(fileName_, file.errorText());
            return false;
        }
        std::optional<OrderFileContents> parsed = parseOrderFile(*bytes, &error_);
        if (!parsed) {
            return false;
        }
        contents = std::move(*parsed);
    }
    layout_ = std::move(contents.layout);
    setRows(std::move(contents.rows));
    position_ = rows_.empty() ? -1 : 0;
    state_ = State::Browse;
    changed_ = false;
    error_.clear();
    Q_EMIT dataChanged();
    return true;
}

bool OrderTable::close() {
    if (!isOpen()) {
        return true;
    }
    checkBrowseMode();
    if (changed_ && !save()) {
        return false;
    }
    setRows({});
    position_ = -1;
    layout_ = OrderFileLayout::standard();
    state_ = State::Closed;
    Q_EMIT dataChanged();
    return true;
}

void OrderTable::setRows(std::vector<StoredRow> rows) {
    rows_ = std::move(rows);
    keyCount_.clear();
    for (const StoredRow& stored : rows_) {
        indexKey(stored.row.file, 1);
    }
    sortedBy_.reset();
}

void OrderTable::indexKey(const QString& file, int delta) {
    int& count = keyCount_[foldedKey(file)];
    count += delta;
    if (count <= 0) {
        keyCount_.remove(foldedKey(file));
    }
}

bool OrderTable::save() {
    if (!saveTo(fileName_)) {
        return false;
    }
    changed_ = false;
    return true;
}

bool OrderTable::saveTo(const QString& path) {
    QSaveFile file(path);
    const QByteArray bytes = serializeOrderFile(layout_, rows_);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error_ = QStringLiteral("Unable to write to csv file %1").arg(path);
        qCWarning(lcOrder) << "saving failed:" << path << file.errorString();
        return false;
    }
    return true;
}

const OrderRow& OrderTable::current() const {
    static const OrderRow none;
    if (state_ == State::Edit || state_ == State::Append) {
        return buffer_;
    }
    return position_ >= 0 ? rows_[position_].row : none;
}

void OrderTable::checkBrowseMode() {
    if (state_ == State::Edit || state_ == State::Append) {
        post();
    }
}

void OrderTable::moveTo(int position) {
    checkBrowseMode();
    if (rows_.empty()) {
        return;
    }
    position = std::clamp(position, 0, rowCount() - 1);
    if (position == position_) {
        return;
    }
    position_ = position;
    Q_EMIT afterScroll();
    Q_EMIT dataChanged();
}

void OrderTable::first() {
    moveTo(0);
}
void OrderTable::last() {
    moveTo(rowCount() - 1);
}
void OrderTable::next() {
    moveTo(position_ + 1);
}
void OrderTable::prior() {
    moveTo(position_ - 1);
}
void OrderTable::moveBy(int rows) {
    moveTo(position_ + rows);
}
void OrderTable::gotoBookmark(int bookmark) {
    moveTo(bookmark);
}

bool OrderTable::append() {
    if (!isOpen()) {
        return false;
    }
    checkBrowseMode();
    buffer_ = OrderRow();
    state_ = State::Append;
    return true;
}

void OrderTable::edit() {
    if (state_ != State::Browse || position_ < 0) {
        return;
    }
    buffer_ = rows_[position_].row;
    state_ = State::Edit;
}

bool OrderTable::setField(Field field, const QVariant& value) {
    if (state_ == State::Browse) {
        edit();
    }
    if (state_ == State::Edit) {
        if (readOnly_[static_cast<int>(field)] || (validator_ && !validator_(field, value))) {
            return false;
        }
    } else if (state_ != State::Append) {
        return false;
    }
    buffer_.setValue(field, value);
    return true;
}

void OrderTable::post() {
    if (state_ == State::Append) {
        rows_.push_back({buffer_, std::nullopt});
        indexKey(buffer_.file, 1);
        sortedBy_.reset();
        position_ = rowCount() - 1;
        state_ = State::Browse;
        changed_ = true;
        Q_EMIT afterScroll();
        Q_EMIT dataChanged();
    } else if (state_ == State::Edit) {
        StoredRow& stored = rows_[position_];
        if (!(stored.row == buffer_)) {
            indexKey(stored.row.file, -1);
            indexKey(buffer_.file, 1);
            stored.row = buffer_;
            stored.lineAsRead.reset();
            sortedBy_.reset();
        }
        state_ = State::Browse;
        changed_ = true;
        Q_EMIT dataChanged();
    }
}

void OrderTable::cancel() {
    if (state_ == State::Edit || state_ == State::Append) {
        state_ = State::Browse;
        Q_EMIT dataChanged();
    }
}

bool OrderTable::locate(const QString& path) {
    checkBrowseMode();
    if (!keyCount_.contains(foldedKey(path))) {
        return false;
    }
    const auto it = std::find_if(rows_.begin(), rows_.end(), [&](const StoredRow& stored) {
        return keysEqual(stored.row.file, path);
    });
    if (it == rows_.end()) {
        return false;
    }
    const int found = static_cast<int>(it - rows_.begin());
    if (found != position_) {
        position_ = found;
        Q_EMIT afterScroll();
    }
    Q_EMIT dataChanged();
    return true;
}

int compareFieldValues(Field field, const OrderRow& a, const OrderRow& b) {
    if (isIntegerField(field)) {
        constexpr double kNotANumber = 99999.9;
        constexpr double kTolerance = 0.02;
        const QVariant x = a.value(field);
        const QVariant y = b.value(field);
        const double dx = x.isNull() ? kNotANumber : x.toDouble();
        const double dy = y.isNull() ? kNotANumber : y.toDouble();
        if (std::fabs(dx - dy) <= kTolerance) {
            return 0;
        }
        return dx < dy ? -1 : 1;
    }
    return compareKeys(a.text(field), b.text(field));
}

void OrderTable::sort(Field field, bool ascending) {
    if (!isOpen()) {
        return;
    }
    checkBrowseMode();
    std::stable_sort(rows_.begin(), rows_.end(), [&](const StoredRow& a, const StoredRow& b) {
        const int order = compareFieldValues(field, a.row, b.row);
        return ascending ? order < 0 : order > 0;
    });
    sortedBy_ = std::make_pair(field, ascending);
    changed_ = true;
    position_ = rows_.empty() ? -1 : 0;
    Q_EMIT afterScroll();
    Q_EMIT dataChanged();
}

bool OrderTable::appendSorted(const OrderRow& row, Field field, bool ascending) {
    if (!isOpen()) {
        return false;
    }
    checkBrowseMode();
    if (sortedBy_ != std::make_pair(field, ascending)) {
        append();
        buffer_ = row;
        post();
        sort(field, ascending);
        return true;
    }
    // After every row that does not sort behind the new one, as a stable sort of the
    // table with the row appended would place it.
    const auto place = std::upper_bound(
        rows_.begin(), rows_.end(), row, [&](const OrderRow& value, const StoredRow& stored) {
            const int order = compareFieldValues(field, value, stored.row);
            return ascending ? order < 0 : order > 0;
        });
    rows_.insert(place, StoredRow{row, std::nullopt});
    indexKey(row.file, 1);
    changed_ = true;
    position_ = 0;
    Q_EMIT afterScroll();
    Q_EMIT dataChanged();
    return true;
}

void OrderTable::deleteRows(int from, int to) {
    checkBrowseMode();
    from = std::max(from, 0);
    to = std::min(to, rowCount() - 1);
    if (from > to) {
        return;
    }
    for (int i = from; i <= to; ++i) {
        indexKey(rows_[i].row.file, -1);
    }
    rows_.erase(rows_.begin() + from, rows_.begin() + to + 1);
    if (rows_.empty()) {
        position_ = -1;
    } else {
        position_ = position_ < rowCount() ? 0 : rowCount() - 1;
    }
    changed_ = true;
    Q_EMIT afterScroll();
    Q_EMIT dataChanged();
}

void OrderTable::empty() {
    if (!isOpen()) {
        return;
    }
    if (state_ == State::Edit || state_ == State::Append) {
        state_ = State::Browse;
    }
    rows_.clear();
    keyCount_.clear();
    position_ = -1;
    QFile::remove(fileName_);
    Q_EMIT afterScroll();
    Q_EMIT dataChanged();
}

void OrderTable::refresh() {
    Q_EMIT dataChanged();
}

std::optional<QString> openSettingAsideDamaged(OrderTable& table) {
    if (table.open()) {
        return std::nullopt;
    }
    QString message = table.errorString();
    // The first free name of Data.csv.damaged, Data.csv.damaged.2, ...: an earlier
    // damaged order is never overwritten.
    QString aside;
    for (int copy = 1; copy <= kMaxDamagedCopies && aside.isEmpty(); ++copy) {
        const QString name = table.fileName() + QStringLiteral(".damaged") +
                             (copy == 1 ? QString() : QStringLiteral(".%1").arg(copy));
        if (!QFileInfo(name).exists() && !QFileInfo(name).isSymLink() &&
            QFile::rename(table.fileName(), name)) {
            aside = name;
        }
    }
    if (aside.isEmpty()) {
        qCWarning(lcOrder) << "the damaged order file could not be set aside:" << table.fileName();
        return message + QStringLiteral(
                             "\r\n\r\nФайл заказа %1 не удалось отложить, поэтому список "
                             "закрыт: фотографии в него не добавляются. Переместите этот файл "
                             "и запустите программу снова.")
                             .arg(table.fileName());
    }
    qCWarning(lcOrder) << "the damaged order file was set aside as" << aside;
    message +=
        QStringLiteral("\r\n\r\nФайл заказа сохранён как %1, список начат заново.").arg(aside);
    if (!table.open()) {
        message +=
            QStringLiteral("\r\n\r\nНовый список открыть не удалось: %1").arg(table.errorString());
    }
    return message;
}

}  // namespace order
