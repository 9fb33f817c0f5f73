#include "upload/dwTaskbarComponents.h"

TdwTaskbarWinControl::TdwTaskbarWinControl(QWidget* parent) : QWidget(parent) {}
