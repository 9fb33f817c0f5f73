#pragma once

#include <QDateTime>
#include <QtGlobal>

// When the cached banner is fetched again. Times are packed the way DOS file times are
// (date in the high 16 bits: (year - 1980) * 512 + month * 32 + day; time in the low
// 16 bits: hour * 2048 + minute * 32 + second / 2), and the test works on those
// packed numbers, not on seconds: a day counts 65536, a month 32 days' worth.

// The local date and time packed; 0 for a year outside 1980-2107.
qint32 packDosDateTime(const QDateTime& local);

// Whether a banner written at fileTime (packed; -1 when unknown) is old at now
// (packed): their difference is at least 172801.
bool bannerIsOld(qint32 now, qint32 fileTime);
