// The main window's face: the two layout pictures with their hot areas, the labels, the
// lab's banner, the usage and information texts, the site links, the drag strip, and
// the commands and keys that are not the list's.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QRandomGenerator>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <algorithm>

#include "app/Unit1.h"
#include "app/artwork/jpegcodec.h"
#include "app/artwork/windowgeometry.h"
#include "app/help.h"
#include "app/labbanner.h"
#include "app/log.h"
#include "platform/hotarea.h"
#include "platform/urlopener.h"
#include "platform/windowfont.h"
#include "service/Session.h"
#include "service/labaddress.h"
#include "service/sessions.h"

namespace {

QLabel* picture(QWidget* owner, const char* name, const char* artwork) {
    auto* label = new QLabel(owner);
    label->setObjectName(QString::fromLatin1(name));
    const QImage image = artwork::picture(QString::fromLatin1(artwork));
    label->setPixmap(QPixmap::fromImage(image));
    label->setGeometry(QRect(QPoint(0, 0), image.deviceIndependentSize().toSize()));
    return label;
}

// The first usage hint, also the first information text.
QString choosingFilesText() {
    return QStringLiteral(
        "Для выбора файлов Вы можете нажать кнопку \"Выбрать файлы\", нажать кнопку Ins на "
        "клавиатуре или просто перетащить файлы из проводника на окно программы");
}

void fillHelpStrings(std::array<QString, 31>& help) {
    help[0] = choosingFilesText();
    help[1] = QStringLiteral("Для просмотра файла кликните на нем 2 раза.");
    help[2] = QStringLiteral("Чтобы удалить файл из списка нажмите Delete");
    help[3] = QStringLiteral(
        "Нажмите правую кнопку мышки над списком файлов для дополнительных возможностей.");
    help[4] = QStringLiteral("Нажмите F1 для инфорамции");
}

void fillInfoStrings(std::array<QString, 31>& info) {
    info[0] = choosingFilesText();
    info[1] = QStringLiteral(
        "Фотокнига (или евроальбом) – это совершенно уникальный способ оформления "
        "фотографий!\r\nФотокнига (или евроальбом) – это совершенно уникальный способ "
        "оформления фотографий. Теперь Вы можете самостоятельно выбирать формат альбома, "
        "выбрать обложку и количество страниц. С фотографиями будут работать "
        "профессиональные дизайнеры. В итоге Вы получите неповторимую книгу, "
        "наполненнуюсамыми любимыми фотографиями. Каждая книга изготавливается вручную, по "
        "индивидуальному заказу – Вы не сможете купить ничего подобного в магазине. "
        "Уникальным есть и то, что каждый разворот книги – это цельная композиция, состоящая "
        "из нескольких фотографий. Наиболее популярны – Свадебная книга, Семейная книга, "
        "Портретная книга. Так же Вы можете оформить фотографии с различных семейных "
        "торжеств – рождения ребенка, юбилея, Вы можете создать иллюстрированный альбом "
        "путешествий. Это несомненно, бесценный подарок.");
}

}  // namespace

void TForm1::CreateCommands() {
    // Every command of the main window, one row each: its member, name, caption, hint,
    // keys and handler (none where the window that runs it connects it: the viewer's).
    struct Row {
        QAction* TForm1::*member;
        const char* name;
        const char* caption;
        const char* hint;
        QList<QKeySequence> keys;
        void (TForm1::*handler)();
    };
    const Row rows[] = {
        {&TForm1::actSend,
         "actSend",
         "Отправить файлы",
         "Отправить файлы на сайт",
         {},
         &TForm1::actSendExecute},
        {&TForm1::actAdd,
         "actAdd",
         "Выбрать файлы",
         "Выбрать файлы для отправки",
         {QKeySequence(Qt::Key_Insert)},
         &TForm1::actAddExecute},
        {&TForm1::actUpdateFormats,
         "actUpdateFormats",
         "",
         "Обновить данные о форматах печати",
         {},
         &TForm1::actUpdateFormatsExecute},
        {&TForm1::actShowImage,
         "actShowImage",
         "Просмотр файла",
         "Посмотреть картинку",
         {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)},
         nullptr},
        {&TForm1::actSessOld,
         "actSessOld",
         "Старые сессии",
         "Просмотр старых сессий",
         {},
         &TForm1::actSessOldExecute},
        {&TForm1::actCancelProgress,
         "actCancelProgress",
         "Прервать",
         "",
         {},
         &TForm1::actCancelProgressExecute},
        {&TForm1::actSessSelect,
         "actSessSelect",
         "Перейти",
         "Перейти на сайт для просмотра выбранной сессии",
         {},
         &TForm1::actSessSelectExecute},
        {&TForm1::actSessClose,
         "actSessClose",
         "Закрыть",
         "Закрыть окно",
         {},
         &TForm1::actSessCloseExecute},
        {&TForm1::actShowHelp,
         "actShowHelp",
         "?",
         "",
         {QKeySequence(Qt::Key_F1)},
         &TForm1::actShowHelpExecute},
        {&TForm1::actDel,
         "actDel",
         "Удалить файлы",
         "Удалить выбранные файлы из списка",
         {QKeySequence(QKeySequence::Delete)},
         &TForm1::actDelExecute},
        {&TForm1::actSelAll,
         "actSelAll",
         "Выделить всё",
         "Выделить все файлы в списке",
         {},
         &TForm1::actSelAllExecute},
        {&TForm1::actPrev,
         "actPrev",
         "<",
         "Перейти к предыдущему файлу в списке",
         {},
         &TForm1::actPrevExecute},
        {&TForm1::actNext,
         "actNext",
         ">",
         "Перейти к следующему файлу в списке",
         {},
         &TForm1::actNextExecute},
        {&TForm1::actFirst,
         "actFirst",
         "<<",
         "Перейти к первому файлу в списке",
         {QKeySequence(Qt::Key_Home)},
         &TForm1::actFirstExecute},
        {&TForm1::actLast,
         "actLast",
         ">>",
         "Перейти к последнему файлу в списке",
         {QKeySequence(Qt::Key_End)},
         &TForm1::actLastExecute},
    };
    for (const Row& row : rows) {
        auto* action = new QAction(QString::fromUtf8(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        action->setToolTip(QString::fromUtf8(row.hint));
        action->setStatusTip(action->toolTip());
        action->setShortcuts(row.keys);
        addAction(action);
        this->*row.member = action;
        if (row.handler != nullptr) {
            connectHandler(action, row.handler);
        }
    }
}

void TForm1::CreateShell() {
    using namespace geometry;
    setWindowFlag(Qt::FramelessWindowHint);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(239, 243, 239));
    setPalette(background);
    setAutoFillBackground(true);
    setFont(platform::windowFont("MS Sans Serif", 11, false));

    Image1 = picture(this, "Image1", "list");
    Image2 = picture(this, "Image2", "empty");

    Label1->setGeometry(geometry::Label1);
    Label1->setFont(platform::windowFont("Verdana", 24, true));
    Label1->setAlignment(Qt::AlignCenter);
    // The count stands in the middle of its box, which reaches further right than the
    // label: the label's centre moved there by a left margin.
    Label1->setContentsMargins(
        2 * (geometry::kCountBox.center().x() - geometry::Label1.center().x()), 0, 0, 0);
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label1->setPalette(red);

    fillHelpStrings(HelpString);
    Label2 = new QLabel(HelpString[0], this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(geometry::Label2);
    Label2->setFont(platform::windowFont("MS Sans Serif", 11, true));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette blue = Label2->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 147, 221));
    Label2->setPalette(blue);

    Label3 = new ClickableLabel("Label3", geometry::Label3, this);
    Label3->setText(HelpString[0]);
    Label3->setFont(platform::windowFont("Verdana", 12, true));
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The list layout's "?" and "X" lie in the information panel's corner: its text
    // keeps clear of it, and a long text is set smaller rather than cut.
    Label3->keepClear(
        geometry::kPanelCorner.translated(-geometry::Label3.topLeft()).adjusted(-8, 0, 0, 6));
    Label3->setShrinkToFit(true);
    QPalette white = Label3->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    Label3->setPalette(white);
    connect(Label3, &ClickableLabel::clicked, this, &TForm1::Label3Click);

    const auto hot = [this](const char* name, const QRect& place, const char* hint,
                            void (TForm1::*handler)()) {
        auto* area = new HotArea(name, place, QString::fromUtf8(hint), this);
        if (handler != nullptr) {
            connect(area, &HotArea::clicked, this, [this, handler] { runHandler(handler); });
        }
        return area;
    };
    emptyLayoutOnly_ = {
        Image2,
        Label3,
        hot("JvTransparentButton8", JvTransparentButton8, "Выбрать файлы для отправки",
            &TForm1::actAddExecute),
        [&] {
            // No hint of its own: screen readers read its caption.
            HotArea* help =
                hot("JvTransparentButton9", JvTransparentButton9, "", &TForm1::actShowHelpExecute);
            help->setAccessibleName(QStringLiteral("Подсказки"));
            return help;
        }(),
        hot("JvTransparentButton10", JvTransparentButton10, "Просмотр старых сессий",
            &TForm1::actSessOldExecute),
        hot("JvTransparentButton11", JvTransparentButton11, "Закрыть программу",
            &TForm1::JvTransparentButton6Click),
    };
    // Made in the order Tab visits them: help before close.
    hot("JvTransparentButton7", JvTransparentButton7, "Показать подсказки по программе",
        &TForm1::actShowHelpExecute);
    hot("JvTransparentButton6", JvTransparentButton6, "Закрыть программу",
        &TForm1::JvTransparentButton6Click);
    hot("JvTransparentButton12", JvTransparentButton12, "Ещё информации!",
        &TForm1::JvTransparentButton12Click);
    hot("JvTransparentButton13", JvTransparentButton13, "Ещё информации!", &TForm1::Timer1Timer);
    hot("btnInfo", btnInfo, "Ещё информации!", &TForm1::JvTransparentButton12Click);
    hot("btnHelp", btnHelp, "Показать подсказки по программе", &TForm1::actShowHelpExecute);
    hot("btnClose", btnClose, "Закрыть программу", &TForm1::JvTransparentButton6Click);

    banner = new ClickableLabel("banner", geometry::banner, this);
    banner->setScaledContents(true);
    banner->setAlignment(Qt::AlignCenter);
    connect(banner, &ClickableLabel::clicked, this, &TForm1::bannerClick);
    banner_ = new LabBanner(
        *banner, services_.http, services_.serviceHost, [this] { return Data.rowCount() > 0; },
        this);

    listLayoutOnly_ = {
        Image1,
        DBGrid1,
        Label1,
        Label2,
        banner,
        hot("JvTransparentButton1", JvTransparentButton1, "Выбрать файлы для отправки",
            &TForm1::actAddExecute),
        hot("JvTransparentButton2", JvTransparentButton2, "Выделить все файлы в списке",
            &TForm1::actSelAllExecute),
        hot("JvTransparentButton3", JvTransparentButton3, "Отправить файлы на сайт",
            &TForm1::actSendExecute),
        hot("JvTransparentButton4", JvTransparentButton4, "Обновить данные о форматах печати",
            &TForm1::actUpdateFormatsExecute),
        hot("JvTransparentButton5", JvTransparentButton5, "Просмотр старых сессий",
            &TForm1::actSessOldExecute),
    };

    // Pictures at the bottom, then the labels, the hot areas, the banner, the list.
    for (QWidget* w : {Label1, Label2, static_cast<QLabel*>(Label3)}) {
        w->raise();
    }
    for (HotArea* area : findChildren<HotArea*>(Qt::FindDirectChildrenOnly)) {
        area->raise();
    }
    banner->raise();
    DBGrid1->raise();
    Image1->lower();
    Image2->lower();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(30000);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();
}

void TForm1::KeepOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    // The layouts grow down and to the left of each other: moved back onto the
    // screen's free area (above the task bar), the top left corner first when the
    // window is larger than the area.
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    if (x != frame.left() || y != frame.top()) {
        move(pos() + QPoint(x - frame.left(), y - frame.top()));
    }
}

void TForm1::SwitchLayout(bool startUp) {
    const bool rows = Data.rowCount() > 0;
    for (QWidget* w : listLayoutOnly_) {
        w->setVisible(rows);
    }
    for (QWidget* w : emptyLayoutOnly_) {
        w->setVisible(!rows);
    }
    setFixedSize(rows ? geometry::kListLayout : geometry::kEmptyLayout);
    KeepOnScreen();
    // The list takes the focus as it appears, so the first key reaches it (not a
    // button of the welcome screen that has just gone).
    if (rows && (startUp || !listLayoutShown_)) {
        FocusList();
    }
    listLayoutShown_ = rows;
    // Tab reaches only the buttons one can see: not those beyond the window's edge,
    // nor those the banner covers in the list layout.
    const QRect window(QPoint(0, 0), rows ? geometry::kListLayout : geometry::kEmptyLayout);
    for (HotArea* area : findChildren<HotArea*>()) {
        const bool covered = rows && area->geometry().intersects(geometry::banner);
        const bool reachable = window.contains(area->geometry()) && !covered;
        area->setFocusPolicy(reachable ? Qt::TabFocus : Qt::NoFocus);
    }
    banner_->layoutShown(rows, startUp);
}

void TForm1::RefreshBanner() {
    banner_->refresh();
}

void TForm1::ShowBanner(const QString& path) {
    banner_->show(path);
}

void TForm1::StopBannerFetch() {
    banner_->stopFetch();
}

void TForm1::Timer1Timer() {
    fillHelpStrings(HelpString);
    Label2->setText(HelpString[QRandomGenerator::global()->bounded(5)]);
}

void TForm1::JvTransparentButton12Click() {
    fillInfoStrings(InfoString);
    Label3->setText(InfoString[QRandomGenerator::global()->bounded(2)]);
    // In the list layout the panel is hidden: the text shows beside the "i" instead.
    if (Data.rowCount() > 0 && isVisible()) {
        QToolTip::showText(mapToGlobal(geometry::btnInfo.bottomLeft() + QPoint(0, 4)),
                           Label3->text(), this, geometry::btnInfo, 20000);
    }
}

void TForm1::bannerClick() {
    services_.urls.openUrl(service::labSite(services_.serviceHost));
}

void TForm1::Label3Click() {
    services_.urls.openUrl(service::labSite(services_.serviceHost));
}

void TForm1::JvTransparentButton6Click() {
    close();
}

void TForm1::setSessionWindow(TformSession* sessions) {
    sessionWindow_ = sessions;
    sessions->setCommands(actSessSelect, actSessClose);
    // The command follows whether sessions are stored; the hot areas stay usable.
    connect(sessions, &TformSession::listUpdated, actSessOld, &QAction::setEnabled);
}

void TForm1::actSessOldExecute() {
    if (sessionWindow_ != nullptr) {
        sessionWindow_->showOver(this);
    }
}

void TForm1::actSessSelectExecute() {
    if (sessionWindow_ == nullptr || !sessionWindow_->isVisible()) {
        return;
    }
    const QString stamp = sessionWindow_->selectedStamp();
    if (stamp.isEmpty()) {
        return;
    }
    const QString key = sessionWindow_->GetOldSession(stamp);
    services_.urls.openUrl(service::sessionPageAddress(services_.serviceHost, key));
}

void TForm1::actSessCloseExecute() {
    if (sessionWindow_ != nullptr) {
        sessionWindow_->reject();
    }
}

void TForm1::actShowHelpExecute() {
    if (helpWindow_ != nullptr) {
        helpWindow_->showOver(this);
    }
}

bool TForm1::DragStripHitTest(const QPoint& globalPosition) const {
    const QPoint at = globalPosition - frameGeometry().topLeft();
    return geometry::inDragStrip(at.x(), at.y());
}
