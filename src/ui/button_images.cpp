#include "ui/button_images.h"

#include <QString>
#include <array>

namespace varnex {

QIcon ButtonIcon(ButtonImage image) {
    switch (image) {
        case ButtonImage::Temperature:
            return QIcon(QStringLiteral(":/varnex/images/temperature.png"));
        case ButtonImage::VoltmeterOptions:
            return QIcon(QStringLiteral(":/varnex/images/voltmeter_options.png"));
        case ButtonImage::IoPin:
            return QIcon(QStringLiteral(":/varnex/images/io_pin.png"));
        case ButtonImage::DaughterBoard:
            return QIcon(QStringLiteral(":/varnex/images/daughter_board.png"));
        case ButtonImage::Program:
            return QIcon(QStringLiteral(":/varnex/images/varnex.png"));
    }
    return {};
}

QIcon TimerButtonIcon(int frame) {
    static constexpr std::array<const char*, kTimerButtonFrames> paths = {
        ":/varnex/images/timer_1.png", ":/varnex/images/timer_2.png", ":/varnex/images/timer_3.png",
        ":/varnex/images/timer_4.png"};
    return QIcon(QString::fromLatin1(paths[static_cast<std::size_t>(frame) % paths.size()]));
}

}  // namespace varnex
