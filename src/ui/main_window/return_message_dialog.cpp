#include "ui/main_window/return_message_dialog.h"

#include <QVBoxLayout>

#include "ui/widgets/widget_parts.h"

namespace varnex {

ReturnMessageDialog::ReturnMessageDialog(const QString& text, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      label_(new QLabel(text, this)) {
    setWindowTitle(QStringLiteral("VNXv1 RETURN MESSAGE"));
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("ReturnMessageDialog"));
    label_->setObjectName(QStringLiteral("IDC_STC"));
    label_->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Arial"), 28);
    font.setStyleHint(QFont::SansSerif);
    label_->setFont(font);
    SetColour(label_, QPalette::WindowText, QColor(255, 0, 0));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    setMinimumSize(400, 80);

    lifetime_.setSingleShot(true);
    lifetime_.setInterval(kLifetimeMs);
    connect(&lifetime_, &QTimer::timeout, this, [this] {
        expired_ = true;
        close();
    });
    lifetime_.start();
}

void ReturnMessageDialog::restart(const QString& text) {
    label_->setText(text);
    lifetime_.start();
}

// Escape and every close request end here; only the second passing lets them through.
void ReturnMessageDialog::reject() {
    if (expired_) {
        QDialog::reject();
    }
}

ReturnMessageDialog* ShowReturnMessage(QWidget* owner, const QString& text) {
    QList<ReturnMessageDialog*> open;
    for (ReturnMessageDialog* popup :
         owner->findChildren<ReturnMessageDialog*>(Qt::FindDirectChildrenOnly)) {
        if (popup->isVisible()) {
            open.append(popup);
        }
    }
    if (open.size() >= kMaxOpenReturnMessages) {
        open.last()->restart(text);
        return open.last();
    }
    auto* popup = new ReturnMessageDialog(text, owner);
    popup->show();
    return popup;
}

}  // namespace varnex
