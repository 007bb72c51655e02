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

TEST_F(IpAddressFieldTest, KeysMoveBetweenTheNumbersAsTyped) {
    const std::pair<const char*, const char*> cases[] = {
        {"10.2003.4", "10|200|3|4"},  // the third digit of 200 moves on by itself
        {"a9x99", "255|||"},          // letters refused, numbers clamped
        {".5", "5|||"},               // a full stop in an empty number stays
        {"12.3\b\b\b", "1|||"},       // the 3, then back to the first number, then its 2
    };
    for (const auto& [keys, shown] : cases) {
        SCOPED_TRACE(keys);
        field.clear();
        field.octetField(0)->setFocus();
        TypeIntoFocus(keys);
        EXPECT_EQ(texts(), shown);
    }
    EXPECT_FALSE(field.isComplete());
    EXPECT_FALSE(field.isBlank());
}

TEST_F(IpAddressFieldTest, SetsReadsClearsAndDisablesEveryNumber) {
    TypeIntoFocus("10.2003.4");
    EXPECT_EQ(field.address(), 0x0AC80304u);
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
