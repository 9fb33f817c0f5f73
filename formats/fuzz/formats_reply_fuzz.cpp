// libFuzzer target: a format list from the network, stored and loaded as the program
// does, with the settings store in a temporary config folder. Traps when anything is
// written outside the formats key or below a format's own key.
#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdint>

#include "formats/catalogue.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "service/replytext.h"

namespace {

QTemporaryDir* configFolder = nullptr;

// Messages are shown to nobody; questions get their cautious answer.
class SilentDialogs final : public platform::Dialogs {
public:
    void showError(const QString&) override {}
    Answer askAbortRetryIgnore(const QString&) override { return Answer::Abort; }
    bool askYesNo(const QString&) override { return false; }
    QStringList getOpenFileNames(const OpenFileRequest&) override { return {}; }
    std::optional<Credentials> askCredentials(const CredentialsRequest&) override {
        return std::nullopt;
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    configFolder = new QTemporaryDir;
    qputenv("XDG_CONFIG_HOME", configFolder->path().toLocal8Bit());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        platform::QSettingsStore store;
        SilentDialogs dialogs;
        const formats::CatalogueServices catalogue{
            [&](const QString&) { return service::replyText(reply); }, store, dialogs,
            QStringLiteral("lab.test"), QStringLiteral("http://lab.test/")};
        formats::TFormats loaded;
        try {
            formats::LoadFormats(true, loaded, catalogue);
        } catch (const formats::ConversionError&) {
        }
    }
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvella"));
    const QStringList top = settings.childGroups();
    if (top.size() > 1 || (top.size() == 1 && top.first() != QLatin1String("Formats"))) {
        __builtin_trap();
    }
    settings.beginGroup(QStringLiteral("Formats"));
    for (const QString& format : settings.childGroups()) {
        settings.beginGroup(format);
        if (!settings.childGroups().isEmpty()) {
            __builtin_trap();
        }
        settings.endGroup();
    }
    return 0;
}
