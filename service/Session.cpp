#include "service/Session.h"

TformSession::TformSession(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TformSession"));
    setWindowTitle(QStringLiteral("Старые загрузки"));
}
