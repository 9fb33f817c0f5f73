#pragma once

#include <QString>

#include "order/orderrow.h"
#include "platform/error.h"

namespace order {

class OrderTable;

enum class AddOutcome {
    Added,          // a new row, the table sorted again, the cursor on the first row
    AlreadyListed,  // the path is in the table already: that row became current
    Refused,        // no such file, or not a JPEG the probe accepts: nothing changed
};

// The order table is closed (its file could not be read nor set aside), so no photo
// can be added: it would never be saved.
class OrderClosedError : public platform::Error {
public:
    using platform::Error::Error;
};

// Adds one photo to the order with the default print options: one copy, the given
// format (the catalogue's first), the first Param and Paper choices, and the size and
// pixel size the JPEG probe reads. Then the table is sorted by the list's sort state.
// Throws FileOpenError when the file exists but cannot be opened, OrderClosedError
// when the table is closed.
AddOutcome addFile(OrderTable& table, const QString& path, const QString& format, Field sortField,
                   bool ascending);

// Whether a dropped path names a JPEG by its extension: the text from the last "." of
// the file name on, with Latin letters lower-cased, is ".jpg" or ".jpeg".
bool hasJpegExtension(const QString& path);

}  // namespace order
