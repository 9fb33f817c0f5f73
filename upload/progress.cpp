#include "upload/progress.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

#include "platform/hotarea.h"
#include "platform/urlopener.h"
#include "upload/dwProgressBar.h"
#include "upload/progressgeometry.h"
#include "upload/uploadmessages.h"

namespace {

namespace place = geometry::progress;

}  // namespace

TForm3::TForm3(platform::UrlOpener& urls, platform::Taskbar* taskbar, const QImage& picture,
               QWidget* parent)
    : QDialog(parent), urls_(urls) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Идет отправка файлов..."));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    faceWindow(this, picture, place::kWindow, QColor(239, 243, 239));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(place::Label1);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont bold(QStringLiteral("MS Sans Serif"));
    bold.setPixelSize(13);
    bold.setBold(true);
    Label1->setFont(bold);
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label1->setPalette(red);

    auto* cancel = new HotArea("JvTransparentButton4", place::JvTransparentButton4,
                               QStringLiteral("Отмена"), this);
    connect(cancel, &HotArea::clicked, this, &TForm3::cancelRequested);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(place::Edit1);
    Edit1->setReadOnly(true);
    Edit1->setFrame(false);
    Edit1->setCursor(Qt::PointingHandCursor);
    QFont link(QStringLiteral("MS Sans Serif"));
    link.setPixelSize(11);
    link.setUnderline(true);
    Edit1->setFont(link);
    QPalette blue = Edit1->palette();
    blue.setColor(QPalette::Base, Qt::white);
    blue.setColor(QPalette::Text, QColor(0, 0, 255));
    Edit1->setPalette(blue);
    Edit1->setContextMenuPolicy(Qt::CustomContextMenu);
    Edit1->installEventFilter(this);
    Edit1->hide();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* N1 = PopupMenu1->addAction(QStringLiteral("Копировать"));
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, this, &TForm3::N1Click);
    connect(Edit1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(Edit1->mapToGlobal(at)); });

    ProgressBar2 = new TdwProgressBar(this);
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    ProgressBar2->setGeometry(place::ProgressBar2);
    ProgressBar2->setTaskbar(taskbar);
    ProgressBar2->setShowInTaskbar(true);
    ProgressBar2->setMarqueeInterval(50);
    ProgressBar1 = new TdwProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(place::ProgressBar1);
    ProgressBar1->setMarqueeInterval(50);
}

void TForm3::showOver(QWidget* opener) {
    if (opener != nullptr) {
        move(opener->geometry().center() - rect().center());
    }
    closing_ = false;
    exec();
    if (opener != nullptr) {
        opener->activateWindow();
    }
}

void TForm3::closeWindow() {
    closing_ = true;
    done(QDialog::Rejected);
}

void TForm3::reject() {
    if (closing_) {
        QDialog::reject();
        return;
    }
    Q_EMIT cancelRequested();
}

void TForm3::closeEvent(QCloseEvent* event) {
    if (closing_) {
        QDialog::closeEvent(event);
        return;
    }
    // The window manager's close asks for the cancel command like Esc.
    event->ignore();
    Q_EMIT cancelRequested();
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Edit1->hide();
    // The window itself holds the focus, never the cancel button: Enter or Space must
    // not end the upload; only Esc and a click do.
    setFocus(Qt::OtherFocusReason);
    // Once the window is up and the modal loop runs.
    QMetaObject::invokeMethod(this, &TForm3::FormActivate, Qt::QueuedConnection);
}

void TForm3::UpdateProgress(const upload::SendProgress& progress) {
    ProgressBar1->setPosition(progress.Progress1);
    ProgressBar2->setShowInTaskbar(true);
    ProgressBar2->setPosition(progress.Progress2);
    Label1->setText(progress.Caption);
    Label1->setToolTip(progress.Hint);
    setWindowTitle(progress.FormCaption);
}

void TForm3::showFinished(const QString& link) {
    ProgressBar1->hide();
    ProgressBar2->hide();
    ProgressBar2->setShowInTaskbar(false);
    Edit1->show();
    Label1->setText(upload::messages::finished());
    Label1->setToolTip(upload::messages::finishedHint());
    Edit1->setText(link);
    Edit1->setCursorPosition(0);  // the address from its start
}

void TForm3::showAborted() {
    ProgressBar1->hide();
    ProgressBar2->hide();
    ProgressBar2->setShowInTaskbar(false);
    Edit1->hide();
    Label1->setText(upload::messages::aborted());
    Label1->setToolTip(upload::messages::abortedHint());
}

void TForm3::resetForNextUpload() {
    Edit1->hide();
    ProgressBar1->show();
    ProgressBar2->show();
}

void TForm3::Edit1Click() {
    urls_.openUrl(Edit1->text());
}

void TForm3::N1Click() {
    Edit1->selectAll();
    Edit1->copy();
    Edit1->deselect();
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Edit1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
