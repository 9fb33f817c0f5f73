#pragma once

#include <QString>
#include <vector>

#include "formats/formatsrecord.h"

namespace formats {

// The messages of the formats catalogue, exactly as the user sees them. Texts that
// end in the lab's web address take it as an argument.
namespace messages {

// The download: the lab's reply is empty (no connection, or an empty body).
QString F1();
// The download: the formats key cannot be opened or created.
QString F2();
// The download: the reply yields no record.
QString F3();
// The download: a stored format cannot be deleted.
QString F4();
// The download: a record has fewer than seven fields.
QString F5();
// The download: a written format holds fewer than seven values.
QString F6();
// The load: the formats key cannot be opened or created.
QString L1(const QString& webAddress);
// The load: the download it needed failed.
QString L2();
// The load: the store lists no format.
QString L3();
// The load: a format's key cannot be opened.
QString L4(const QString& name, const QString& webAddress);
// The load: a format's key holds fewer than seven values.
QString L5(const QString& name, const QString& webAddress);
// The load: the named value is missing from a format's key.
QString L6(const QString& value, const QString& name, const QString& webAddress);
// The load: formats whose canvas exceeds kMaxCanvasPixels, or has a side shorter than
// kMinCanvasSide, are left out. They are told together: how many of each kind, and the
// first few with their sizes.
QString L7(const std::vector<TFormatsRecord>& tooLarge, const std::vector<TFormatsRecord>& tooSmall,
           const QString& webAddress);
// Start-up: no format after the load; the program ends.
QString B1(const QString& webAddress);
// The update command: no format after the load; the program ends.
QString U1(const QString& webAddress);

}  // namespace messages
}  // namespace formats
