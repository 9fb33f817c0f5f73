#pragma once

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <functional>
#include <optional>

#include "formats/formatsrecord.h"
#include "images/preview.h"
#include "images/previewahead.h"

class QAction;
class QComboBox;
class QLabel;
class QSpinBox;

namespace order {
class OrderTable;
}
namespace platform {
class Dialogs;
}

// What the viewer works on: the order table's current row, the catalogue and the
// Format pick list (the catalogue's names in its order), and the dialogs seam.
struct ViewerServices {
    order::OrderTable& Data;
    const formats::TFormats& Formats;
    const QStringList& FormatPickList;
    platform::Dialogs& dialogs;
};

// The main window's commands the viewer runs, and its help window.
struct ViewerCommands {
    QAction* actPrev = nullptr;
    QAction* actNext = nullptr;
    QAction* actFirst = nullptr;
    QAction* actLast = nullptr;
    QAction* actDel = nullptr;
    std::function<void()> showHelp;
};

// The image viewer: the preview of the current order row's print, its options as lists
// and a counter that write straight into the row, a red warning when the photo is too
// coarse for its format, moving through the order, deleting, turning the preview.
// It keeps no data of its own but the photo's cache. Created once at start-up and shown
// modally; lives until the program ends. User-interface thread only.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    // picture: the window's artwork, its buttons drawn where viewergeometry.h puts the
    // image buttons.
    TForm2(const ViewerServices& services, const QImage& picture, QWidget* parent = nullptr);
    ~TForm2() override;

    void setCommands(const ViewerCommands& commands);
    // Shows the viewer modally on the current row, centred on the opener.
    void showOver(QWidget* opener);

    // Shows the current row: upd false opens the photo anew, true rebuilds the preview
    // from the cache.
    void UpdateForm(bool upd);
    // A photo's cache and preview made anew; the viewer closes when the file is gone.
    void OpenBitmap(const QString& FileName, const formats::TFormatsRecord& Format,
                    const QString& How);
    // The preview rebuilt from the cache (opened first when there is none).
    void UpdateBitmap(const QString& FileName, const formats::TFormatsRecord& Format,
                      const QString& How);
    void actRotateLeftExecute();
    void actRotateRightExecute();

    // The picture the preview box shows now (460 × 304, or 304 × 460 when turned).
    const images::Picture24& previewBitmap() const { return shown_; }
    // The cache's proportion (1600 over the turned photo's width).
    float previewProportion() const { return CacheBitmap.proportion; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    class PreviewBox;
    // Writes a list's choice into the current row and saves it.
    void writeChoice(int field, const QString& value);
    // The counter's value into the row, when the customer changed it and it differs.
    void saveCount();
    void saveAndClose();
    void turn(bool left);
    // The format and how-to-print choice the lists hold; none when either has none.
    const formats::TFormatsRecord* selectedFormat() const;
    // The window's own keys, taken before the focused control's, in one table: the command a key
    // runs, and whether the count typed so far is saved first; nothing for other keys.
    struct WindowKey {
        QAction* command = nullptr;
        bool savesCount = false;
    };
    std::optional<WindowKey> windowKeyOf(const QKeyEvent* key) const;
    // Runs a window key's command; false for other keys.
    bool windowKey(QKeyEvent* key);
    void run(QAction* command);

    ViewerServices services_;
    ViewerCommands commands_;
    images::PreviewCache CacheBitmap;
    // The neighbours' caches, decoded while a photo is shown.
    images::PreviewAhead ahead_;
    images::Picture24 shown_;
    PreviewBox* Image2 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* FileName = nullptr;
    QSpinBox* JvDBSpinEdit1 = nullptr;
    QComboBox* DBComboBox1 = nullptr;
    QComboBox* DBComboBox2 = nullptr;
    QComboBox* DBComboBox3 = nullptr;
    QAction* actFirst = nullptr;
    bool filling_ = false;  // the lists are being refilled: no writes
    // The customer changed the counter since the row was shown: only then is its value
    // written into the row.
    bool countChanged_ = false;
};
