#pragma once

#include <QDialog>

class QLabel;

// The information window: what the program is for, the red-row warning and the hot
// keys. Created once at start-up and shown modally over its opener; Esc or the close
// button ends it.
class TfrmHelp : public QDialog {
    Q_OBJECT

public:
    explicit TfrmHelp(const QString& serviceWebAddress, QWidget* parent = nullptr);

    // Shows the window modally, centred on the opener.
    void showOver(QWidget* opener);

    static QString noteText(const QString& serviceWebAddress);
    static QString keysText();

private:
    QLabel* JvLinkLabel1 = nullptr;
    QLabel* JvLinkLabel2 = nullptr;
};
