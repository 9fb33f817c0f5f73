#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/settingsstore.h"

namespace platform {
class Clock;
class Dialogs;
class SettingsStore;
}  // namespace platform

// Upload sessions: a new key from the lab for every upload, each key kept in the
// settings store under the local date and time it came at (its stamp), so that the
// session window can list old sessions and open their pages again.
namespace service {

// Where the sessions live in the settings store: one subkey per session, named by its
// stamp, holding the key as the string value "Session".
inline const QString SessionsKey = platform::ProgramKey + QStringLiteral("\\Sessions");

// What the sessions work with, handed in by the caller. httpGet reads an address as
// text (HttpGet's text mode) and may throw its errors; they reach the caller.
struct SessionServices {
    std::function<QString(const QString& url)> httpGet;
    platform::SettingsStore& store;
    platform::Dialogs& dialogs;
    const platform::Clock& clock;
    QString serviceHost;
    QString serviceWebAddress;
    // The user's regional formats, for the stamps.
    QLocale locale = QLocale::system();
};

// The user's long time format without the time zone Qt adds to it.
QString longTimeWithoutZone(const QLocale& locale);

// The stamp of a key obtained at this local date and time: the short date, then,
// unless hours, minutes and seconds are all zero, a blank and the long time.
QString sessionStamp(const QDateTime& local, const QLocale& locale);

// The address of a session's page on the lab's site; an empty key still gives the
// address ending in "key=".
QString sessionPageAddress(const QString& serviceHost, const QString& key);

// Asks the lab for a new session key and stores it under the current stamp (replacing
// a key stored in the same second). Returns the key, also when storing it failed,
// which is silent; an empty text, after message S1, when the reply (its CR LF pairs
// removed) is not exactly 32 characters. Runs on the thread that calls it (the upload
// worker); errors of httpGet reach the caller.
QString GetNewSession(const SessionServices& services);

// The key stored under the stamp: empty without a message when the stamp is gone,
// empty after message S2 when it has no value "Session".
QString GetOldSession(const QString& date, const SessionServices& services);

// The stamps of the stored sessions in the store's order, as the session window lists
// them: T1 when they cannot be listed; a session without any value ends the listing
// with T2 (those before it stay); one without "Session" is left out with T3.
QStringList listSessions(const SessionServices& services);

// Deletes one stored session (T4 when that fails), or all of them (T5); true when done.
bool deleteSession(const QString& stamp, const SessionServices& services);
bool deleteAllSessions(const SessionServices& services);

}  // namespace service
