#include "ui/button_images.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

namespace varnex {
namespace {

// An image that is there and not blank: some pixel is not transparent.
bool Drawn(const QIcon& icon) {
    const QImage image = icon.pixmap(QSize(32, 32)).toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                return true;
            }
        }
    }
    return false;
}

TEST(ButtonImages, EveryImageIsLinkedIn) {
    for (const ButtonImage image :
         {ButtonImage::Temperature, ButtonImage::VoltmeterOptions, ButtonImage::IoPin,
          ButtonImage::DaughterBoard, ButtonImage::Program}) {
        EXPECT_TRUE(Drawn(ButtonIcon(image))) << static_cast<int>(image);
    }
}

TEST(ButtonImages, TimerAnimationHasFourDifferentFrames) {
    for (int frame = 0; frame < kTimerButtonFrames; ++frame) {
        ASSERT_TRUE(Drawn(TimerButtonIcon(frame))) << frame;
        const QImage image = TimerButtonIcon(frame).pixmap(QSize(24, 24)).toImage();
        const QImage next =
            TimerButtonIcon((frame + 1) % kTimerButtonFrames).pixmap(QSize(24, 24)).toImage();
        EXPECT_NE(image, next) << frame;
    }
}

}  // namespace
}  // namespace varnex
