#include "order/log.h"

Q_LOGGING_CATEGORY(lcOrder, "korvella.order", QtWarningMsg)
