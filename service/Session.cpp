#include "service/Session.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScreen>

#include "platform/hotarea.h"
#include "platform/windowfont.h"
#include "service/sessiongeometry.h"

namespace {

namespace place = geometry::session;

}  // namespace

TformSession::TformSession(const service::SessionServices& services, const QImage& picture,
                           QWidget* parent)
    : QDialog(parent), services_(services) {
    setObjectName(QStringLiteral("TformSession"));
    setWindowTitle(QStringLiteral("Старые загрузки"));
    faceWindow(this, picture, place::kWindow, QColor(239, 243, 239));
    setFont(platform::windowFont("MS Sans Serif", 11, false));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(place::Label1);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFont(platform::windowFont("Verdana", 13, true));
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label1->setPalette(red);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(place::ListBox1);
    ListBox1->setFrameShape(QFrame::NoFrame);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TformSession::ListBox1DblClick);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* N1 = PopupMenu1->addAction(QStringLiteral("Удалить"));
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, this, &TformSession::N1Click);
    QAction* N2 = PopupMenu1->addAction(QStringLiteral("Удалить всё"));
    N2->setObjectName(QStringLiteral("N2"));
    connect(N2, &QAction::triggered, this, &TformSession::N2Click);
    connect(ListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(at)); });

    // The buttons are drawn in the picture.
    auto* go = new HotArea("JvTransparentButton4", place::JvTransparentButton4,
                           QStringLiteral("Перейти на сайт"), this);
    connect(go, &HotArea::clicked, this, &TformSession::JvTransparentButton4Click);
    auto* close = new HotArea("JvTransparentButton1", place::JvTransparentButton1,
                              QStringLiteral("Закрыть окно старых закачек"), this);
    connect(close, &HotArea::clicked, this, &TformSession::JvTransparentButton1Click);
}

void TformSession::setCommands(QAction* select, QAction* close) {
    actSessSelect_ = select;
    actSessClose_ = close;
}

QPoint sessionWindowPlace(bool placeable, const QRect& available, const QRect& opener) {
    if (placeable && available.contains(QRect(place::kPlace, place::kWindow))) {
        return place::kPlace;
    }
    return opener.center() - QRect(QPoint(0, 0), place::kWindow).center();
}

void TformSession::showOver(QWidget* opener) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    // Wayland does not let a program place its windows.
    const bool placeable = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    move(sessionWindowPlace(placeable, screen != nullptr ? screen->availableGeometry() : QRect(),
                            opener != nullptr ? opener->geometry() : QRect(place::kPlace, size())));
    exec();
    if (opener != nullptr) {
        opener->activateWindow();
    }
}

void TformSession::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TformSession::FormShow() {
    UpdateList();
    Label1->setText(QStringLiteral(
        "Здесь Вы можете посмотреть список Ваших старых сессий отправки фотографий. Двойным "
        "кликом на строке сессии Вы перейдете на сайт."));
    ListBox1->setFocus();
}

void TformSession::UpdateList() {
    ListBox1->clear();
    for (const QString& stamp : service::listSessions(services_)) {
        auto* row = new QListWidgetItem(stamp, ListBox1);
        row->setSizeHint(QSize(ListBox1->viewport()->width(), place::kListRowHeight));
    }
    Q_EMIT listUpdated(ListBox1->count() > 0);
}

QString TformSession::GetOldSession(const QString& date) {
    return service::GetOldSession(date, services_);
}

QString TformSession::selectedStamp() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void TformSession::N1Click() {
    const QString stamp = selectedStamp();
    if (stamp.isEmpty()) {
        return;
    }
    service::deleteSession(stamp, services_);
    UpdateList();
}

void TformSession::N2Click() {
    service::deleteAllSessions(services_);
    UpdateList();
}

void TformSession::ListBox1DblClick() {
    if (actSessSelect_ != nullptr) {
        actSessSelect_->trigger();
    }
}

void TformSession::JvTransparentButton4Click() {
    if (actSessSelect_ != nullptr) {
        actSessSelect_->trigger();
    }
}

void TformSession::JvTransparentButton1Click() {
    if (actSessClose_ != nullptr) {
        actSessClose_->trigger();
    }
}
