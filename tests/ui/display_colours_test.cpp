#include "ui/display_colours.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(PinFieldColours, ZeroIsBlackOnWhiteAnythingElseWhiteOnRed) {
    const struct {
        const char* text;
        QColor foreground;
        QColor background;
    } cases[] = {
        {"0", Qt::black, Qt::white},
        {"1", Qt::white, QColor(255, 0, 0)},
        {" 0", Qt::white, QColor(255, 0, 0)},
        {"", Qt::white, QColor(255, 0, 0)},
    };
    for (const auto& c : cases) {
        const FieldColours colours = PinFieldColours(QString::fromLatin1(c.text));
        EXPECT_EQ(colours.text, c.foreground) << c.text;
        EXPECT_EQ(colours.background, c.background) << c.text;
    }
}

TEST(RelayStateColour, FollowsTheLeadingCharacters) {
    const struct {
        const char* text;
        std::optional<QColor> colour;
    } cases[] = {
        {"==========", QColor(Qt::black)},
        {"ON", QColor(0, 170, 0)},
        {"OFF", QColor(255, 0, 0)},
        {"  ON  ", QColor(0, 170, 0)},
        {"OF", QColor(255, 0, 0)},
        {"O", std::nullopt},
        {"on", std::nullopt},
        // Only the first ten characters are read: eleven blanks then ON shows nothing.
        {"           ON", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RelayStateColour(QString::fromLatin1(c.text)), c.colour) << '"' << c.text << '"';
    }
}

TEST(PulseColour, BlackAtRestThenFadingGreens) {
    EXPECT_EQ(PulseQColour(0), QColor(0, 0, 0));
    EXPECT_EQ(PulseQColour(1), QColor(0, 221, 0));
    EXPECT_EQ(PulseQColour(10), QColor(0, 68, 0));
}

}  // namespace
}  // namespace varnex
