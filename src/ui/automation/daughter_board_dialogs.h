// "Relay Daughter Board Control": the chooser of a detected board, and the
// panel that switches one board's six relays and its 150 mA output.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

#include "automation/daughter_boards.h"

class QLabel;
class QPushButton;
class QSlider;
class QToolButton;

namespace varnex {

struct DialogContext;

// The pictures of an element's state, from the dialogs' resources.
QPixmap BoardElementPicture(int element, bool atRest);

class BoardPanelDialog : public QDialog {
    Q_OBJECT

  public:
    // Shows every element at rest until the first refresh, then follows
    // the last status record every few milliseconds.
    BoardPanelDialog(DialogContext& context, BoardPanelMemory& memory, int board, QWidget* parent);

    // Element 1..6 are the relays, 7 the output.
    QPushButton* restButton(int element) const { return Part(element).rest; }
    QPushButton* workButton(int element) const { return Part(element).work; }
    QPushButton* toggleButton(int element) const { return Part(element).toggle; }
    QSlider* delaySlider(int element) const { return Part(element).delay; }
    QLabel* picture(int element) const { return Part(element).picture; }

    void done(int result) override;

  private:
    struct ElementWidgets {
        QPushButton* rest = nullptr;
        QPushButton* work = nullptr;
        QPushButton* toggle = nullptr;
        QSlider* delay = nullptr;
        QLabel* picture = nullptr;
    };

    QWidget* MakeElement(int element);
    const ElementWidgets& Part(int element) const { return parts_[std::size_t(element - 1)]; }
    void Press(int element, BoardAction action);
    void Refresh();
    void Show(const BoardPanelView& view);

    DialogContext& context_;
    BoardPanelMemory& memory_;
    int board_;
    std::array<ElementWidgets, kBoardElementCount> parts_{};
    BoardPanelView shown_{};
    bool anyShown_ = false;
    QTimer refresh_;
};

class BoardChooserDialog : public QDialog {
    Q_OBJECT

  public:
    BoardChooserDialog(DialogContext& context, BoardPanelMemory& memory, QWidget* parent);

    QToolButton* boardButton(int board) const { return boards_[std::size_t(board - 1)]; }
    QLabel* noBoardsLabel() const { return noBoards_; }

  private:
    // Runs the panel for `board`; the chooser closes with it.
    void OpenPanel(int board);

    DialogContext& context_;
    BoardPanelMemory& memory_;
    std::array<QToolButton*, wire::kBoardCount> boards_{};
    QLabel* noBoards_;
};

// The main window's "RDB" button. The last-pressed element is remembered
// for the program's run.
void OpenDaughterBoardDialog(QWidget* parent, DialogContext& context);

}  // namespace varnex
