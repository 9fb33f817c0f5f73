#pragma once

#include <QString>
#include <functional>

#include "formats/formatsrecord.h"
#include "platform/error.h"
#include "platform/settingsstore.h"

namespace platform {
class Dialogs;
class SettingsStore;
}  // namespace platform

namespace formats {

// Where the catalogue lives in the settings store: one subkey per format, named by
// the format, holding its seven fields as strings exactly as the lab sent them.
inline const QString FormatsKey = platform::ProgramKey + QStringLiteral("\\Formats");

// A stored text that is not the number it should be. Raised to the caller of
// LoadFormats, which shows it.
class ConversionError : public platform::Error {
public:
    using platform::Error::Error;
};

// What the catalogue's download and load work with, handed in by the caller. httpGet
// reads an address as text (HttpGet's text mode) and may throw its errors; they reach
// the caller.
struct CatalogueServices {
    std::function<QString(const QString& url)> httpGet;
    platform::SettingsStore& store;
    platform::Dialogs& dialogs;
    QString serviceHost;
    QString serviceWebAddress;
};

// The most formats a list may hold: real labs send tens, and every one becomes a key
// of the settings store; a longer list is a failed download (F3).
inline constexpr int kMaxFormats = 10000;
// The largest canvas of a format in pixels: a 50 x 75 cm print at 300 dpi has 52
// megapixels. A larger format would make a single print take gigabytes; it is left out
// when the catalogue is loaded (L7).
inline constexpr double kMaxCanvasPixels = 100e6;
// The shortest side of a format's canvas in pixels: a 1 cm print at 300 dpi has 118; a
// canvas of a few pixels leaves nothing to lay a photo out in. Left out as well.
inline constexpr int kMinCanvasSide = 16;

// Fetches the lab's format list and rewrites the stored catalogue with it. True when
// at least one format was written and verified; the messages F1-F6 tell the user why
// not.
bool DownloadFormats(const CatalogueServices& services);

// Fills Formats from the store, downloading first when Force is set or nothing is
// stored; messages L1-L6 tell the user what failed. Raises ConversionError for a
// stored number that does not read (Formats keeps what was loaded up to then).
// From the first Cost read on, the program's decimal separator is "." for good.
void LoadFormats(bool Force, TFormats& Formats, const CatalogueServices& services);

// The start's load: LoadFormats, and when a stored number does not read, the
// ConversionError's text shown and the catalogue fetched anew (once; at once with
// Force). A catalogue that still does not read is no catalogue: Formats ends empty.
void LoadFormatsForStart(bool Force, TFormats& Formats, const CatalogueServices& services);

// The stored texts as numbers: a 32-bit whole number of which the low 16 bits are kept
// (70000 reads as 4464, -1 as 65535), and a decimal number with "." (never ",").
quint16 readWord(const QString& text);
float readCost(const QString& text);

}  // namespace formats
