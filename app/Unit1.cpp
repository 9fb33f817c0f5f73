// The main window: its controls and commands (the Part's names), its start-up, and its
// handlers, each short: the order list (OrderListPanel), the banner (LabBanner), the
// layouts (WindowLayouts), the list's viewport (ListViewportEvents) and the upload's
// steps (OrderUploadSteps) are classes of their own.
#include "app/Unit1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <exception>
#include <utility>
#include <vector>

#include "app/application.h"
#include "app/artwork/jpegcodec.h"
#include "app/artwork/windowgeometry.h"
#include "app/help.h"
#include "app/labbanner.h"
#include "app/log.h"
#include "app/orderlistpanel.h"
#include "app/photohint.h"
#include "app/uploadsteps.h"
#include "formats/catalogue.h"
#include "formats/messages.h"
#include "images/ShowImage.h"
#include "images/prepare.h"
#include "order/addfile.h"
#include "order/listrules.h"
#include "order/orderlistmodel.h"
#include "platform/background.h"
#include "platform/busycursor.h"
#include "platform/dialogs.h"
#include "platform/error.h"
#include "platform/hotarea.h"
#include "platform/settingsstore.h"
#include "platform/urlopener.h"
#include "platform/windowfont.h"
#include "platform/workfolder.h"
#include "service/Session.h"
#include "service/httpget.h"
#include "service/labaddress.h"
#include "service/sessions.h"
#include "upload/progress.h"
#include "upload/sendtask.h"

TForm1::TForm1(ProgramState& state, const MainWindowServices& services, QWidget* parent)
    : QWidget(parent),
      state_(state),
      services_(services),
      dialogs_(services.dialogs),
      Data(state.Data),
      Formats(state.Formats),
      Sort(state.Sort),
      SendTask(state.SendTask) {
    setObjectName(QStringLiteral("TForm1"));

    CreateCommands();
    CreateList();
    CreateShell();
    connect(&Data, &order::OrderTable::dataChanged, this, &TForm1::DataSource1DataChange);
    connect(&Data, &order::OrderTable::afterScroll, this, &TForm1::FollowCursor);
    FormCreate();
}

void TForm1::runHandler(void (TForm1::*handler)()) {
    try {
        (this->*handler)();
    } catch (const std::exception& e) {
        const QString text = platform::errorText(e);
        qCWarning(lcApp) << "a command failed:" << text;
        dialogs_.showError(text);
    }
}

void TForm1::connectHandler(QAction* action, void (TForm1::*handler)()) {
    connect(action, &QAction::triggered, this, [this, handler] { runHandler(handler); });
}

void TForm1::FormCreate() {
    try {
        qApp->installEventFilter(this);
        setAcceptDrops(true);

        actSend->setEnabled(false);
        Sort = order::SortState{order::Field::File, true};

        LoadFormats(false);
        RefreshBanner();

        if (Formats.empty()) {
            dialogs_.showError(formats::messages::B1(services_.serviceWebAddress));
            Terminate();
        }

        BuildFormatChoices();
        BuildCountChoices();
        DBGrid1->viewport()->setAttribute(Qt::WA_AlwaysShowToolTips);

        OpenOrderTable();
        DataSource1DataChange();
        SwitchLayout(true);
    } catch (const std::exception& e) {
        // A failing step ends the sequence. The program still ends when it has no
        // format, and keeps the order it has.
        const QString text = platform::errorText(e);
        qCWarning(lcApp) << "start-up stopped:" << text;
        dialogs_.showError(text);
        if (Formats.empty() && !state_.terminateRequested) {
            dialogs_.showError(formats::messages::B1(services_.serviceWebAddress));
            Terminate();
        }
        if (!Data.isOpen()) {
            OpenOrderTable();
            DataSource1DataChange();
        }
        SwitchLayout(true);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TForm1::Terminate() {
    state_.terminateRequested = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

void TForm1::LoadFormats(bool Force) {
    // A stored catalogue that does not read is fetched anew, as at a first start; one
    // that still does not read leaves none, and the program ends as without formats.
    formats::LoadFormatsForStart(Force, Formats, catalogueServices());
}

formats::CatalogueServices TForm1::catalogueServices() {
    return {[this](const QString& url) { return FetchShowingNote(url); }, services_.store, dialogs_,
            services_.serviceHost, services_.serviceWebAddress};
}

void TForm1::actUpdateFormatsExecute() {
    // A failed update tells the customer once (the failing step's own message) and
    // keeps the catalogue the program had: the program goes on with it.
    const formats::CatalogueServices catalogue = catalogueServices();
    if (!formats::DownloadFormats(catalogue)) {
        qCWarning(lcApp) << "the format update failed; the catalogue stays";
        return;
    }
    formats::TFormats fresh;
    try {
        formats::LoadFormats(false, fresh, catalogue);
    } catch (const formats::ConversionError& e) {
        qCWarning(lcApp) << "the updated formats do not read:" << e.what();
        dialogs_.showError(e.text());
        return;
    }
    if (fresh.empty()) {
        return;  // the load has said why
    }
    Formats = std::move(fresh);
    BuildFormatChoices();
    // The rows' verdicts follow the new catalogue.
    Data.refresh();
}

void TForm1::FormDestroy() {
    StopBannerFetch();
    setAcceptDrops(false);
    qApp->removeEventFilter(this);
}

void TForm1::OpenOrderTable() {
    QString folder;
    try {
        folder = platform::GetTempFolder();
    } catch (const platform::WorkFolderError& e) {
        // The table stays closed: nothing is taken that could not be kept.
        dialogs_.showError(e.text());
        return;
    }
    if (const std::optional<QString> problem =
            state_.openOrder(folder + QStringLiteral("Data.csv"))) {
        dialogs_.showError(*problem);
    }
}

void TForm1::ReopenOrderTable() {
    if (const std::optional<QString> problem = state_.saveOrder()) {
        dialogs_.showError(*problem);
    }
}

void TForm1::DataSource1DataChange() {
    const bool rows = Data.rowCount() > 0;
    SwitchLayout(false);
    FollowCursor();
    Label1->setText(QString::number(Data.rowCount()));
    DBGrid1->setEnabled(rows);
    actSend->setEnabled(rows);
    for (QMenu* submenu : {N5, N6, N7}) {
        submenu->menuAction()->setVisible(rows);
    }
    if (isVisible()) {
        actPrev->setEnabled(Data.position() != 0);
        actFirst->setEnabled(Data.position() != 0);
        actNext->setEnabled(Data.position() != Data.rowCount() - 1);
        actLast->setEnabled(Data.position() != Data.rowCount() - 1);
    }
}

namespace {

// Says that the program is waiting for the lab; closing it gives the wait up.
class DownloadNote : public QDialog {
public:
    explicit DownloadNote(std::atomic<bool>& cancelled) : cancelled_(cancelled) {
        setObjectName(QStringLiteral("DownloadNote"));
        setWindowTitle(applicationTitle());
        setWindowModality(Qt::ApplicationModal);
        auto* text = new QLabel(QStringLiteral("Загрузка форматов печати из фотолаборатории…\n"
                                               "Закройте это окно, чтобы прервать загрузку."),
                                this);
        text->setMargin(16);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(text);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        cancelled_ = true;
        QDialog::closeEvent(event);
    }
    void reject() override {
        cancelled_ = true;
        QDialog::reject();
    }

private:
    std::atomic<bool>& cancelled_;
};

}  // namespace

QString TForm1::FetchShowingNote(const QString& Url) {
    // The request in the background; this thread shows the note and answers the
    // credentials dialog the request may ask for, until the answer or a cancel.
    std::atomic<bool> cancelled{false};
    std::exception_ptr failure;
    QEventLoop waiting;
    DownloadNote note(cancelled);
    QFutureWatcher<QString> watcher;
    connect(&watcher, &QFutureWatcher<QString>::finished, &waiting, &QEventLoop::quit);
    watcher.setFuture(platform::runNetwork([this, Url, &cancelled, &failure] {
        try {
            return services_.http.HttpGet(Url, QString(), &cancelled);
        } catch (...) {
            failure = std::current_exception();  // rethrown here, its own type kept
            return QString();
        }
    }));
    {
        const platform::BusyCursor busy;
        note.show();
        while (!watcher.isFinished()) {
            waiting.exec();
        }
    }
    note.hide();
    if (failure) {
        std::rethrow_exception(failure);
    }
    const QString reply = watcher.result();
    if (cancelled) {
        qCWarning(lcApp) << "the format download was given up";
        return {};
    }
    return reply;
}

QString TForm1::HttpGet(const QString& Url, const QString& FileName) {
    return services_.http.HttpGet(Url, FileName);
}

QString TForm1::GetNewSession(const std::atomic<bool>* cancelled) {
    return service::GetNewSession({[this, cancelled](const QString& url) {
                                       return services_.http.HttpGet(url, QString(), cancelled);
                                   },
                                   services_.store, dialogs_, services_.clock,
                                   services_.serviceHost, services_.serviceWebAddress});
}

void TForm1::AddFile(const QString& FileName) {
    state_.addFile(FileName);
}

namespace {

// Where the add command's dialog opens: the folder photos were last chosen from.
const QString& kProgramKey = platform::ProgramKey;
const QString kOpenFolderValue = QStringLiteral("OpenFolder");

}  // namespace

QString TForm1::OpenFolder() const {
    const std::optional<QString> kept = services_.store.value(kProgramKey, kOpenFolderValue);
    if (kept && QFileInfo(*kept).isDir()) {
        return *kept;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

void TForm1::actAddExecute() {
    // Both letter cases: the desktop's dialogs match patterns with case, and cameras
    // name their files IMG_0001.JPG.
    const QStringList files =
        dialogs_.getOpenFileNames({QStringLiteral("jpeg"),
                                   {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                                    QStringLiteral("*.JPG"), QStringLiteral("*.JPEG")},
                                   QStringLiteral("jpg"),
                                   true,
                                   OpenFolder()});
    if (files.isEmpty()) {
        return;
    }
    if (services_.store.createKey(kProgramKey)) {
        services_.store.setValue(kProgramKey, kOpenFolderValue,
                                 QFileInfo(files.first()).absolutePath());
    }
    try {
        for (const QString& file : files) {
            AddFile(file);
        }
    } catch (const platform::Error& e) {
        // The files added so far stay in the table and are saved at the next close.
        dialogs_.showError(e.text());
        FocusList();
        return;
    }
    ReopenOrderTable();
    FocusList();
}

void TForm1::FocusList() {
    if (Data.rowCount() > 0) {
        DBGrid1->setFocus(Qt::OtherFocusReason);
    }
}

void TForm1::DropFiles(const QStringList& paths) {
    try {
        for (const QString& path : paths) {
            if (order::hasJpegExtension(path)) {
                AddFile(path);
            }
        }
    } catch (const platform::Error& e) {
        qCWarning(lcApp) << "a photo given was refused:" << e.text();
        dialogs_.showError(e.text());
        FocusList();
        return;
    }
    ReopenOrderTable();
    FocusList();
}

namespace {

QStringList localFiles(const QMimeData* mime) {
    QStringList files;
    if (mime != nullptr) {
        for (const QUrl& url : mime->urls()) {
            if (url.isLocalFile()) {
                files << url.toLocalFile();
            }
        }
    }
    return files;
}

}  // namespace

void TForm1::AppMessage(QObject* receiver, QEvent* event, bool& Handled) {
    Handled = false;
    if (event->type() != QEvent::Drop || !acceptDrops()) {
        return;
    }
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (widget == nullptr || widget->window() != this) {
        return;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    drop->acceptProposedAction();
    Handled = true;
    DropFiles(localFiles(drop->mimeData()));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    bool handled = false;
    AppMessage(watched, event, handled);
    if (handled) {
        return true;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            // A press on the drag strip moves the window and reaches nothing beneath.
            auto* widget = qobject_cast<QWidget*>(watched);
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (widget != nullptr && widget->window() == this &&
                mouse->button() == Qt::LeftButton &&
                DragStripHitTest(mouse->globalPosition().toPoint())) {
                if (windowHandle() != nullptr) {
                    windowHandle()->startSystemMove();
                }
                return true;
            }
            break;
        }
        case QEvent::ShortcutOverride: {
            // Keys a cell editor needs are its own, not the window's: Enter commits
            // the edit (not the viewer's Enter), Delete, Home and End edit the text.
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool editorKey = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                                   key->key() == Qt::Key_Delete || key->key() == Qt::Key_Home ||
                                   key->key() == Qt::Key_End || key->key() == Qt::Key_Escape;
            auto* widget = qobject_cast<QWidget*>(watched);
            // A cell editor is a child of the list's viewport that has the focus.
            if (editorKey && widget != nullptr && widget != DBGrid1->viewport() &&
                DBGrid1->viewport()->isAncestorOf(widget)) {
                event->accept();
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!localFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    DataSource1DataChange();
    if (!std::exchange(shown_, true)) {
        FormShow();
    }
}

void TForm1::FormShow() {
    if (sessionWindow_ != nullptr) {
        sessionWindow_->UpdateList();
    }
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    if (!localFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

// The order list (see OrderListPanel): its widgets keep the names the window gives them.
void TForm1::CreateList() {
    list_ = new OrderListPanel(
        *this, state_, dialogs_,
        {[this] { actSelAllExecute(); }, [this] { actDelExecute(); }, [this] { N2Click(); }});
    DBGrid1 = list_->view();
    model_ = list_->model();
    PopupMenu1 = list_->popup();
    N5 = list_->formatMenu();
    N6 = list_->paramMenu();
    N7 = list_->paperMenu();
    N9 = list_->countMenu();

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
}

void TForm1::BuildFormatChoices() {
    list_->buildFormatChoices();
}

void TForm1::BuildCountChoices() {
    list_->buildCountChoices();
}

std::vector<int> TForm1::SelectedRows() const {
    return list_->selectedRows();
}

void TForm1::DBGrid1TitleClick(int column) {
    list_->titleClick(column);
}

void TForm1::ApplyToSelected(order::Field field, const QVariant& value) {
    list_->applyToSelected(field, value);
}

void TForm1::actDelExecute() {
    order::deleteSelected(Data, SelectedRows());
    DBGrid1->clearSelection();
}

void TForm1::actSelAllExecute() {
    DBGrid1->selectAll();
}

void TForm1::N2Click() {
    Data.empty();
}

void TForm1::actPrevExecute() {
    DBGrid1->clearSelection();
    Data.prior();
}

void TForm1::actNextExecute() {
    DBGrid1->clearSelection();
    Data.next();
}

void TForm1::actFirstExecute() {
    DBGrid1->clearSelection();
    Data.first();
}

void TForm1::actLastExecute() {
    DBGrid1->clearSelection();
    Data.last();
}

void TForm1::FollowCursor() {
    list_->followCursor();
}

void TForm1::FitColumns() {
    list_->fitColumns();
}

void TForm1::SetListEditing(bool editing) {
    list_->setEditing(editing);
}

void TForm1::DBGrid1MouseWheel(QWheelEvent* event) {
    list_->wheel(event);
}

std::pair<QString, int> TForm1::DBGrid1ShowCellHint(const QModelIndex& cell) const {
    return list_->cellHint(cell);
}

void TForm1::ShowCellHint(QHelpEvent* event) {
    list_->showCellHint(event);
}

// The image viewer: the show-file command and the viewer following the table's cursor.

void TForm1::setViewerWindow(TForm2* viewer) {
    viewerWindow_ = viewer;
    viewer->setCommands({actPrev, actNext, actFirst, actLast, actDel, [this] {
                             if (helpWindow_ != nullptr) {
                                 helpWindow_->showOver(viewerWindow_);
                             }
                         }});
    connect(actShowImage, &QAction::triggered, this,
            [this] { runHandler(&TForm1::actShowImageExecute); });
    connect(DBGrid1, &QAbstractItemView::doubleClicked, actShowImage, &QAction::trigger);
    connect(&Data, &order::OrderTable::afterScroll, this, &TForm1::DataAfterScroll);
}

void TForm1::actShowImageExecute() {
    if (Data.rowCount() == 0 || viewerWindow_ == nullptr) {
        return;
    }
    SetListEditing(false);
    DBGrid1->clearSelection();
    viewerWindow_->showOver(this);
    SetListEditing(true);
    Data.refresh();
}

void TForm1::DataAfterScroll() {
    if (!isVisible() || viewerWindow_ == nullptr) {
        return;
    }
    if (viewerWindow_->isVisible() && Data.rowCount() > 0) {
        viewerWindow_->UpdateForm(false);
    } else if (viewerWindow_->isVisible()) {
        viewerWindow_->reject();
    }
}

// The upload: the send and cancel commands, and the worker's start and end (the steps
// it has this thread run are OrderUploadSteps).

TForm1::~TForm1() {
    stopUpload();
    StopBannerFetch();
    // The state outlives this window: its notices must not reach it any more.
    Data.disconnect(this);
}

void TForm1::setProgressWindow(TForm3* progress) {
    progressWindow_ = progress;
    uploadSteps_ = std::make_unique<OrderUploadSteps>(OrderUploadSteps::Services{
        Data, Formats, *progress, services_.urls, dialogs_, services_.serviceHost,
        [this](bool editing) { SetListEditing(editing); },
        [this](const std::atomic<bool>& stop) { return GetNewSession(&stop); }});
    connect(progress, &TForm3::FormActivate, this,
            [this] { runHandler(&TForm1::StartSendThread); });
    connect(progress, &TForm3::cancelRequested, actCancelProgress, &QAction::trigger);
}

void TForm1::actSendExecute() {
    if (Data.rowCount() == 0 || progressWindow_ == nullptr || SendTask != nullptr) {
        return;
    }
    progressWindow_->showOver(this);
    progressWindow_->resetForNextUpload();
}

void TForm1::StartSendThread() {
    if (SendTask != nullptr) {
        return;  // one worker for each showing of the window
    }
    auto* task =
        new TSendFilesTask(*uploadSteps_,
                           upload::SendServices{services_.http, dialogs_, &images::preparePrint,
                                                services_.serviceHost, services_.serviceWebAddress},
                           this);
    SendTask = task;
    state_.Sending = true;
    connect(task, &QThread::finished, this, &TForm1::SendTerminated);
    // No red rows while the run lasts, and the list in whole-row selection.
    model_->setWarningsShown(false);
    SetListEditing(false);
    DBGrid1->clearSelection();
    qCDebug(lcApp) << "upload started with" << Data.rowCount() << "rows";
    task->start();
}

void TForm1::SendTerminated() {
    state_.Sending = false;
    if (SendTask == nullptr || !SendTask->stopRequested()) {
        return;  // SendFinished has shown the end
    }
    progressWindow_->showAborted();
    // The list may be edited again (the run changed nothing in it).
    SetListEditing(true);
}

void TForm1::actCancelProgressExecute() {
    if (SendTask != nullptr && SendTask->isRunning() && !SendTask->stopRequested()) {
        SendTask->requestStop();
    }
    if (state_.Sending) {
        return;
    }
    if (progressWindow_ != nullptr) {
        progressWindow_->closeWindow();
    }
    delete SendTask;
    SendTask = nullptr;
    model_->setWarningsShown(true);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (SendTask != nullptr) {
        stopUpload();
        progressWindow_->closeWindow();
    }
    QWidget::closeEvent(event);
}

void TForm1::stopUpload() {
    if (SendTask == nullptr) {
        return;
    }
    SendTask->requestStop();
    // The worker may be waiting for this thread: keep serving it until it has ended.
    while (!SendTask->wait(20)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    delete SendTask;
    SendTask = nullptr;
    state_.Sending = false;
    model_->setWarningsShown(true);
}

// The window's face: the layout pictures with their hot areas, the labels, the usage
// and information texts, the site links, the drag strip, and the commands.

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
    const std::vector<QWidget*> emptyOnly = {
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

    const std::vector<QWidget*> listOnly = {
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

    layouts_ = std::make_unique<WindowLayouts>(*this, emptyOnly, listOnly);

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

void TForm1::SwitchLayout(bool startUp) {
    const bool rows = Data.rowCount() > 0;
    layouts_->show(rows);
    // The list takes the focus as it appears, so the first key reaches it (not a
    // button of the welcome screen that has just gone).
    if (rows && (startUp || !listLayoutShown_)) {
        FocusList();
    }
    listLayoutShown_ = rows;
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
