#include "service/sessions.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "service/labaddress.h"
#include "service/log.h"
#include "service/sessionmessages.h"

namespace service {

namespace {

constexpr qsizetype kKeyLength = 32;
const QString kValue = QStringLiteral("Session");

QString sessionPath(const QString& stamp) {
    return SessionsKey + u'\\' + stamp;
}

}  // namespace

QString longTimeWithoutZone(const QLocale& locale) {
    // Qt's long time format ends in the time zone ("t"); the user's long time format on
    // a desktop names none. Quoted text stays as it is.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (c == u't' && !quoted) {
            continue;
        }
        kept += c;
    }
    return kept.trimmed();
}

QString sessionStamp(const QDateTime& local, const QLocale& locale) {
    const QTime time = local.time();
    QString stamp = locale.toString(local.date(), QLocale::ShortFormat);
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0) {
        stamp += u' ' + locale.toString(time, longTimeWithoutZone(locale));
    }
    return stamp;
}

QString sessionPageAddress(const QString& serviceHost, const QString& key) {
    return labStep(serviceHost, QStringLiteral("showprog")) + QStringLiteral("&key=") + key;
}

QString GetNewSession(const SessionServices& s) {
    QString key = s.httpGet(labSessionAddress(s.serviceHost));
    key.remove(QStringLiteral("\r\n"));
    if (key.size() != kKeyLength) {
        qCWarning(lcService) << "no session key in a reply of" << key.size() << "characters";
        s.dialogs.showError(messages::S1());
        return {};
    }
    // A key that cannot be stored is still good for this upload.
    const QString stamp = sessionStamp(s.clock.now(), s.locale);
    if (s.store.createKey(SessionsKey) && s.store.createSubkey(SessionsKey, stamp) &&
        s.store.setValue(sessionPath(stamp), kValue, key) && s.store.flush()) {
        qCDebug(lcService) << "session stored as" << stamp;
    } else {
        qCWarning(lcService) << "the session key could not be stored as" << stamp;
    }
    return key;
}

QString GetOldSession(const QString& date, const SessionServices& s) {
    if (!s.store.openKey(sessionPath(date))) {
        return {};
    }
    if (const std::optional<QString> key = s.store.value(sessionPath(date), kValue)) {
        return *key;
    }
    s.dialogs.showError(messages::S2(date, s.serviceWebAddress));
    return {};
}

QStringList listSessions(const SessionServices& s) {
    QStringList rows;
    if (!s.store.createKey(SessionsKey) || s.store.subkeyCount(SessionsKey).value_or(0) == 0) {
        return rows;
    }
    const QStringList names = s.store.subkeyNames(SessionsKey);
    if (names.isEmpty()) {
        s.dialogs.showError(messages::T1());
        return rows;
    }
    for (const QString& name : names) {
        const QString path = sessionPath(name);
        if (!s.store.openKey(path)) {
            continue;
        }
        if (s.store.valueCount(path).value_or(0) == 0) {
            s.dialogs.showError(messages::T2(name, s.serviceWebAddress));
            break;
        }
        if (s.store.value(path, kValue)) {
            rows << name;
        } else {
            s.dialogs.showError(messages::T3(name, s.serviceWebAddress));
        }
    }
    return rows;
}

bool deleteSession(const QString& stamp, const SessionServices& s) {
    if (!s.store.deleteKey(sessionPath(stamp)) || !s.store.flush()) {
        s.dialogs.showError(messages::T4(stamp, s.serviceWebAddress));
        return false;
    }
    return true;
}

bool deleteAllSessions(const SessionServices& s) {
    if (!s.store.deleteKey(SessionsKey) || !s.store.flush()) {
        s.dialogs.showError(messages::T5(s.serviceWebAddress));
        return false;
    }
    return true;
}

}  // namespace service
