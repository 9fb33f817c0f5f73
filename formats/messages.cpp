#include "formats/messages.h"

#include <QStringList>

#include "formats/catalogue.h"

namespace formats::messages {

namespace {

const QString kHeader = QStringLiteral("ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\n");

// Follows a key path in the messages that name a stored format.
QString storeTail(const QString& webAddress) {
    return QStringLiteral(
               "\r\nНажмите кнопку \"Обновить данные о форматах\".\r\nЕсли ошибка повторится еще "
               "раз, то свяжитесь с нами ") +
           webAddress;
}

QString formatKey(const QString& name) {
    return FormatsKey + u'\\' + name;
}

}  // namespace

QString F1() {
    return kHeader + QStringLiteral(
                         "Ошибка получения данных о форматах из интернета.!\r\nПроверьте Ваше "
                         "соединение с интернетом и попробуйте еще раз.");
}
QString F2() {
    return kHeader + QStringLiteral("Ошибка открытия реестра!");
}
QString F3() {
    return kHeader + QStringLiteral("Ошибка обработки форматов печати!");
}
QString F4() {
    return kHeader + QStringLiteral("Ошибка удаления ключа реестра");
}
QString F5() {
    return kHeader + QStringLiteral("Ошибка обработки формата печати!");
}
QString F6() {
    return kHeader + QStringLiteral("Ошибка записи в реестр");
}

QString L1(const QString& webAddress) {
    return kHeader + QStringLiteral("Ошибка чтения данных из реестра по адресу \r\n") + FormatsKey +
           storeTail(webAddress);
}

QString L2() {
    return kHeader + QStringLiteral(
                         "Вероятно у Вас проблемы с подключением к сети Интернет!\r\nПроверьте "
                         "Ваше соединение и после нажмите кнопку \"Обновить данные о форматах\"");
}

QString L3() {
    return kHeader + QStringLiteral("Ошибка чтения данных из реестра");
}

QString L4(const QString& name, const QString& webAddress) {
    return kHeader + QStringLiteral("Ошибка чтения данных из реестра по адресу \r\n") +
           formatKey(name) + storeTail(webAddress);
}

QString L5(const QString& name, const QString& webAddress) {
    return kHeader + QStringLiteral("Ошибка чтения параметров из реестра по адресу \r\n") +
           formatKey(name) + storeTail(webAddress);
}

QString L6(const QString& value, const QString& name, const QString& webAddress) {
    return kHeader + QStringLiteral("Ошибка чтения параметра ") + value +
           QStringLiteral(" из реестра по адресу \r\n") + formatKey(name) + storeTail(webAddress);
}
namespace {

// One kind of format left out: one sentence, with the first few named (a list of
// thousands must not become thousands of lines).
QString leftOutSentence(const std::vector<TFormatsRecord>& formats, const QString& one,
                        const QString& many) {
    constexpr size_t kNamed = 5;
    const auto sized = [](const TFormatsRecord& f) {
        return f.Name + QStringLiteral(" (") + QString::number(f.Width_px) + QStringLiteral(" x ") +
               QString::number(f.Height_px) + QStringLiteral(" пикселей)");
    };
    if (formats.size() == 1) {
        return QStringLiteral("Формат печати ") + sized(formats.front()) + one;
    }
    QStringList named;
    for (size_t i = 0; i < formats.size() && i < kNamed; ++i) {
        named << sized(formats[i]);
    }
    return many.arg(formats.size()) + named.join(QStringLiteral(", ")) +
           (formats.size() > kNamed ? QStringLiteral(" и другие.") : QStringLiteral("."));
}

}  // namespace

QString L7(const std::vector<TFormatsRecord>& tooLarge, const std::vector<TFormatsRecord>& tooSmall,
           const QString& webAddress) {
    QStringList sentences;
    if (!tooLarge.empty()) {
        sentences << leftOutSentence(
            tooLarge, QStringLiteral(" слишком велик для печати и не загружен."),
            QStringLiteral("Форматы печати, слишком большие для печати, не загружены (%1): "));
    }
    if (!tooSmall.empty()) {
        sentences << leftOutSentence(
            tooSmall, QStringLiteral(" слишком мал для печати и не загружен."),
            QStringLiteral("Форматы печати, слишком маленькие для печати, не загружены (%1): "));
    }
    return kHeader + sentences.join(QStringLiteral("\r\n")) + storeTail(webAddress);
}

// B1 and U1 say the same but for one word: "свяжитесь" and, in U1, "свяжитеь", as the
// lab's text has it.
static QString noFormatsLeft(const QString& contact, const QString& webAddress) {
    return kHeader +
           QStringLiteral(
               "Вероятно у Вас проблемы с подключением к сети Интернет или с правами "
               "доступа к реестру.\r\nПроверьте Ваше соединение и права доступа и "
               "запустите программу снова.\r\nЕсли ошибка повторится еще раз, то ") +
           contact + QStringLiteral(" с нами ") + webAddress;
}

QString B1(const QString& webAddress) {
    return noFormatsLeft(QStringLiteral("свяжитесь"), webAddress);
}

QString U1(const QString& webAddress) {
    return noFormatsLeft(QStringLiteral("свяжитеь"), webAddress);
}

}  // namespace formats::messages
