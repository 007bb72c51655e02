#include "ui/settings/change_mac_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "session/session.h"
#include "settings/unit_identity.h"
#include "ui/widgets/dialog_buttons.h"
#include "ui/widgets/field_rules.h"
#include "ui/settings/settings_dialog_look.h"

namespace varnex {
namespace {

constexpr const char* kWarning =
    "Warning!! Entering a Mac Address that is already in use by another machine on the local "
    "system will have unperdictable results and may cause you to lose connectivity with the VNX "
    "device. Hint: Leave the first two groups of numbers at 00.00.";

constexpr int kWarningWidth = 320;

}  // namespace

ChangeMacDialog::ChangeMacDialog(QWidget* parent, DialogContext& context)
    : QDialog(parent),
      context_(context),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Change Mac Address"));
    setWindowIcon(SettingsDialogIcon(QStringLiteral("MAC"), QColor(0, 90, 170)));

    auto* fields = new QHBoxLayout;
    fields->addStretch(1);
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("WWW"));
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        auto* group =
            new QLineEdit(QString::fromStdString(context.session.snapshot().macTexts[i]), this);
        group->setAlignment(Qt::AlignCenter);
        group->setFixedWidth(width);
        FieldRules::Guard(group, {CharacterClass::Hexadecimal, kMacGroupChars}, context.hooks,
                          true);
        fields->addWidget(group);
        groups_[i] = group;
    }
    fields->addStretch(1);

    auto* buttons = ConfirmButtonRow(ok_, cancel_);
    ok_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(HeadingLabel(QStringLiteral("Enter a unique Mac Address"), this), 0,
                      Qt::AlignHCenter);
    layout->addLayout(fields);
    QLabel* warning = NoteLabel(QString::fromLatin1(kWarning), this);
    warning->setFixedWidth(kWarningWidth);
    warning->setFixedHeight(warning->heightForWidth(kWarningWidth));
    layout->addWidget(warning);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &ChangeMacDialog::Send);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void ChangeMacDialog::Send() {
    MacGroups groups;
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        groups[i] = groups_[i]->text().toStdString();
    }
    if (ChangeMacAddress(context_.session, context_.hooks, groups) == DialogOutcome::Closes) {
        accept();
    }
}

void OpenChangeMacDialog(QWidget* parent, DialogContext& context) {
    ChangeMacDialog dialog(parent, context);
    dialog.exec();
}

}  // namespace varnex
