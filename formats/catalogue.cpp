#include "formats/catalogue.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "formats/messages.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "service/labaddress.h"
#include "service/splittext.h"

namespace formats {

namespace {

constexpr std::array<const char*, 7> kValueNames = {
    "Name", "Cost", "Width_mm", "Height_mm", "Width_px", "Height_px", "DPI_Min"};

QString formatKey(const QString& name) {
    return FormatsKey + u'\\' + name;
}

}  // namespace

quint16 readWord(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?[0-9]+$"));
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!whole.match(text).hasMatch() || !ok || value < std::numeric_limits<qint32>::min() ||
        value > std::numeric_limits<qint32>::max()) {
        throw ConversionError(QStringLiteral("''%1'' is not a valid integer value").arg(text));
    }
    return static_cast<quint16>(static_cast<quint32>(static_cast<qint32>(value)) & 0xFFFF);
}

float readCost(const QString& text) {
    static const QRegularExpression decimal(
        QStringLiteral("^\\s*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?\\s*$"));
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!decimal.match(text).hasMatch() || !ok ||
        std::abs(value) > std::numeric_limits<float>::max()) {
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }
    return static_cast<float>(value);
}

bool DownloadFormats(const CatalogueServices& c) {
    const QString reply = c.httpGet(service::labFormatsAddress(c.serviceHost));
    if (reply.isEmpty()) {
        c.dialogs.showError(messages::F1());
        return false;
    }
    if (!c.store.createKey(FormatsKey)) {
        c.dialogs.showError(messages::F2());
        return false;
    }
    QStringList records;
    // The reply's final ";" or line break leaves an empty last record, not a format.
    if (service::SplitText(QStringLiteral(";"), reply, records) == 0 ||
        std::count_if(records.cbegin(), records.cend(),
                      [](const QString& record) { return !record.isEmpty(); }) > kMaxFormats) {
        c.dialogs.showError(messages::F3());
        return false;
    }
    for (const QString& old : c.store.subkeyNames(FormatsKey)) {
        if (!c.store.deleteKey(formatKey(old))) {
            c.dialogs.showError(messages::F4());
            return false;
        }
    }
    bool result = false;
    for (const QString& record : records) {
        QStringList fields;
        if (service::SplitText(QStringLiteral(":"), record, fields) < 7) {
            c.dialogs.showError(messages::F5());
            break;
        }
        const QString key = formatKey(fields[0]);
        // A later record of the same name replaces the earlier one.
        if (c.store.openKey(key) && !c.store.deleteKey(key)) {
            c.dialogs.showError(messages::F4());
            break;
        }
        if (!c.store.createSubkey(FormatsKey, fields[0])) {
            continue;  // a name that cannot be a key: the record is left out
        }
        for (size_t i = 0; i < kValueNames.size(); ++i) {
            c.store.setValue(key, QString::fromLatin1(kValueNames[i]), fields[static_cast<int>(i)]);
        }
        if (c.store.valueCount(key).value_or(0) < 7) {
            c.dialogs.showError(messages::F6());
            break;
        }
        result = true;
    }
    // A store that took the formats but cannot keep them has not stored them.
    return c.store.flush() && result;
}

namespace {

bool tooLarge(const TFormatsRecord& record) {
    return static_cast<double>(record.Width_px) * record.Height_px > kMaxCanvasPixels;
}

bool tooSmall(const TFormatsRecord& record) {
    return std::min(record.Width_px, record.Height_px) < kMinCanvasSide;
}

void leaveOutUnprintableFormats(TFormats& Formats, const CatalogueServices& c) {
    std::vector<TFormatsRecord> large;
    std::vector<TFormatsRecord> small;
    std::erase_if(Formats, [&](const TFormatsRecord& record) {
        if (tooLarge(record)) {
            large.push_back(record);
            return true;
        }
        if (tooSmall(record)) {
            small.push_back(record);
            return true;
        }
        return false;
    });
    // One message for all of them, however many the lab sent.
    if (!large.empty() || !small.empty()) {
        c.dialogs.showError(messages::L7(large, small, c.serviceWebAddress));
    }
}

void loadRecords(bool Force, TFormats& Formats, const CatalogueServices& c) {
    Formats.clear();
    if (!c.store.createKey(FormatsKey)) {
        c.dialogs.showError(messages::L1(c.serviceWebAddress));
        return;
    }
    int count = c.store.subkeyCount(FormatsKey).value_or(0);
    if (Force || count == 0) {
        if (!DownloadFormats(c)) {
            c.dialogs.showError(messages::L2());
            return;
        }
        count = c.store.subkeyCount(FormatsKey).value_or(0);
    }
    Formats.assign(static_cast<size_t>(count), TFormatsRecord{});
    const QStringList names = c.store.subkeyNames(FormatsKey);
    if (names.isEmpty()) {
        c.dialogs.showError(messages::L3());
        return;
    }
    for (qsizetype i = 0; i < names.size() && i < count; ++i) {
        const QString& name = names[i];
        const QString key = formatKey(name);
        if (!c.store.openKey(key)) {
            c.dialogs.showError(messages::L4(name, c.serviceWebAddress));
            return;
        }
        if (c.store.valueCount(key).value_or(0) < 7) {
            c.dialogs.showError(messages::L5(name, c.serviceWebAddress));
            return;
        }
        TFormatsRecord& record = Formats[static_cast<size_t>(i)];
        for (const char* valueName : kValueNames) {
            const QString v = QString::fromLatin1(valueName);
            const std::optional<QString> text = c.store.value(key, v);
            if (!text) {
                c.dialogs.showError(messages::L6(v, name, c.serviceWebAddress));
                if (v == QLatin1String("Width_px")) {
                    return;
                }
                break;  // the rest of this record stays empty
            }
            if (v == QLatin1String("Name")) {
                record.Name = *text;
            } else if (v == QLatin1String("Cost")) {
                // From here on the program reads and writes numbers with ".".
                QLocale::setDefault(QLocale::c());
                record.Cost = readCost(*text);
            } else if (v == QLatin1String("Width_mm")) {
                record.Width_mm = readWord(*text);
            } else if (v == QLatin1String("Height_mm")) {
                record.Height_mm = readWord(*text);
            } else if (v == QLatin1String("Width_px")) {
                record.Width_px = readWord(*text);
            } else if (v == QLatin1String("Height_px")) {
                record.Height_px = readWord(*text);
            } else {
                record.DPI_Min = readWord(*text);
            }
        }
    }
}

}  // namespace

void LoadFormats(bool Force, TFormats& Formats, const CatalogueServices& c) {
    try {
        loadRecords(Force, Formats, c);
    } catch (const ConversionError&) {
        // What was loaded up to the error stays, but never a format that cannot print.
        std::erase_if(Formats, [](const TFormatsRecord& record) {
            return tooLarge(record) || tooSmall(record);
        });
        throw;
    }
    leaveOutUnprintableFormats(Formats, c);
}

void LoadFormatsForStart(bool Force, TFormats& Formats, const CatalogueServices& c) {
    const std::vector<bool> attempts =
        Force ? std::vector<bool>{true} : std::vector<bool>{false, true};
    for (const bool force : attempts) {
        try {
            LoadFormats(force, Formats, c);
            return;
        } catch (const ConversionError& e) {
            c.dialogs.showError(e.text());
        }
    }
    // Never a catalogue that reads only in part.
    Formats.clear();
}

}  // namespace formats
