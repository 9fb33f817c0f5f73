#include "formats/log.h"

Q_LOGGING_CATEGORY(lcFormats, "korvella.formats", QtWarningMsg)
