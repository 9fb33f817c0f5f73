#include "upload/log.h"

Q_LOGGING_CATEGORY(lcUpload, "korvella.upload", QtWarningMsg)
