#include "ui/button_images.h"

#include <gtest/gtest.h>

#include <QImage>

namespace varnex {
namespace {

QImage Picture(const QIcon& icon) {
    return icon.pixmap(QSize(32, 32)).toImage();
}

// Some pixel is not transparent.
bool Drawn(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                return true;
            }
        }
    }
    return false;
}

TEST(ButtonImages, EveryImageIsLinkedInAndTheTimerHasFourDifferentFrames) {
    for (const ButtonImage image :
         {ButtonImage::Temperature, ButtonImage::VoltmeterOptions, ButtonImage::IoPin,
          ButtonImage::DaughterBoard, ButtonImage::Program}) {
        EXPECT_TRUE(Drawn(Picture(ButtonIcon(image)))) << static_cast<int>(image);
    }
    for (int frame = 0; frame < kTimerButtonFrames; ++frame) {
        const QImage image = Picture(TimerButtonIcon(frame));
        EXPECT_TRUE(Drawn(image)) << frame;
        EXPECT_NE(image, Picture(TimerButtonIcon((frame + 1) % kTimerButtonFrames))) << frame;
    }
}

}  // namespace
}  // namespace varnex
