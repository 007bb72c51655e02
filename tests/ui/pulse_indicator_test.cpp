// The indicator keeps a drawn face per colour: what must never happen is a
// stale face, a colour shown late, or a face drawn for an old size or palette.
#include "ui/pulse_indicator.h"

#include <gtest/gtest.h>

#include <QImage>

namespace varnex {
namespace {

int PixelsOf(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST(PulseIndicator, ShowsEachColourAtOnceAndFollowsSizeAndPalette) {
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
        EXPECT_GT(PixelsOf(face, colour.rgb()), 20);  // the underline alone is a full row
        EXPECT_EQ(PixelsOf(face, previous.rgb()), 0);
        previous = colour;
    }

    // A larger widget gets a face of its own size, on the new background.
    QPalette palette = indicator.palette();
    palette.setColor(QPalette::Window, QColor(1, 2, 3));
    indicator.setPalette(palette);
    indicator.resize(indicator.sizeHint() + QSize(40, 10));
    const QImage face = indicator.grab().toImage();
    EXPECT_EQ(face.pixel(face.width() - 1, face.height() - 1), QColor(1, 2, 3).rgb());
    EXPECT_GT(PixelsOf(face, QColor(Qt::black).rgb()), 20);
}

}  // namespace
}  // namespace varnex
