// The About box: the program's own animated picture, drawn by the About
// renderer into its back buffer and shown 50 times a second.
#pragma once

#include <QDialog>
#include <QTimer>
#include <optional>

#include "about/about_frame.h"
#include "about/renderer.h"

namespace varnex {

// The scroll position and particle phase, kept for the whole run so that
// the particle field goes on from one opening to the next.
AboutState& ProgramAboutState();

class AboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit AboutBox(QWidget* parent, AboutState& state = ProgramAboutState());

    bool Animating() const { return timer_.isActive(); }

    // Stops the animation and releases the renderer, however the box closes.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void Open();

    AboutState& state_;
    Renderer renderer_;
    std::optional<AboutPictures> pictures_;
    QTimer timer_;
};

}  // namespace varnex
