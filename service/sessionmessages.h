#pragma once

#include <QString>

// The messages of the upload sessions and of the session window, exactly as the user
// sees them. Texts that end in the lab's web address take it as an argument.
namespace service::messages {

// A new session: the lab's reply is no 32-character key.
QString S1();
// A stored session has no value "Session".
QString S2(const QString& stamp, const QString& webAddress);
// The listing: the sessions key has subkeys, but none can be listed.
QString T1();
// The listing: a session's key holds no value at all (the listing ends).
QString T2(const QString& stamp, const QString& webAddress);
// The listing: a session's key lacks the value "Session" (it is left out).
QString T3(const QString& stamp, const QString& webAddress);
// Deleting one session failed.
QString T4(const QString& stamp, const QString& webAddress);
// Deleting all sessions failed.
QString T5(const QString& webAddress);

}  // namespace service::messages
