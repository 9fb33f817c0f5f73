#pragma once

#include <QLoggingCategory>

// The log of the order, its file and adding photos: off but for warnings, switched on with
// QT_LOGGING_RULES="korvella.order.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcOrder)
