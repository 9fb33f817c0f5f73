#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QStringList>
#include <QWidget>

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

// A control of a window found by its name (its objectName, the name the windows give
// it); the test fails when there is none.
template <typename T = QWidget>
T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

}  // namespace testing_support
