#pragma once

#include <QString>

// The small mark-up of the program's rich labels as Qt rich text: <b>, <i>, <br> and
// <color=clRed>...</color>; carriage returns and line feeds are dropped first, so only
// <br> breaks a line. Other text is escaped.
QString markupToHtml(const QString& markup);
