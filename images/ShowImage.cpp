#include "images/ShowImage.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QStyleOptionComboBox>
#include <QWindow>
#include <optional>

#include "images/log.h"
#include "images/prepare.h"
#include "images/viewergeometry.h"
#include "order/choices.h"
#include "order/ordertable.h"
#include "order/resolution.h"
#include "platform/busycursor.h"
#include "platform/dialogs.h"
#include "platform/hotarea.h"
#include "platform/windowfont.h"

namespace {

namespace place = geometry::viewer;

// Set by every turn of a preview, never cleared: from the second turn of a run on,
// the preview is rebuilt from the cache before it is turned, so turns never add up.
bool PreviewTurned = false;

// The hourglass while a picture is decoded or rebuilt, restored on every path.
using platform::BusyCursor;

QFont bold(const char* family, int pixelSize) {
    return platform::windowFont(family, pixelSize, true);
}

QLabel* label(QWidget* parent, const char* name, QPoint at, const char* text, const char* hint) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(bold("Verdana", 13));
    l->setToolTip(QString::fromUtf8(hint));
    l->adjustSize();
    l->move(at);
    return l;
}

}  // namespace

// The preview box: the picture over the whole box, or one of another size scaled down
// in proportion and centred (a turned preview, 304 × 460, shows as 200 × 304 at 130).
class TForm2::PreviewBox final : public QWidget {
public:
    PreviewBox(const images::Picture24& picture, QWidget* parent)
        : QWidget(parent), picture_(picture) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (picture_.isNull()) {
            return;
        }
        const QImage image(reinterpret_cast<const uchar*>(picture_.bytes.constData()),
                           picture_.width, picture_.height, picture_.stride, QImage::Format_BGR888);
        if (picture_.width == width() && picture_.height == height()) {
            painter.drawImage(0, 0, image);
            return;
        }
        int w = width();
        int h = height();
        if (picture_.width * height() > picture_.height * width()) {
            h = picture_.height * width() / picture_.width;
        } else {
            w = picture_.width * height() / picture_.height;
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect((width() - w) / 2, (height() - h) / 2, w, h), image);
    }

private:
    const images::Picture24& picture_;
};

TForm2::TForm2(const ViewerServices& services, const QImage& picture, QWidget* parent)
    : QDialog(parent), services_(services) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Просмотр изображений"));
    faceWindow(this, picture, place::kWindow, QColor(192, 192, 192));

    auto* title = new QLabel(QStringLiteral("ПРОСМОТР ФОТОГРАФИЙ"), this);
    title->setObjectName(QStringLiteral("Label10"));
    title->setFont(bold("Verdana", 24));
    title->adjustSize();
    title->move(place::Label10);

    Image2 = new PreviewBox(shown_, this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(place::Image2);

    Label9 = new QLabel(this);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label9->setFont(bold("MS Sans Serif", 16));
    Label9->setAutoFillBackground(true);
    QPalette warning = Label9->palette();
    warning.setColor(QPalette::Window, QColor(255, 0, 0));
    warning.setColor(QPalette::WindowText, Qt::white);
    Label9->setPalette(warning);
    Label9->move(place::Label9);
    Label9->hide();

    // The photo's name: the title line names it on a desktop with window frames only.
    FileName = new QLabel(this);
    FileName->setObjectName(QStringLiteral("FileName"));
    FileName->setGeometry(place::kFileName);
    FileName->setFont(bold("Verdana", 12));
    FileName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FileName->setTextFormat(Qt::PlainText);

    label(this, "Label2", place::Label2, "Количество:", "Количество фотографий");
    label(this, "Label3", place::Label3, "Формат:", "Формат (размер) фотографий в сантиметрах");
    label(this, "Label4", place::Label4, "Как печатать:",
          "При выборе пункта \"Как есть\" изображение будет печататься так как есть, то есть с "
          "размерами которые оно имеет\r\nПри выборе пункта \"С полями\" изображение будет "
          "напечатано на фотобумаге целиком, но с белыми полями.\r\nПри выборе пункта  \"Без "
          "полей\" никаких полей на напечатанной фотографии не будет, но небольшая часть "
          "изображения на фотобумаге не поместится.");
    label(this, "Label5", place::Label5, "Тип бумаги:",
          "Выберите тип бумаги.\r\nНа глянцевой бумаге цвета получаются ярче.\r\nНа матовой "
          "бумаге не остаются отпечатки пальцев.");

    JvDBSpinEdit1 = new QSpinBox(this);
    JvDBSpinEdit1->setObjectName(QStringLiteral("JvDBSpinEdit1"));
    JvDBSpinEdit1->setGeometry(place::JvDBSpinEdit1);
    JvDBSpinEdit1->setRange(1, 999);
    JvDBSpinEdit1->setAlignment(Qt::AlignRight);
    JvDBSpinEdit1->setToolTip(QStringLiteral("Количество фотографий"));
    connect(JvDBSpinEdit1, &QSpinBox::valueChanged, this, [this] {
        if (!filling_) {
            countChanged_ = true;
        }
    });

    const auto list = [this](const char* name, QRect at, const char* hint, order::Field field) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(at);
        box->setToolTip(QString::fromUtf8(hint));
        connect(box, &QComboBox::activated, this,
                [this, box, field] { writeChoice(static_cast<int>(field), box->currentText()); });
        return box;
    };
    DBComboBox1 =
        list("DBComboBox1", place::DBComboBox1, "Формат (размер) фотографии", order::Field::Format);
    DBComboBox2 = list("DBComboBox2", place::DBComboBox2, "Как напечатать", order::Field::Param);
    DBComboBox3 = list("DBComboBox3", place::DBComboBox3, "Тип бумаги", order::Field::Paper);
    // The lists are narrow: their letters are set narrower until the longest fixed
    // choice ("Подготовленный") shows whole; the drop-downs are as wide as their choices.
    QFont narrow = DBComboBox2->font();
    narrow.setPixelSize(11);
    QStyleOptionComboBox option;
    option.initFrom(DBComboBox2);
    option.rect = QRect(QPoint(0, 0), place::DBComboBox2.size());
    const int room = style()
                         ->subControlRect(QStyle::CC_ComboBox, &option,
                                          QStyle::SC_ComboBoxEditField, DBComboBox2)
                         .width() -
                     2;
    for (int stretch = 100; stretch >= 60; stretch -= 5) {
        narrow.setStretch(stretch);
        int longest = 0;
        for (const QString& choice : order::paramChoices() + order::paperChoices()) {
            longest = std::max(longest, QFontMetrics(narrow).horizontalAdvance(choice));
        }
        if (longest <= room) {
            break;
        }
    }
    for (QWidget* field :
         std::initializer_list<QWidget*>{JvDBSpinEdit1, DBComboBox1, DBComboBox2, DBComboBox3}) {
        field->setFont(narrow);
    }

    const auto button = [this](const char* name, QRect at, const char* hint,
                               std::function<void()> click) {
        auto* area = new HotArea(name, at, QString::fromUtf8(hint), this);
        connect(area, &HotArea::clicked, this, std::move(click));
        return area;
    };
    button("JvTransparentButton9", place::JvTransparentButton9,
           "Повернуть изображение на 90 градусов против часовой стрелки",
           [this] { actRotateLeftExecute(); });
    button("JvTransparentButton10", place::JvTransparentButton10,
           "Повернуть изображение на 90 градусов по часовой стрелке",
           [this] { actRotateRightExecute(); });
    button("JvTransparentButton11", place::JvTransparentButton11,
           "Перейти к первому файлу в списке", [this] {
               saveCount();
               run(commands_.actFirst);
           });
    button("JvTransparentButton5", place::JvTransparentButton5,
           "Перейти к предыдущему файлу в списке", [this] {
               saveCount();
               run(commands_.actPrev);
           });
    button("JvTransparentButton7", place::JvTransparentButton7, "Удалить файл из списка", [this] {
        if (services_.dialogs.askYesNo(
                QStringLiteral("Вы действительно хотите удалить этот файл?"))) {
            run(commands_.actDel);
        }
    });
    button("JvTransparentButton8", place::JvTransparentButton8,
           "Перейти к следующему файлу в списке", [this] {
               saveCount();
               run(commands_.actNext);
           });
    button("JvTransparentButton12", place::JvTransparentButton12,
           "Перейти к последнему файлу в списке", [this] {
               saveCount();
               run(commands_.actLast);
           });
    button("JvTransparentButton6", place::JvTransparentButton6,
           "Сохранить все изменения и закрыть окно просмотра фотографии",
           [this] { saveAndClose(); });
    button("JvTransparentButton1", place::JvTransparentButton1, "Показать подсказки по программе",
           [this] {
               if (commands_.showHelp) {
                   saveCount();  // the refresh after help must not lose a changed count
                   commands_.showHelp();
                   UpdateForm(false);  // a turned preview returns unturned
               }
           });
    button("JvTransparentButton2", place::JvTransparentButton2, "Закрыть окно просмотра фотографии",
           [this] { saveAndClose(); });

    // The viewer's own first-row command is off, so Home does nothing here; the
    // first-row button runs the main window's command.
    actFirst = new QAction(this);
    actFirst->setObjectName(QStringLiteral("actFirst"));
    actFirst->setEnabled(false);

    // Window keys come before the focused control's.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

TForm2::~TForm2() = default;

void TForm2::setCommands(const ViewerCommands& commands) {
    commands_ = commands;
}

void TForm2::showOver(QWidget* opener) {
    if (opener != nullptr) {
        move(opener->geometry().center() - rect().center());
    }
    exec();
    if (opener != nullptr) {
        opener->activateWindow();
    }
}

void TForm2::run(QAction* command) {
    if (command != nullptr && command->isEnabled()) {
        command->trigger();
    }
}

const formats::TFormatsRecord* TForm2::selectedFormat() const {
    const int at = DBComboBox1->currentIndex();
    if (at < 0 || static_cast<size_t>(at) >= services_.Formats.size()) {
        return nullptr;
    }
    return &services_.Formats[static_cast<size_t>(at)];
}

void TForm2::UpdateForm(bool upd) {
    const order::OrderRow& row = services_.Data.current();
    filling_ = true;
    const auto fill = [](QComboBox* box, const QStringList& items, const QString& value) {
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(box->findText(value, Qt::MatchFixedString));
        box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 24);
    };
    fill(DBComboBox1, services_.FormatPickList, row.format);
    fill(DBComboBox2, order::paramChoices(), row.param);
    fill(DBComboBox3, order::paperChoices(), row.paper);
    // A count the counter cannot hold (none, or past its range) shows as the row has it
    // at a step below the range, and stays as it is unless the customer changes it.
    const bool showable = row.count && *row.count >= 1 && *row.count <= 999;
    JvDBSpinEdit1->setMinimum(showable ? 1 : 0);
    JvDBSpinEdit1->setSpecialValueText(
        showable ? QString() : (row.count ? QString::number(*row.count) : QStringLiteral(" ")));
    JvDBSpinEdit1->setValue(showable ? *row.count : 0);
    countChanged_ = false;
    filling_ = false;

    setWindowTitle(row.file);
    Image2->setToolTip(row.file);
    FileName->setToolTip(row.file);

    Label9->hide();
    const formats::TFormatsRecord* format = selectedFormat();
    if (format != nullptr) {
        // The list's own rule: the verdict of the row as it stands, with this format.
        const std::optional<order::PrintResolution> resolution =
            order::printResolution(row, *format);
        if (resolution && resolution->warning) {
            Label9->setText(QStringLiteral("Разрешение файла: %1 dpi").arg(resolution->dpi));
            Label9->setToolTip(QStringLiteral(
                "Этого разрешения недостаточно для печати фотографии в этом формате!"));
            Label9->adjustSize();
            Label9->show();
        }
    }
    // The name beside the warning, cut in the middle when it does not fit.
    QRect namePlace = place::kFileName;
    if (Label9->isVisible()) {
        namePlace.setLeft(std::max(namePlace.left(), Label9->geometry().right() + 12));
    }
    FileName->setGeometry(namePlace);
    FileName->setText(FileName->fontMetrics().elidedText(QFileInfo(row.file).fileName(),
                                                         Qt::ElideMiddle, namePlace.width()));
    // No format or how-to-print choice of today's lists: no preview to make.
    if (format == nullptr || DBComboBox2->currentIndex() < 0) {
        shown_ = images::Picture24();
        Image2->update();
        return;
    }
    if (upd) {
        UpdateBitmap(windowTitle(), *format, DBComboBox2->currentText());
    } else {
        OpenBitmap(windowTitle(), *format, DBComboBox2->currentText());
    }
}

void TForm2::OpenBitmap(const QString& FileName, const formats::TFormatsRecord& Format,
                        const QString& How) {
    if (!QFileInfo::exists(FileName)) {
        reject();
        return;
    }
    const BusyCursor busy;
    // The rows before and after are decoded meanwhile, for PgUp and PgDn.
    const auto decodeNeighbours = [this, &FileName] {
        const order::OrderTable& table = services_.Data;
        const int at = table.position();
        QStringList around;
        for (const int other : {at + 1, at - 1}) {
            if (other >= 0 && other < table.rowCount()) {
                around << table.row(other).file;
            }
        }
        ahead_.prepare(around);
    };
    try {
        if (std::optional<images::PreviewCache> ready = ahead_.take(FileName)) {
            CacheBitmap = std::move(*ready);
        } else {
            CacheBitmap = images::openPreviewCache(FileName);
        }
        decodeNeighbours();
        shown_ = images::previewOf(CacheBitmap, Format, How, true);
    } catch (const images::PrepareError& e) {
        decodeNeighbours();
        qCWarning(lcImages) << "no preview:" << e.text();
        CacheBitmap = images::PreviewCache();
        shown_ = images::Picture24();
        Image2->update();
        services_.dialogs.showError(
            QStringLiteral("Файл %1 не удалось открыть для просмотра:\r\n%2")
                .arg(FileName, e.text()));
        return;
    }
    Image2->update();
}

void TForm2::UpdateBitmap(const QString& FileName, const formats::TFormatsRecord& Format,
                          const QString& How) {
    if (CacheBitmap.isNull()) {
        OpenBitmap(FileName, Format, How);
        return;
    }
    const BusyCursor busy;
    try {
        shown_ = images::previewOf(CacheBitmap, Format, How, false);
    } catch (const images::PrepareError& e) {
        qCWarning(lcImages) << "no preview:" << e.text();
        shown_ = images::Picture24();
    }
    Image2->update();
}

void TForm2::turn(bool left) {
    const BusyCursor busy;
    if (PreviewTurned) {
        const formats::TFormatsRecord* format = selectedFormat();
        if (format == nullptr || DBComboBox2->currentIndex() < 0) {
            return;
        }
        UpdateBitmap(windowTitle(), *format, DBComboBox2->currentText());
    }
    if (shown_.isNull()) {
        return;
    }
    shown_ = images::turned(shown_, left);
    PreviewTurned = true;
    Image2->update();
}

void TForm2::actRotateLeftExecute() {
    turn(true);
}

void TForm2::actRotateRightExecute() {
    turn(false);
}

void TForm2::writeChoice(int field, const QString& value) {
    if (filling_) {
        return;
    }
    saveCount();
    order::OrderTable& table = services_.Data;
    table.edit();
    table.setField(static_cast<order::Field>(field), value);
    table.post();
    // The format and how-to-print choices change the verdict and the preview.
    const auto changed = static_cast<order::Field>(field);
    if (changed == order::Field::Format || changed == order::Field::Param) {
        UpdateForm(true);
    }
}

void TForm2::saveCount() {
    order::OrderTable& table = services_.Data;
    if (table.rowCount() == 0 || !countChanged_ || JvDBSpinEdit1->value() < 1 ||
        table.current().count == JvDBSpinEdit1->value()) {
        return;
    }
    table.edit();
    table.setField(order::Field::Count, JvDBSpinEdit1->value());
    table.post();
}

void TForm2::saveAndClose() {
    accept();
    saveCount();
    order::OrderTable& table = services_.Data;
    if (table.rowCount() > 0) {
        table.edit();
        table.post();
    }
}

std::optional<TForm2::WindowKey> TForm2::windowKeyOf(const QKeyEvent* key) const {
    // The keypad's 9 and 3 page with Num Lock on (off, they come as PgUp, PgDn).
    const bool keypad = (key->modifiers() & Qt::KeypadModifier) != 0;
    switch (key->key()) {
        case Qt::Key_PageUp:
            return WindowKey{commands_.actPrev, true};
        case Qt::Key_PageDown:
            return WindowKey{commands_.actNext, true};
        case Qt::Key_9:
            return keypad ? std::optional(WindowKey{commands_.actPrev, true}) : std::nullopt;
        case Qt::Key_3:
            return keypad ? std::optional(WindowKey{commands_.actNext, true}) : std::nullopt;
        case Qt::Key_Home:
            return WindowKey{actFirst, false};  // off: Home does nothing here
        case Qt::Key_End:
            return WindowKey{commands_.actLast, true};
        case Qt::Key_Delete:
            return WindowKey{commands_.actDel, false};
        default:
            return std::nullopt;
    }
}

bool TForm2::windowKey(QKeyEvent* key) {
    const std::optional<WindowKey> found = windowKeyOf(key);
    if (!found) {
        return false;
    }
    if (found->savesCount) {
        saveCount();
    }
    run(found->command);
    return true;
}

bool TForm2::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::Show:
            // The preview takes the focus, not the list or counter that had it last
            // time: an arrow key must not change the row unnoticed.
            // The first of the three refreshing events: the viewer opens.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    Image2->setFocus(Qt::OtherFocusReason);
                    UpdateForm(false);
                },
                Qt::QueuedConnection);
            break;
        case QEvent::KeyPress:
            if (windowKey(static_cast<QKeyEvent*>(event))) {
                return true;
            }
            break;
        default:
            break;
    }
    return QDialog::event(event);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress) {
            if (windowKey(key)) {
                return true;
            }
        } else if (windowKeyOf(key)) {
            // The window takes these keys, not the list or the counter that has the focus.
            event->accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && place::inDragStrip(at.x(), at.y()) &&
        windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
        return;
    }
    QDialog::mousePressEvent(event);
}
