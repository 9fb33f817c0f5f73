#include "app/help.h"

#include <QLabel>
#include <QPalette>

#include "app/artwork/jpegcodec.h"
#include "app/artwork/windowgeometry.h"
#include "app/markup.h"
#include "platform/hotarea.h"

namespace {

QLabel* richLabel(QWidget* parent, const char* name, const QRect& place, const QString& markup) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(13);
    label->setFont(font);
    label->setText(markupToHtml(markup));
    return label;
}

}  // namespace

QString TfrmHelp::noteText(const QString& serviceWebAddress) {
    return QStringLiteral(
               "Программа КОРВЕЛЛА Davuzoro 3.0 предназначена для упрощенной закачки и печати "
               "фотографий через сайт ") +
           serviceWebAddress + QLatin1Char('.');
}

QString TfrmHelp::keysText() {
    return QStringLiteral(
        "<color=clRed><b>Внимание!</b><br>\r\nЕсли строка одного из файлов в списке окрашена в "
        "красный цвет, то это означает что разрешение файла мало и притензии после печати "
        "приниматься не будут!</color><br><br>\r\n<b>Горячие клавиши:</b><br>\r\n <i>F1</i> - "
        "вызвать это окно<br>\r\n <i>Ins</i> - Добавить файлы в список.<br>\r\n <i>Del</i> - "
        "удалить выбранные файлы <br>\r\n <i>Enter или двойной клик по по строке</i> - просмотр "
        "файла<br>\r\n <i>Ctrl + A</i> - выделить все файлы в списке<br>\r\n <i>Home</i> - "
        "перейти  к первому файлу в списке<br>\r\n <i>End</i> - перейти к последнему файлу в "
        "списке<br>");
}

TfrmHelp::TfrmHelp(const QString& serviceWebAddress, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmHelp"));
    setWindowTitle(QStringLiteral("Информация"));
    faceWindow(this, artwork::picture(QStringLiteral("help")), geometry::kHelpWindow,
               QColor(239, 243, 239), "Image2");

    JvLinkLabel2 =
        richLabel(this, "JvLinkLabel2", geometry::JvLinkLabel2, noteText(serviceWebAddress));
    JvLinkLabel1 = richLabel(this, "JvLinkLabel1", geometry::JvLinkLabel1, keysText());

    // The close button is drawn in the picture.
    auto* close = new HotArea("JvTransparentButton2", geometry::helpCloseButton,
                              QStringLiteral("Закрыть окно подсказок"), this);
    connect(close, &HotArea::clicked, this, &QDialog::reject);
}

void TfrmHelp::showOver(QWidget* opener) {
    if (opener != nullptr) {
        move(opener->geometry().center() - rect().center());
    }
    exec();
    if (opener != nullptr) {
        opener->activateWindow();  // the opener is active again
    }
}
