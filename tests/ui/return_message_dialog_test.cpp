#include "ui/return_message_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include "ui_test_support.h"

namespace varnex {
namespace {

TEST(ReturnMessageDialog, ShowsTheTextRedInArialUnderItsCaption) {
    QWidget owner;
    ReturnMessageDialog* popup = ShowReturnMessage(&owner, QStringLiteral("Timer Data Received !"));
    EXPECT_TRUE(popup->isVisible());
    EXPECT_FALSE(popup->isModal());
    EXPECT_EQ(popup->windowTitle(), QStringLiteral("VNXv1 RETURN MESSAGE"));
    EXPECT_EQ(popup->text(), QStringLiteral("Timer Data Received !"));
    EXPECT_FALSE(popup->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(popup->windowFlags().testFlag(Qt::WindowSystemMenuHint));
    const auto* label = popup->findChild<QLabel*>(QStringLiteral("IDC_STC"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(label->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(label->font().pointSize(), 28);
    EXPECT_EQ(label->alignment(), Qt::AlignCenter);
}

TEST(ReturnMessageDialog, EnterAndEscapeDoNotCloseItButTheSecondDoes) {
    QWidget owner;
    QPointer<ReturnMessageDialog> popup =
        ShowReturnMessage(&owner, QStringLiteral("I/O Data Received !"));
    for (const int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(popup, &press);
    }
    popup->close();
    ASSERT_FALSE(popup.isNull());
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(PumpUntil([&] { return popup.isNull(); }, 3000));
}

TEST(ReturnMessageDialog, ABurstKeepsAtMostThreeOpenAndTheNewestShowsTheLatest) {
    QWidget owner;
    const QStringList texts = {"Relay Script Executed!", "Timer Data Received !",
                               "I/O Data Received !", "RDB Command Success !",
                               "SNMP Access Changed !"};
    for (const QString& text : texts) {
        ShowReturnMessage(&owner, text);
    }
    QList<ReturnMessageDialog*> open = owner.findChildren<ReturnMessageDialog*>();
    ASSERT_EQ(open.size(), kMaxOpenReturnMessages);
    EXPECT_EQ(open[0]->text(), texts[0]);
    EXPECT_EQ(open[1]->text(), texts[1]);
    EXPECT_EQ(open[2]->text(), texts[4]);
    EXPECT_TRUE(
        PumpUntil([&] { return owner.findChildren<ReturnMessageDialog*>().isEmpty(); }, 4000));
}

}  // namespace
}  // namespace varnex
