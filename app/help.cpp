#include "app/help.h"

TfrmHelp::TfrmHelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmHelp"));
    setWindowTitle(QStringLiteral("Информация"));
}
