// Every text the customer reads that the lab's description of the program fixes, written
// out here letter for letter and compared with what the running program shows or the
// message it builds: a change to any of them cannot pass unseen.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <functional>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/help.h"
#include "app/tests/appfixture.h"
#include "formats/messages.h"
#include "images/ShowImage.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"
#include "service/Session.h"
#include "service/sessionmessages.h"
#include "upload/progress.h"
#include "upload/uploadmessages.h"

using testing_support::control;

namespace {

struct Text {
    const char* where;
    std::function<QString()> shown;
    const char* literal;  // UTF-8; \r\n is the CR LF the customer's box breaks at
};

const QString kWeb = QStringLiteral("http://lab.test/");

}  // namespace

TEST(Texts, EveryFixedTextIsShownLetterForLetter) {
    testing_support::UserFolders folders;
    testing_support::storeFormats();
    testing_support::ScriptedDialogs dialogs;
    ProgramOptions options;
    options.serviceHost = QStringLiteral("127.0.0.1:1");
    Program program(dialogs, options);
    TForm1& main = program.form1();
    const auto hint = [&](QObject& window, const char* name) {
        return [&window, name] { return control<QWidget>(window, name)->toolTip(); };
    };
    const auto caption = [&](const char* name) {
        return [&main, name] { return control<QAction>(main, name)->text(); };
    };
    const auto actionHint = [&](const char* name) {
        return [&main, name] { return control<QAction>(main, name)->toolTip(); };
    };
    const auto label = [](QObject& window, const char* name) {
        return [&window, name] { return control<QLabel>(window, name)->text(); };
    };
    const auto title = [](QWidget& window) { return [&window] { return window.windowTitle(); }; };
    const auto menu = [&](const char* name) {
        return [&main, name] {
            return control<QMenu>(*control<QMenu>(main, "PopupMenu1"), name)->title();
        };
    };
    const auto column = [&](int c) {
        return [&main, c] {
            return control<QTableView>(main, "DBGrid1")
                ->model()
                ->headerData(c, Qt::Horizontal)
                .toString();
        };
    };
    TForm2& viewer = program.form2();
    TForm3& progress = program.form3();
    TformSession& sessions = program.formSession();
    TfrmHelp& help = program.frmHelp();
    const QString stamp = QStringLiteral("11.12.2026 15:00:01");

    const std::vector<Text> texts = {
        // The windows' titles.
        {"main window", title(main), "\"КОРВЕЛЛА\" - Отправка файлов на печать"},
        {"viewer", title(viewer), "Просмотр изображений"},
        {"progress window", title(progress), "Идет отправка файлов..."},
        {"session window", title(sessions), "Старые загрузки"},
        {"help window", title(help), "Информация"},
        // The main window's hot areas.
        {"JvTransparentButton8", hint(main, "JvTransparentButton8"), "Выбрать файлы для отправки"},
        {"JvTransparentButton10", hint(main, "JvTransparentButton10"), "Просмотр старых сессий"},
        {"JvTransparentButton11", hint(main, "JvTransparentButton11"), "Закрыть программу"},
        {"JvTransparentButton7", hint(main, "JvTransparentButton7"),
         "Показать подсказки по программе"},
        {"JvTransparentButton6", hint(main, "JvTransparentButton6"), "Закрыть программу"},
        {"JvTransparentButton12", hint(main, "JvTransparentButton12"), "Ещё информации!"},
        {"JvTransparentButton13", hint(main, "JvTransparentButton13"), "Ещё информации!"},
        {"btnInfo", hint(main, "btnInfo"), "Ещё информации!"},
        {"btnHelp", hint(main, "btnHelp"), "Показать подсказки по программе"},
        {"btnClose", hint(main, "btnClose"), "Закрыть программу"},
        {"JvTransparentButton1", hint(main, "JvTransparentButton1"), "Выбрать файлы для отправки"},
        {"JvTransparentButton2", hint(main, "JvTransparentButton2"), "Выделить все файлы в списке"},
        {"JvTransparentButton4", hint(main, "JvTransparentButton4"),
         "Обновить данные о форматах печати"},
        {"JvTransparentButton5", hint(main, "JvTransparentButton5"), "Просмотр старых сессий"},
        {"JvTransparentButton3", hint(main, "JvTransparentButton3"), "Отправить файлы на сайт"},
        // The main window's commands.
        {"actAdd caption", caption("actAdd"), "Выбрать файлы"},
        {"actAdd hint", actionHint("actAdd"), "Выбрать файлы для отправки"},
        {"actDel caption", caption("actDel"), "Удалить файлы"},
        {"actDel hint", actionHint("actDel"), "Удалить выбранные файлы из списка"},
        {"actShowImage caption", caption("actShowImage"), "Просмотр файла"},
        {"actShowImage hint", actionHint("actShowImage"), "Посмотреть картинку"},
        {"actSelAll caption", caption("actSelAll"), "Выделить всё"},
        {"actSelAll hint", actionHint("actSelAll"), "Выделить все файлы в списке"},
        {"actSend caption", caption("actSend"), "Отправить файлы"},
        {"actSend hint", actionHint("actSend"), "Отправить файлы на сайт"},
        {"actCancelProgress caption", caption("actCancelProgress"), "Прервать"},
        {"actUpdateFormats hint", actionHint("actUpdateFormats"),
         "Обновить данные о форматах печати"},
        {"actSessOld caption", caption("actSessOld"), "Старые сессии"},
        {"actSessOld hint", actionHint("actSessOld"), "Просмотр старых сессий"},
        {"actSessSelect caption", caption("actSessSelect"), "Перейти"},
        {"actSessSelect hint", actionHint("actSessSelect"),
         "Перейти на сайт для просмотра выбранной сессии"},
        {"actSessClose caption", caption("actSessClose"), "Закрыть"},
        {"actSessClose hint", actionHint("actSessClose"), "Закрыть окно"},
        {"actPrev hint", actionHint("actPrev"), "Перейти к предыдущему файлу в списке"},
        {"actNext hint", actionHint("actNext"), "Перейти к следующему файлу в списке"},
        {"actFirst hint", actionHint("actFirst"), "Перейти к первому файлу в списке"},
        {"actLast hint", actionHint("actLast"), "Перейти к последнему файлу в списке"},
        // The order list and its popup menu.
        {"DBGrid1", hint(main, "DBGrid1"), "Список выбранных для загрузки файлов"},
        {"column File", column(0), "Файл"},
        {"column Count", column(1), "Количество"},
        {"column Format", column(2), "Формат"},
        {"column Param", column(3), "Как печатать"},
        {"column Paper", column(4), "Тип бумаги"},
        {"N5", menu("N5"), "Формат печати для выбранных"},
        {"N6", menu("N6"), "Параметры печати для выбранных"},
        {"N7", menu("N7"), "Тип бумаги для выбранных"},
        {"N9", menu("N9"), "Количество"},
        {"N9 first item",
         [&] { return control<QMenu>(main, "N9")->actions().constFirst()->text(); }, "1 шт."},
        {"N4", [&] { return control<QAction>(main, "N4")->text(); }, "Выделить всё"},
        {"N1", [&] { return control<QAction>(main, "N1")->text(); }, "Удалить выбранные файлы"},
        {"N1 hint", [&] { return control<QAction>(main, "N1")->toolTip(); },
         "Удалить из списка все выбранные файлы"},
        {"N2", [&] { return control<QAction>(main, "N2")->text(); }, "Очистить список"},
        {"the first usage hint", label(main, "Label2"),
         "Для выбора файлов Вы можете нажать кнопку \"Выбрать файлы\", нажать кнопку Ins на "
         "клавиатуре или просто перетащить файлы из проводника на окно программы"},
        // The viewer.
        {"Label10", label(viewer, "Label10"), "ПРОСМОТР ФОТОГРАФИЙ"},
        {"Label2", label(viewer, "Label2"), "Количество:"},
        {"Label2 hint", hint(viewer, "Label2"), "Количество фотографий"},
        {"JvDBSpinEdit1", hint(viewer, "JvDBSpinEdit1"), "Количество фотографий"},
        {"Label3", label(viewer, "Label3"), "Формат:"},
        {"Label3 hint", hint(viewer, "Label3"), "Формат (размер) фотографий в сантиметрах"},
        {"DBComboBox1", hint(viewer, "DBComboBox1"), "Формат (размер) фотографии"},
        {"Label4", label(viewer, "Label4"), "Как печатать:"},
        {"Label4 hint", hint(viewer, "Label4"),
         "При выборе пункта \"Как есть\" изображение будет печататься так как есть, то есть с "
         "размерами которые оно имеет\r\nПри выборе пункта \"С полями\" изображение будет "
         "напечатано на фотобумаге целиком, но с белыми полями.\r\nПри выборе пункта  \"Без "
         "полей\" никаких полей на напечатанной фотографии не будет, но небольшая часть "
         "изображения на фотобумаге не поместится."},
        {"DBComboBox2", hint(viewer, "DBComboBox2"), "Как напечатать"},
        {"Label5", label(viewer, "Label5"), "Тип бумаги:"},
        {"Label5 hint", hint(viewer, "Label5"),
         "Выберите тип бумаги.\r\nНа глянцевой бумаге цвета получаются ярче.\r\nНа матовой "
         "бумаге не остаются отпечатки пальцев."},
        {"DBComboBox3", hint(viewer, "DBComboBox3"), "Тип бумаги"},
        {"viewer JvTransparentButton9", hint(viewer, "JvTransparentButton9"),
         "Повернуть изображение на 90 градусов против часовой стрелки"},
        {"viewer JvTransparentButton10", hint(viewer, "JvTransparentButton10"),
         "Повернуть изображение на 90 градусов по часовой стрелке"},
        {"viewer JvTransparentButton11", hint(viewer, "JvTransparentButton11"),
         "Перейти к первому файлу в списке"},
        {"viewer JvTransparentButton5", hint(viewer, "JvTransparentButton5"),
         "Перейти к предыдущему файлу в списке"},
        {"viewer JvTransparentButton7", hint(viewer, "JvTransparentButton7"),
         "Удалить файл из списка"},
        {"viewer JvTransparentButton8", hint(viewer, "JvTransparentButton8"),
         "Перейти к следующему файлу в списке"},
        {"viewer JvTransparentButton12", hint(viewer, "JvTransparentButton12"),
         "Перейти к последнему файлу в списке"},
        {"viewer JvTransparentButton6", hint(viewer, "JvTransparentButton6"),
         "Сохранить все изменения и закрыть окно просмотра фотографии"},
        {"viewer JvTransparentButton1", hint(viewer, "JvTransparentButton1"),
         "Показать подсказки по программе"},
        {"viewer JvTransparentButton2", hint(viewer, "JvTransparentButton2"),
         "Закрыть окно просмотра фотографии"},
        // The progress window and the session window.
        {"progress JvTransparentButton4", hint(progress, "JvTransparentButton4"), "Отмена"},
        {"progress N1", [&] { return control<QAction>(progress, "N1")->text(); }, "Копировать"},
        {"session JvTransparentButton4", hint(sessions, "JvTransparentButton4"), "Перейти на сайт"},
        {"session JvTransparentButton1", hint(sessions, "JvTransparentButton1"),
         "Закрыть окно старых закачек"},
        {"session N1", [&] { return control<QAction>(sessions, "N1")->text(); }, "Удалить"},
        {"session N2", [&] { return control<QAction>(sessions, "N2")->text(); }, "Удалить всё"},
        {"session Label1",
         [&] {
             sessions.show();  // the text comes as the window opens
             const QString text = control<QLabel>(sessions, "Label1")->text();
             sessions.hide();
             return text;
         },
         "Здесь Вы можете посмотреть список Ваших старых сессий отправки фотографий. Двойным "
         "кликом на строке сессии Вы перейдете на сайт."},
        {"help JvTransparentButton2", hint(help, "JvTransparentButton2"), "Закрыть окно подсказок"},
        // The messages.
        {"F1", [] { return formats::messages::F1(); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nОшибка получения данных о "
         "форматах из интернета.!\r\nПроверьте Ваше соединение с интернетом и попробуйте еще раз."},
        {"F2", [] { return formats::messages::F2(); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nОшибка открытия реестра!"},
        {"F3", [] { return formats::messages::F3(); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nОшибка обработки форматов "
         "печати!"},
        {"F4", [] { return formats::messages::F4(); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nОшибка удаления ключа реестра"},
        {"F5", [] { return formats::messages::F5(); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nОшибка обработки формата "
         "печати!"},
        {"F6", [] { return formats::messages::F6(); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nОшибка записи в реестр"},
        {"L1", [] { return formats::messages::L1(kWeb); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nОшибка чтения данных из "
         "реестра по адресу \r\n\\Software\\Korvella\\Formats\r\nНажмите кнопку \"Обновить "
         "данные о форматах\".\r\nЕсли ошибка повторится еще раз, то свяжитесь с нами "
         "http://lab.test/"},
        {"L2", [] { return formats::messages::L2(); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nВероятно у Вас проблемы с "
         "подключением к сети Интернет!\r\nПроверьте Ваше соединение и после нажмите кнопку "
         "\"Обновить данные о форматах\""},
        {"L3", [] { return formats::messages::L3(); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nОшибка чтения данных из "
         "реестра"},
        {"L6", [] { return formats::messages::L6(QStringLiteral("Cost"), "10x15", kWeb); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nОшибка чтения параметра Cost "
         "из реестра по адресу \r\n\\Software\\Korvella\\Formats\\10x15\r\nНажмите кнопку "
         "\"Обновить данные о форматах\".\r\nЕсли ошибка повторится еще раз, то свяжитесь с нами "
         "http://lab.test/"},
        {"B1", [] { return formats::messages::B1(kWeb); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nВероятно у Вас проблемы с "
         "подключением к сети Интернет или с правами доступа к реестру.\r\nПроверьте Ваше "
         "соединение и права доступа и запустите программу снова.\r\nЕсли ошибка повторится еще "
         "раз, то свяжитесь с нами http://lab.test/"},
        {"U1", [] { return formats::messages::U1(kWeb); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nВероятно у Вас проблемы с "
         "подключением к сети Интернет или с правами доступа к реестру.\r\nПроверьте Ваше "
         "соединение и права доступа и запустите программу снова.\r\nЕсли ошибка повторится еще "
         "раз, то свяжитеь с нами http://lab.test/"},
        {"S1", [] { return service::messages::S1(); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ ИЗ ИНЕТРНЕТА!\r\nОшибка получения сессии.\r\nПроверьте "
         "Ваше соединение с интернетом и попробуйте еще раз."},
        {"S2", [&] { return service::messages::S2(stamp, kWeb); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О СЕССИИ!\r\nОшибка чтения параметра Session из "
         "реестра по адресу \r\n\\Software\\Korvella\\Sessions\\11.12.2026 15:00:01\r\nЕсли "
         "ошибка повторится еще раз, то свяжитесь с нами http://lab.test/"},
        {"T1", [] { return service::messages::T1(); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О СЕССИЯХ!\r\nОшибка чтения данных из реестра"},
        {"T5", [] { return service::messages::T5(kWeb); },
         "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О СЕССИИ!\r\nОшибка удаления параметра Session из "
         "реестра по адресу \r\n\\Software\\Korvella\\Sessions\r\nЕсли ошибка повторится еще "
         "раз, то свяжитесь с нами http://lab.test/"},
        {"proxy refused", [] { return upload::messages::proxyRefused(kWeb); },
         "ПРОИЗОШЛА ОШИБКА СОЕДИНЕНИЯ С ИНТЕРНЕТОМ!\r\nВы ввели неправильные логин и пароль для "
         "прокси сервера.\r\nПроверьте вводимые данные и после попробуйте.\r\nЕсли ошибка "
         "повторится еще раз, то свяжитесь с нами http://lab.test/"},
        {"no connection", [] { return upload::messages::noConnection(kWeb); },
         "ПРОИЗОШЛА ОШИБКА СОЕДИНЕНИЯ С ИНТЕРНЕТОМ!\r\nВероятно у Вас проблемы с подключением к "
         "сети Интернет.\r\nПроверьте Ваше соединение и после попробуйте.\r\nЕсли ошибка "
         "повторится еще раз, то свяжитесь с нами http://lab.test/"},
        {"transfer failed", [] { return upload::messages::transferFailed("/p/a.jpg"); },
         "ПРОИЗОШЛА ОШИБКА ПЕРЕДАЧИ ДАННЫХ!\r\nОшибка передачи файла /p/a.jpg\r\nВы можете "
         "повторить попытку отправки файла,\r\nпроигонорировать и продолжить загружать "
         "остальные файлы или прервать отправку"},
        {"session wanted", [] { return upload::messages::sessionWanted(); },
         "Получаем данные о сессии"},
        {"preparing", [] { return upload::messages::preparing("/p/a.jpg"); },
         "Подготавливается к отправке файл: \r\n/p/a.jpg"},
        {"sending", [] { return upload::messages::sending("/p/a.jpg"); },
         "Отправляется файл: \r\n/p/a.jpg"},
        {"row of rows", [] { return upload::messages::rowOfRows(2, 3); },
         "Отправляется файл 2 из 3"},
        {"finished", [] { return upload::messages::finished(); },
         "Фотографии  успешно  закачаны для оформления заказа на печать фотографий нажмите "
         "кнопку \"Отправить заказ\"  в окне браузера!"},
        {"finished hint", [] { return upload::messages::finishedHint(); },
         "Все файлы успешно отправлены!\r\nЕсли у Вас не открылось окно браузера, то Вы можете "
         "скопировать ссылку, кликнув по ней правой кнопкой мыши и выбрав \"Копировать\""},
        {"aborted", [] { return upload::messages::aborted(); }, "Закачка фотографий прервана!"},
        {"aborted hint", [] { return upload::messages::abortedHint(); },
         "Закачка фотографий прервана"},
    };
    for (const Text& t : texts) {
        SCOPED_TRACE(t.where);
        EXPECT_EQ(t.shown().toStdString(), std::string(t.literal));
    }
}
