#include "service/sessionmessages.h"

#include "service/sessions.h"

namespace service::messages {

namespace {

const QString kSessionsHeader = QStringLiteral("ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О СЕССИЯХ!\r\n");
const QString kSessionHeader = QStringLiteral("ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О СЕССИИ!\r\n");

QString contactTail(const QString& webAddress) {
    return QStringLiteral("\r\nЕсли ошибка повторится еще раз, то свяжитесь с нами ") + webAddress;
}

QString sessionPath(const QString& stamp) {
    return SessionsKey + u'\\' + stamp;
}

}  // namespace

QString S1() {
    return QStringLiteral(
        "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ ИЗ ИНЕТРНЕТА!\r\nОшибка получения сессии.\r\n"
        "Проверьте Ваше соединение с интернетом и попробуйте еще раз.");
}

QString S2(const QString& stamp, const QString& webAddress) {
    return kSessionHeader +
           QStringLiteral("Ошибка чтения параметра Session из реестра по адресу \r\n") +
           sessionPath(stamp) + contactTail(webAddress);
}

QString T1() {
    return kSessionsHeader + QStringLiteral("Ошибка чтения данных из реестра");
}

QString T2(const QString& stamp, const QString& webAddress) {
    return kSessionsHeader + QStringLiteral("Ошибка чтения параметров из реестра по адресу \r\n") +
           sessionPath(stamp) + contactTail(webAddress);
}

QString T3(const QString& stamp, const QString& webAddress) {
    return S2(stamp, webAddress);
}

QString T4(const QString& stamp, const QString& webAddress) {
    return kSessionHeader +
           QStringLiteral("Ошибка удаления параметра Session из реестра по адресу \r\n") +
           sessionPath(stamp) + contactTail(webAddress);
}

QString T5(const QString& webAddress) {
    return kSessionHeader +
           QStringLiteral("Ошибка удаления параметра Session из реестра по адресу \r\n") +
           SessionsKey + contactTail(webAddress);
}

}  // namespace service::messages
