#pragma once

#include <QString>
#include <vector>

namespace upload {
struct NotSent;
}

// The messages of the upload, exactly as the user sees them. Texts that end in the
// lab's web address take it as an argument.
namespace upload::messages {

// The proxy still wants credentials after the credentials dialog (OK; the upload ends).
QString proxyRefused(const QString& webAddress);
// The empty request got no answer, or one other than 200 (OK; the upload ends).
QString noConnection(const QString& webAddress);
// A row did not go through: its reply was not "Ok" (Abort, Retry, Ignore).
QString transferFailed(const QString& file);
// A row's photo could not be made into a print (Abort, Retry, Ignore).
QString preparationFailed(const QString& file, const QString& reason);

// After a finished run: the photos that were not sent (gone at their turn, or skipped)
// and stay in the order (OK).
QString notSent(const std::vector<NotSent>& rows);

// The progress window's texts.
QString sessionWanted();                    // while the session key is fetched
QString preparing(const QString& file);     // a row's print is made
QString sending(const QString& file);       // a row is sent
QString rowOfRows(int position, int rows);  // the window's title
QString finished();                         // the finished state's text
QString finishedHint();                     // and its hint
QString aborted();                          // the aborted state's text
QString abortedHint();                      // and its hint

}  // namespace upload::messages
