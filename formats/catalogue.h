#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

#include "formats/formatsrecord.h"

namespace platform {
class Dialogs;
class SettingsStore;
}  // namespace platform

namespace formats {

// Where the catalogue lives in the settings store: one subkey per format, named by
// the format, holding its seven fields as strings exactly as the lab sent them.
inline const QString FormatsKey = QStringLiteral("\\Software\\Korvella\\Formats");

// A stored text that is not the number it should be. Raised to the caller of
// LoadFormats, which shows it.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the catalogue works with. httpGet reads an address as text (HttpGet's text
// mode) and may throw its errors; they reach the caller.
struct Catalogue {
    std::function<QString(const QString& url)> httpGet;
    platform::SettingsStore& store;
    platform::Dialogs& dialogs;
    QString serviceHost;
    QString serviceWebAddress;
};

// Fetches the lab's format list and rewrites the stored catalogue with it. True when
// at least one format was written and verified; the messages F1-F6 tell the user why
// not.
bool DownloadFormats(const Catalogue& catalogue);

// Fills Formats from the store, downloading first when Force is set or nothing is
// stored; messages L1-L6 tell the user what failed. Raises ConversionError for a
// stored number that does not read (Formats keeps what was loaded up to then).
// From the first Cost read on, the program's decimal separator is "." for good.
void LoadFormats(bool Force, TFormats& Formats, const Catalogue& catalogue);

// The stored texts as numbers: a 32-bit whole number of which the low 16 bits are kept
// (70000 reads as 4464, -1 as 65535), and a decimal number with "." (never ",").
quint16 readWord(const QString& text);
float readCost(const QString& text);

}  // namespace formats
