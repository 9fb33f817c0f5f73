#include "images/log.h"

Q_LOGGING_CATEGORY(lcImages, "korvella.images", QtWarningMsg)
