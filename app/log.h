#pragma once

#include <QLoggingCategory>

// The log of the application shell and its windows: off but for warnings, switched on with
// QT_LOGGING_RULES="korvella.app.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcApp)
