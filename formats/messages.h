#pragma once

#include <QString>

namespace formats {

// The messages of the formats catalogue, exactly as the user sees them. Texts that
// end in the lab's web address take it as an argument.
namespace messages {

QString F1();
QString F2();
QString F3();
QString F4();
QString F5();
QString F6();
QString L1(const QString& webAddress);
QString L2();
QString L3();
QString L4(const QString& name, const QString& webAddress);
QString L5(const QString& name, const QString& webAddress);
QString L6(const QString& value, const QString& name, const QString& webAddress);
QString B1(const QString& webAddress);
QString U1(const QString& webAddress);

}  // namespace messages
}  // namespace formats
