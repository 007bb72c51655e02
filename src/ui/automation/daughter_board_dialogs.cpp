#include "ui/automation/daughter_board_dialogs.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "session/session.h"
#include "ui/widgets/dialog_context.h"
#include "ui/automation/trigger_dialog_look.h"

// Resources of a static library are registered by hand: nothing else
// references their object file, so the linker would leave it out.
static void RegisterBoardImages() {
    Q_INIT_RESOURCE(daughter_board_images);
}

namespace varnex {
namespace {

constexpr int kBoardColumns = 3;
constexpr int kPanelColumns = 4;

QString Text(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QFont ElementLabelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    font.setUnderline(true);
    return font;
}

}  // namespace

QPixmap BoardElementPicture(int element, bool atRest) {
    RegisterBoardImages();
    if (element == kBoardOutputElement) {
        return QPixmap(atRest ? QStringLiteral(":/varnex/boards/images/board_switch_off.png")
                              : QStringLiteral(":/varnex/boards/images/board_switch_on.png"));
    }
    return QPixmap(atRest ? QStringLiteral(":/varnex/boards/images/board_relay_nc.png")
                          : QStringLiteral(":/varnex/boards/images/board_relay_no.png"));
}

BoardPanelDialog::BoardPanelDialog(DialogContext& context, BoardPanelMemory& memory, int board,
                                   QWidget* parent)
    : QDialog(parent), context_(context), memory_(memory), board_(board) {
    setWindowTitle(QString::fromStdString(BoardPanelTitle(board)));
    auto* grid = new QGridLayout(this);
    for (int element = 1; element <= int(kBoardElementCount); ++element) {
        grid->addWidget(MakeElement(element), (element - 1) / kPanelColumns,
                        (element - 1) % kPanelColumns);
    }
    Show(OpeningBoardPanel());
    connect(&refresh_, &QTimer::timeout, this, &BoardPanelDialog::Refresh);
    refresh_.start(kBoardPanelRefreshMs);
}

QWidget* BoardPanelDialog::MakeElement(int element) {
    const bool output = element == kBoardOutputElement;
    ElementWidgets& part = parts_[std::size_t(element - 1)];
    auto* box = new QWidget(this);
    const QString tag = QString::number(element);

    auto* label = ColouredLabel(QString::fromStdString(ElementLabel(element)), kLookBlue, box);
    label->setFont(ElementLabelFont());

    part.picture = new QLabel(box);
    part.picture->setObjectName("picture" + tag);
    part.rest = PlainButton(Text(RestCaption(element)), "rest" + tag, box);
    part.work = PlainButton(Text(WorkCaption(element)), "work" + tag, box);
    auto* buttons = new QVBoxLayout;
    // The output offers "ON" first, a relay "NC" first.
    buttons->addWidget(output ? part.work : part.rest);
    buttons->addWidget(output ? part.rest : part.work);
    auto* stateRow = new QHBoxLayout;
    if (output) {
        auto* marks = new QVBoxLayout;
        marks->addWidget(ColouredLabel(QStringLiteral("ON"), kLookGreen, box));
        marks->addStretch();
        marks->addWidget(ColouredLabel(QStringLiteral("OFF"), kLookRed, box));
        stateRow->addLayout(marks);
    }
    stateRow->addWidget(part.picture);
    stateRow->addLayout(buttons);
    stateRow->addStretch();

    auto* toggleGroup = new QGroupBox(box);
    part.toggle = PlainButton(Text(kToggleCaption), "toggle" + tag, toggleGroup);
    part.delay = new QSlider(Qt::Horizontal, toggleGroup);
    part.delay->setObjectName("delay" + tag);
    part.delay->setRange(kBoardToggleMinSeconds, kBoardToggleMaxSeconds);
    part.delay->setTickInterval(kBoardToggleTickInterval);
    part.delay->setTickPosition(QSlider::TicksBelow);
    part.delay->setValue(kBoardToggleMinSeconds);
    auto* toggleRow = new QHBoxLayout;
    toggleRow->addWidget(part.toggle);
    toggleRow->addWidget(new QLabel(Text(kToggleDelayCaption), toggleGroup));
    auto* toggleLayout = new QVBoxLayout(toggleGroup);
    toggleLayout->addLayout(toggleRow);
    toggleLayout->addWidget(part.delay);

    auto* layout = new QVBoxLayout(box);
    layout->addWidget(label);
    layout->addLayout(stateRow);
    layout->addWidget(toggleGroup);
    layout->addStretch();

    connect(part.rest, &QPushButton::clicked, this,
            [this, element] { Press(element, BoardAction::Rest); });
    connect(part.work, &QPushButton::clicked, this,
            [this, element] { Press(element, BoardAction::Work); });
    connect(part.toggle, &QPushButton::clicked, this,
            [this, element] { Press(element, BoardAction::Toggle); });
    return box;
}

void BoardPanelDialog::done(int result) {
    refresh_.stop();
    QDialog::done(result);
}

void BoardPanelDialog::Press(int element, BoardAction action) {
    PressBoardButton(context_.session, memory_, board_, element, action,
                     Part(element).delay->value());
}

void BoardPanelDialog::Refresh() {
    FollowBoardAnswers(context_.session, memory_);
    Show(RefreshBoardPanel(context_.session.snapshot(), board_, memory_));
}

void BoardPanelDialog::Show(const BoardPanelView& view) {
    // The refresh runs every few milliseconds; only a change is drawn.
    for (std::size_t k = 0; k < kBoardElementCount; ++k) {
        const BoardElementView& element = view[k];
        if (anyShown_ && element == shown_[k]) {
            continue;
        }
        const ElementWidgets& part = parts_[k];
        part.picture->setPixmap(BoardElementPicture(int(k + 1), element.atRest));
        part.rest->setEnabled(element.restEnabled);
        part.work->setEnabled(element.workEnabled);
        part.toggle->setText(QString::fromStdString(element.toggleCaption));
    }
    shown_ = view;
    anyShown_ = true;
}

BoardChooserDialog::BoardChooserDialog(DialogContext& context, BoardPanelMemory& memory,
                                       QWidget* parent)
    : QDialog(parent),
      context_(context),
      memory_(memory),
      noBoards_(ColouredLabel(Text(kNoBoardsText), kLookRed, this)) {
    setWindowTitle(Text(kBoardChooserTitle));
    RegisterBoardImages();
    const QIcon icon(QStringLiteral(":/varnex/boards/images/board_button.png"));
    const BoardChooserView view = ChooseBoards(context.session.snapshot());

    auto* grid = new QGridLayout;
    for (int board = 1; board <= int(wire::kBoardCount); ++board) {
        auto* button = new QToolButton(this);
        button->setObjectName("board" + QString::number(board));
        button->setIcon(icon);
        button->setIconSize(QSize(32, 32));
        button->setEnabled(view.boardEnabled[std::size_t(board - 1)]);
        connect(button, &QToolButton::clicked, this, [this, board] { OpenPanel(board); });
        boards_[std::size_t(board - 1)] = button;
        const int row = 2 * ((board - 1) / kBoardColumns);
        const int column = (board - 1) % kBoardColumns;
        grid->addWidget(new QLabel(QString::fromStdString(BoardButtonLabel(board)), this), row,
                        column, Qt::AlignHCenter);
        grid->addWidget(button, row + 1, column, Qt::AlignHCenter);
    }

    noBoards_->setObjectName("noBoards");
    noBoards_->setAlignment(Qt::AlignCenter);
    noBoards_->setVisible(view.noBoardsShown);
    auto* cancel = PlainButton(QStringLiteral("Cancel"), "cancelButton", this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(noBoards_);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
}

void BoardChooserDialog::OpenPanel(int board) {
    BoardPanelDialog panel(context_, memory_, board, this);
    panel.exec();
    accept();
}

void OpenDaughterBoardDialog(QWidget* parent, DialogContext& context) {
    static BoardPanelMemory memory;
    BoardChooserDialog chooser(context, memory, parent);
    chooser.exec();
}

}  // namespace varnex
