#include "ui/about/about_box.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include "about/about_assets.h"

namespace varnex {

namespace {

constexpr int kFrameMs = 20;
// 262 x 182 dialog units at the usual dialog font.
constexpr QSize kBoxSize(393, 296);

Rect ToRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

AboutState& ProgramAboutState() {
    static AboutState state;
    return state;
}

AboutBox::AboutBox(QWidget* parent, AboutState& state) : QDialog(parent), state_(state) {
    setWindowTitle("About VNXv1");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kBoxSize);
    // Every pixel comes from the back buffer: no background to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setInterval(kFrameMs);
    connect(&timer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void AboutBox::Open() {
    pictures_ = OpenAbout(renderer_, state_);
    timer_.start();
}

void AboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!timer_.isActive()) {
        Open();
    }
}

void AboutBox::done(int result) {
    timer_.stop();
    pictures_.reset();
    renderer_.Stop();
    QDialog::done(result);
}

void AboutBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!pictures_) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    FrameWindow window{[this] { return ToRect(visibleRegion().boundingRect()); },
                       [&painter](const Surface& picture, const Rect& area) {
                           // A view of the back buffer's pixels, not a copy.
                           const QImage image(
                               reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                               picture.height,
                               static_cast<qsizetype>(picture.width) * sizeof(uint32_t),
                               QImage::Format_RGB32);
                           const QRect part(area.x, area.y, area.width, area.height);
                           painter.drawImage(part.topLeft(), image, part);
                       }};
    DrawAboutFrame(renderer_, *pictures_, state_, BuildText(), window);
}

}  // namespace varnex
