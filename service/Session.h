#pragma once

#include <QDialog>
#include <QImage>

#include "service/sessions.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;

// Where the session window opens: at its place on the screen when the platform lets a
// program place its windows and the window fits in the available area there,
// otherwise centred on the opener.
QPoint sessionWindowPlace(bool placeable, const QRect& available, const QRect& opener);

// The window of old upload sessions: the stored sessions by their stamps, in the
// store's order; a double click or the page button opens a session's page (the main
// window's command actSessSelect), the popup menu deletes one or all. It keeps nothing
// of its own: every change goes to the store and the list is read anew.
// Created once at start-up and shown modally; lives until the program ends.
// User-interface thread only.
class TformSession : public QDialog {
    Q_OBJECT

public:
    // picture: the window's artwork, with its buttons drawn where sessiongeometry.h
    // puts the hot areas.
    TformSession(const service::SessionServices& services, const QImage& picture,
                 QWidget* parent = nullptr);

    // The main window's commands behind the page button, the double click and the
    // close button.
    void setCommands(QAction* select, QAction* close);

    // Shows the window modally: at its place on the screen where the platform lets a
    // program place windows and the window fits there, otherwise centred on the opener.
    void showOver(QWidget* opener);

    // Rebuilds the list from the store (see service::listSessions); listUpdated tells
    // whether it has rows.
    void UpdateList();
    // The key stored under a stamp (see service::GetOldSession).
    QString GetOldSession(const QString& date);
    // The stamp of the selected row; empty without a selection.
    QString selectedStamp() const;

    // Delete the selected session (nothing without a selection), or all of them.
    void N1Click();
    void N2Click();

Q_SIGNALS:
    void listUpdated(bool hasRows);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void ListBox1DblClick();
    void JvTransparentButton4Click();
    void JvTransparentButton1Click();

    service::SessionServices services_;
    QLabel* Label1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* actSessSelect_ = nullptr;
    QAction* actSessClose_ = nullptr;
};
