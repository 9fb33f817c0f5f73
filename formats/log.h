#pragma once

#include <QLoggingCategory>

// The log of the print formats catalogue: off but for warnings, switched on with
// QT_LOGGING_RULES="korvella.formats.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcFormats)
