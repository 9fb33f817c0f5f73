#include "app/bannerrule.h"

qint32 packDosDateTime(const QDateTime& local) {
    const QDate date = local.date();
    const QTime time = local.time();
    if (date.year() < 1980 || date.year() > 2107) {
        return 0;
    }
    const quint32 day =
        static_cast<quint32>((date.year() - 1980) * 512 + date.month() * 32 + date.day());
    const quint32 clock =
        static_cast<quint32>(time.hour() * 2048 + time.minute() * 32 + time.second() / 2);
    return static_cast<qint32>((day << 16) | clock);
}

bool bannerIsOld(qint32 now, qint32 fileTime) {
    // From 2044 on the packed date no longer fits a signed 32-bit number: the packed
    // values are compared as the unsigned numbers they are (-1 stays "unknown").
    const qint64 packedNow = static_cast<quint32>(now);
    const qint64 packedFile =
        fileTime == -1 ? -1 : static_cast<qint64>(static_cast<quint32>(fileTime));
    return packedNow - packedFile >= 172801;
}
