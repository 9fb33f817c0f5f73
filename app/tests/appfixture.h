#pragma once

#include <QStringList>

#include "formats/catalogue.h"
#include "platform/settingsstore.h"

namespace testing_support {

// Puts print formats into the user's settings store, as an earlier run would have left
// them, so that start-up needs no lab.
inline void storeFormats(const QStringList& names = {QStringLiteral("10x15"),
                                                     QStringLiteral("9x13")}) {
    platform::QSettingsStore store;
    for (const QString& name : names) {
        const QString key = formats::FormatsKey + u'\\' + name;
        store.createKey(key);
        const QStringList values = {name, "12.50", "152", "102", "1795", "1205", "150"};
        const QStringList valueNames = {"Name",     "Cost",      "Width_mm", "Height_mm",
                                        "Width_px", "Height_px", "DPI_Min"};
        for (int i = 0; i < 7; ++i) {
            store.setValue(key, valueNames[i], values[i]);
        }
    }
}

}  // namespace testing_support
