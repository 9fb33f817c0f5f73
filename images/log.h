#pragma once

#include <QLoggingCategory>

// The log of print preparation and the viewer's pictures: off but for warnings, switched on with
// QT_LOGGING_RULES="korvella.images.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcImages)
