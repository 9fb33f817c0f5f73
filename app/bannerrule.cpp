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
    return static_cast<qint64>(now) - fileTime >= 172801;
}
