#include <gtest/gtest.h>

#include "formats/messages.h"

namespace messages = formats::messages;

// The texts as the user must see them, written out in full here so that a slip in the
// message builders shows.
TEST(FormatsMessages, ExactTexts) {
    const QString header = "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\n";
    const QString web = "http://lab.test/";
    EXPECT_EQ(messages::F1(),
              header +
                  "Ошибка получения данных о форматах из интернета.!\r\nПроверьте Ваше "
                  "соединение с интернетом и попробуйте еще раз.");
    EXPECT_EQ(messages::L1(web),
              header +
                  "Ошибка чтения данных из реестра по адресу \r\n\\Software\\Korvella\\Formats"
                  "\r\nНажмите кнопку \"Обновить данные о форматах\".\r\nЕсли ошибка "
                  "повторится еще раз, то свяжитесь с нами http://lab.test/");
    EXPECT_EQ(messages::L6("Cost", "10x15", web),
              header +
                  "Ошибка чтения параметра Cost из реестра по адресу \r\n"
                  "\\Software\\Korvella\\Formats\\10x15\r\nНажмите кнопку \"Обновить данные "
                  "о форматах\".\r\nЕсли ошибка повторится еще раз, то свяжитесь с нами "
                  "http://lab.test/");
    const QString tail =
        "Вероятно у Вас проблемы с подключением к сети Интернет или с правами доступа к "
        "реестру.\r\nПроверьте Ваше соединение и права доступа и запустите программу снова.\r\n"
        "Если ошибка повторится еще раз, то ";
    EXPECT_EQ(messages::B1(web), header + tail + "свяжитесь с нами http://lab.test/");
    EXPECT_EQ(messages::U1(web), header + tail + "свяжитеь с нами http://lab.test/");
    EXPECT_EQ(messages::L2(),
              header +
                  "Вероятно у Вас проблемы с подключением к сети Интернет!\r\nПроверьте Ваше "
                  "соединение и после нажмите кнопку \"Обновить данные о форматах\"");
}
