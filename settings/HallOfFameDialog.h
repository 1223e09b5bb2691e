// The hall of fame window: the eight places, entered from the end of a game, cleared on
// request, saved whenever the window closes.
#pragma once

#include "FameTable.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace kestrum {

// The services the windows need from the rest of the program.
struct HallOfFameServices {
    std::function<void(const QString& event)> sound;  // plays when sound effects are on
    std::function<QString(int line)> text;            // language texts
    std::function<bool(const QString& question)> confirm;
    std::function<void(const QString& message)> report;  // a save that failed
};

class HallOfFameDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the table from the profile file.
    HallOfFameDialog(FameState& state, ProfileFile& file, HallOfFameServices services, QWidget* parent);

    void InsertPendingScore();
    void RefreshFame();
    // Empties the table once the player has confirmed it.
    void clearTable();
    // Saves the table whichever way the window closes.
    void done(int result) override;

    QLabel* nameLabel(int place) const { return names_[static_cast<size_t>(place - 1)]; }
    QLabel* scoreLabel(int place) const { return scores_[static_cast<size_t>(place - 1)]; }
    QPushButton* okButton;
    QPushButton* clearButton;

protected:
    // Enters a waiting score and shows the table.
    void showEvent(QShowEvent* event) override;

private:
    FameState& state_;
    ProfileFile& file_;
    HallOfFameServices services_;
    std::array<QLabel*, kFamePlaces> names_{};
    std::array<QLabel*, kFamePlaces> scores_{};
};

}  // namespace kestrum
