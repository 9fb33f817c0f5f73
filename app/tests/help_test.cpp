#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QTextDocument>
#include <QTimer>
#include <QtTest/QTest>

#include "app/help.h"
#include "app/markup.h"

TEST(Markup, OnlyBrBreaksLinesAndTagsBecomeRichText) {
    EXPECT_EQ(markupToHtml("a\r\nb<br>c"), "ab<br>c");
    EXPECT_EQ(markupToHtml("<color=clRed><b>Внимание!</b></color> <i>F1</i>"),
              "<span style=\"color:#ff0000\"><b>Внимание!</b></span> <i>F1</i>");
    EXPECT_EQ(markupToHtml("1 < 2 & <x>"), "1 &lt; 2 &amp; &lt;x&gt;");
}

TEST(HelpWindow, TextsSizeAndRenderedLines) {
    TfrmHelp help(QStringLiteral("http://lab.test/"));
    EXPECT_EQ(help.size(), QSize(420, 416));
    EXPECT_TRUE(help.windowFlags() & Qt::FramelessWindowHint);
    auto* note = help.findChild<QLabel*>("JvLinkLabel2");
    auto* keys = help.findChild<QLabel*>("JvLinkLabel1");
    ASSERT_TRUE(note && keys);
    QTextDocument noteDoc;
    noteDoc.setHtml(note->text());
    EXPECT_EQ(noteDoc.toPlainText(),
              "Программа КОРВЕЛЛА Davuzoro 3.0 предназначена для упрощенной закачки и печати "
              "фотографий через сайт http://lab.test/.");
    QTextDocument keysDoc;
    keysDoc.setHtml(keys->text());
    const QStringList lines = keysDoc.toPlainText().split(u'\n');
    ASSERT_GE(lines.size(), 11);
    EXPECT_EQ(lines[0], "Внимание!");
    EXPECT_TRUE(lines[1].startsWith("Если строка одного из файлов"));
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "Горячие клавиши:");
    EXPECT_EQ(lines[4].trimmed(), "F1 - вызвать это окно");
    EXPECT_EQ(help.findChild<QAbstractButton*>("JvTransparentButton2")->toolTip(),
              "Закрыть окно подсказок");
}

TEST(HelpWindow, EscAndTheCloseButtonClose) {
    TfrmHelp help(QStringLiteral("http://lab.test/"));
    QTimer::singleShot(50, [&] { QTest::keyClick(&help, Qt::Key_Escape); });
    EXPECT_EQ(help.exec(), QDialog::Rejected);
    QTimer::singleShot(50,
                       [&] { help.findChild<QAbstractButton*>("JvTransparentButton2")->click(); });
    EXPECT_EQ(help.exec(), QDialog::Rejected);
    EXPECT_FALSE(help.isVisible());
}
