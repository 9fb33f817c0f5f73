#include "upload/uploadmessages.h"

#include "upload/sendfiles.h"

namespace upload::messages {

namespace {

const QString kConnectionHeader = QStringLiteral("ПРОИЗОШЛА ОШИБКА СОЕДИНЕНИЯ С ИНТЕРНЕТОМ!\r\n");
const QString kContact = QStringLiteral("Если ошибка повторится еще раз, то свяжитесь с нами ");
const QString kChoices = QStringLiteral(
    "Вы можете повторить попытку отправки файла,\r\nпроигонорировать и продолжить загружать "
    "остальные файлы или прервать отправку");

}  // namespace

QString proxyRefused(const QString& webAddress) {
    return kConnectionHeader +
           QStringLiteral(
               "Вы ввели неправильные логин и пароль для прокси сервера.\r\n"
               "Проверьте вводимые данные и после попробуйте.\r\n") +
           kContact + webAddress;
}

QString noConnection(const QString& webAddress) {
    return kConnectionHeader +
           QStringLiteral(
               "Вероятно у Вас проблемы с подключением к сети Интернет.\r\n"
               "Проверьте Ваше соединение и после попробуйте.\r\n") +
           kContact + webAddress;
}

QString transferFailed(const QString& file) {
    return QStringLiteral("ПРОИЗОШЛА ОШИБКА ПЕРЕДАЧИ ДАННЫХ!\r\nОшибка передачи файла ") + file +
           QStringLiteral("\r\n") + kChoices;
}

QString preparationFailed(const QString& file, const QString& reason) {
    return QStringLiteral("ПРОИЗОШЛА ОШИБКА ПОДГОТОВКИ ФАЙЛА!\r\nФайл ") + file +
           QStringLiteral(" не удалось подготовить к печати:\r\n") + reason +
           QStringLiteral("\r\n") + kChoices;
}

QString notSent(const std::vector<NotSent>& rows) {
    QString text = QStringLiteral(
        "Не все фотографии отправлены!\r\nЭти фотографии не попали в заказ и остались в "
        "списке, их можно отправить ещё раз:");
    for (const NotSent& row : rows) {
        text += QStringLiteral("\r\n") + row.file +
                (row.missing ? QStringLiteral(" (файл не найден)") : QStringLiteral(" (пропущен)"));
    }
    return text;
}

QString sessionWanted() {
    return QStringLiteral("Получаем данные о сессии");
}

QString preparing(const QString& file) {
    return QStringLiteral("Подготавливается к отправке файл: \r\n") + file;
}

QString sending(const QString& file) {
    return QStringLiteral("Отправляется файл: \r\n") + file;
}

QString rowOfRows(int position, int rows) {
    return QStringLiteral("Отправляется файл %1 из %2").arg(position).arg(rows);
}

QString finished() {
    return QStringLiteral(
        "Фотографии  успешно  закачаны для оформления заказа на печать фотографий нажмите "
        "кнопку \"Отправить заказ\"  в окне браузера!");
}

QString finishedHint() {
    return QStringLiteral(
        "Все файлы успешно отправлены!\r\nЕсли у Вас не открылось окно браузера, то Вы можете "
        "скопировать ссылку, кликнув по ней правой кнопкой мыши и выбрав \"Копировать\"");
}

QString aborted() {
    return QStringLiteral("Закачка фотографий прервана!");
}

QString abortedHint() {
    return QStringLiteral("Закачка фотографий прервана");
}

}  // namespace upload::messages
