#include "ui/ip_address_field.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include "ui_test_support.h"

namespace varnex {
namespace {

class IpAddressFieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        field.show();
        field.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&field, 2000));
        field.octetField(0)->setFocus();
    }
    std::string texts() const {
        QStringList parts;
        for (int i = 0; i < 4; ++i) {
            parts << field.octetField(i)->text();
        }
        return parts.join('|').toStdString();
    }
    IpAddressField field;
};

TEST_F(IpAddressFieldTest, FullStopsAndThirdDigitsMoveOn) {
    TypeIntoFocus("10.2003.4");  // the third digit of 200 moves on by itself
    EXPECT_EQ(texts(), "10|200|3|4");
    EXPECT_TRUE(field.isComplete());
    EXPECT_EQ(field.address(), 0x0AC80304u);
}

TEST_F(IpAddressFieldTest, RefusesLettersAndClampsToLargestNumber) {
    TypeIntoFocus("a9x99");
    EXPECT_EQ(field.octetField(0)->text(), "255");
    EXPECT_FALSE(field.isComplete());
    EXPECT_FALSE(field.isBlank());
}

TEST_F(IpAddressFieldTest, FullStopInEmptyFieldStaysAndIsNotTyped) {
    QTest::keyClick(field.octetField(0), Qt::Key_Period);
    EXPECT_EQ(QApplication::focusWidget(), field.octetField(0));
    EXPECT_TRUE(field.isBlank());
}

TEST_F(IpAddressFieldTest, BackspaceInEmptyFieldMovesBack) {
    TypeIntoFocus("12.3");
    ASSERT_EQ(QApplication::focusWidget(), field.octetField(1));
    TypeIntoFocus("\b\b\b");  // the 3, then back to the first number, then its 2
    EXPECT_EQ(texts(), "1|||");
}

TEST_F(IpAddressFieldTest, SetsReadsClearsAndDisablesEveryNumber) {
    field.setAddress(0x0A0000FFu);
    EXPECT_EQ(texts(), "10|0|0|255");
    EXPECT_TRUE(field.isComplete());
    EXPECT_EQ(field.address(), 0x0A0000FFu);
    field.clear();
    EXPECT_TRUE(field.isBlank());
    EXPECT_EQ(field.address(), 0u);

    field.setEnabled(false);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(field.octetField(i)->isEnabled()) << i;
    }
}

}  // namespace
}  // namespace varnex
