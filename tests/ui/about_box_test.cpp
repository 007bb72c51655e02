#include "ui/about_box.h"

#include <gtest/gtest.h>

#include <QImage>

#include "ui_test_support.h"

namespace varnex {
namespace {

bool AnyLit(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0) {
                return true;
            }
        }
    }
    return false;
}

TEST(AboutBox, ASmallToolWindowShowsTheTextsAndTheLogoAndStopsWhenClosed) {
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
    EXPECT_TRUE(AnyLit(image, QRect(80, 20, 90, 16)));    // "  Varnex v1"
    EXPECT_TRUE(AnyLit(image, QRect(40, 40, 110, 16)));   // "Client Version:"
    EXPECT_TRUE(AnyLit(image, QRect(280, 40, 60, 16)));   // the build text
    EXPECT_TRUE(AnyLit(image, QRect(190, 150, 20, 20)));  // the logo's middle

    box.close();
    EXPECT_FALSE(box.Animating());
    EXPECT_FALSE(box.isVisible());
}

TEST(AboutBox, TicksDrawFramesOnlyWhileShownAndReopeningRestartsTheCredits) {
    AboutState state;
    AboutBox box(nullptr, state);
    box.show();
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
}

}  // namespace
}  // namespace varnex
