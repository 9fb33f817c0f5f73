#pragma once

#include <QLoggingCategory>

// The log of requests to the lab's service: off but for warnings, switched on with
// QT_LOGGING_RULES="korvella.service.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcService)
