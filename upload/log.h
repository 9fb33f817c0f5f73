#pragma once

#include <QLoggingCategory>

// The log of the upload: off but for warnings, switched on with
// QT_LOGGING_RULES="korvella.upload.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcUpload)
