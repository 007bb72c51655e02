// What is drawn: the about box, the button images, the readout colours and
// the pulse indicator.
#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "ui/about/about_box.h"
#include "ui/main_window/button_images.h"
#include "ui/main_window/display_colours.h"
#include "ui/main_window/pulse_indicator.h"
#include "ui/ui_test_support.h"

namespace varnex {
namespace {

int CountPixels(const QImage& image, const std::function<bool(QRgb)>& counted, QRect area = {}) {
    area = area.isNull() ? image.rect() : area;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += counted(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

TEST(AboutBox, AToolWindowThatAnimatesOnlyWhileShownAndRestartsTheCreditsWhenReopened) {
    AboutState state;
    AboutBox box(nullptr, state);
    EXPECT_EQ(box.windowTitle(), "About VNXv1");
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(box.Animating());
    box.show();
    ASSERT_TRUE(PumpUntil([&] { return box.isVisible(); }, 2000));
    EXPECT_TRUE(box.Animating());

    const QImage image = box.grab().toImage();
    Shoot(box, "about_box");
    ASSERT_EQ(image.size(), QSize(393, 296));
    // "  Varnex v1", "Client Version:", the build text, the logo's middle.
    for (const QRect& area : {QRect(80, 20, 90, 16), QRect(40, 40, 110, 16), QRect(280, 40, 60, 16),
                              QRect(190, 150, 20, 20)}) {
        EXPECT_GT(CountPixels(
                      image, [](QRgb p) { return (p & 0xFFFFFF) != 0; }, area),
                  0)
            << area.x();
    }

    ASSERT_TRUE(
        PumpUntil([&] { return state.particlePhase >= 30 && state.creditsX <= 380; }, 3000));
    box.hide();
    const uint32_t phase = state.particlePhase;
    QTest::qWait(100);
    EXPECT_EQ(state.particlePhase, phase);
    box.reject();
    EXPECT_FALSE(box.Animating());

    box.show();
    box.grab();
    EXPECT_GE(state.creditsX, 390);
    EXPECT_NE(state.particlePhase, 10u);  // the particles go on where they were
    box.close();
    EXPECT_FALSE(box.Animating());
    EXPECT_FALSE(box.isVisible());
}

TEST(ButtonImages, EveryImageIsLinkedInAndTheTimerHasFourDifferentFrames) {
    const auto picture = [](const QIcon& icon) { return icon.pixmap(QSize(32, 32)).toImage(); };
    const auto drawn = [](const QImage& image) {
        return CountPixels(image, [](QRgb p) { return qAlpha(p) > 0; }) > 0;
    };
    for (const ButtonImage image :
         {ButtonImage::Temperature, ButtonImage::VoltmeterOptions, ButtonImage::IoPin,
          ButtonImage::DaughterBoard, ButtonImage::Program}) {
        EXPECT_TRUE(drawn(picture(ButtonIcon(image)))) << static_cast<int>(image);
    }
    for (int frame = 0; frame < kTimerButtonFrames; ++frame) {
        const QImage image = picture(TimerButtonIcon(frame));
        EXPECT_TRUE(drawn(image)) << frame;
        EXPECT_NE(image, picture(TimerButtonIcon((frame + 1) % kTimerButtonFrames))) << frame;
    }
}

// Colours as "#AARRGGBB", so that a table of them compares in one assertion.
TEST(DisplayColours, PinFieldsRelayStatesAndThePulse) {
    const auto hex = [](const QColor& colour) { return colour.name(QColor::HexArgb); };
    QStringList pins;
    for (const char* text : {"0", "1", " 0", ""}) {
        const FieldColours shown = PinFieldColours(text);
        pins << hex(shown.text) + " on " + hex(shown.background);
    }
    EXPECT_EQ(pins, (QStringList{"#ff000000 on #ffffffff", "#ffffffff on #ffff0000",
                                 "#ffffffff on #ffff0000", "#ffffffff on #ffff0000"}));
    // Only the first ten characters are read: eleven blanks then ON shows nothing.
    QStringList relays;
    for (const char* text :
         {"==========", "ON", "OFF", "  ON  ", "OF", "O", "on", "           ON"}) {
        const std::optional<QColor> colour = RelayStateColour(text);
        relays << (colour ? hex(*colour) : "none");
    }
    EXPECT_EQ(relays, (QStringList{"#ff000000", "#ff00aa00", "#ffff0000", "#ff00aa00", "#ffff0000",
                                   "none", "none", "none"}));
    EXPECT_EQ(QStringList({hex(PulseQColour(0)), hex(PulseQColour(1)), hex(PulseQColour(10))}),
              QStringList({"#ff000000", "#ff00dd00", "#ff004400"}));
}

// The indicator keeps a drawn face per colour: what must never happen is a
// stale face, a colour shown late, or a face drawn for an old size or palette.
TEST(PulseIndicator, ShowsEachColourAtOnceAndFollowsSizeAndPalette) {
    const auto pixelsOf = [](const QImage& image, const QColor& colour) {
        return CountPixels(image, [&](QRgb p) { return p == colour.rgb(); });
    };
    PulseIndicator indicator(QStringLiteral("Aquire Data"), nullptr);
    QFont font = indicator.font();
    font.setPixelSize(18);
    font.setUnderline(true);
    indicator.setFont(font);
    indicator.resize(indicator.sizeHint());
    indicator.show();

    const QColor steps[] = {QColor(0, 238, 0), QColor(0, 102, 0), QColor(0, 238, 0), Qt::black};
    QColor previous = Qt::white;
    for (const QColor& colour : steps) {
        SCOPED_TRACE(colour.name().toStdString());
        indicator.SetColour(colour);
        const QImage face = indicator.grab().toImage();
        EXPECT_GT(pixelsOf(face, colour), 20);  // the underline alone is a full row
        EXPECT_EQ(pixelsOf(face, previous), 0);
        previous = colour;
    }

    // A larger widget gets a face of its own size, on the new background.
    QPalette palette = indicator.palette();
    palette.setColor(QPalette::Window, QColor(1, 2, 3));
    indicator.setPalette(palette);
    indicator.resize(indicator.sizeHint() + QSize(40, 10));
    const QImage face = indicator.grab().toImage();
    EXPECT_EQ(face.pixel(face.width() - 1, face.height() - 1), QColor(1, 2, 3).rgb());
    EXPECT_GT(pixelsOf(face, Qt::black), 20);
}

}  // namespace
}  // namespace varnex
