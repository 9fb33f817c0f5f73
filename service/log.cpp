#include "service/log.h"

Q_LOGGING_CATEGORY(lcService, "korvella.service", QtWarningMsg)
