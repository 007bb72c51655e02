#include "ui/main_window/button_images.h"

#include <QString>
#include <array>

// The images live in a static library, whose resource object the linker
// would otherwise leave out.
static void LoadMainWindowImages() {
    Q_INIT_RESOURCE(main_window_images);
}

namespace varnex {

namespace {

QIcon ResourceIcon(const char* path) {
    static const bool loaded = (LoadMainWindowImages(), true);
    (void)loaded;
    return QIcon(QString::fromLatin1(path));
}

}  // namespace

QIcon ButtonIcon(ButtonImage image) {
    switch (image) {
        case ButtonImage::Temperature:
            return ResourceIcon(":/varnex/images/temperature.png");
        case ButtonImage::VoltmeterOptions:
            return ResourceIcon(":/varnex/images/voltmeter_options.png");
        case ButtonImage::IoPin:
            return ResourceIcon(":/varnex/images/io_pin.png");
        case ButtonImage::DaughterBoard:
            return ResourceIcon(":/varnex/images/daughter_board.png");
        case ButtonImage::Program:
            return ResourceIcon(":/varnex/images/varnex.png");
    }
    return {};
}

QIcon TimerButtonIcon(int frame) {
    static constexpr std::array<const char*, kTimerButtonFrames> paths = {
        ":/varnex/images/timer_1.png", ":/varnex/images/timer_2.png", ":/varnex/images/timer_3.png",
        ":/varnex/images/timer_4.png"};
    return ResourceIcon(paths[static_cast<std::size_t>(frame) % paths.size()]);
}

}  // namespace varnex
