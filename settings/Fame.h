// Fame: the hall of fame window TFormFame and the name dialog TFormName (EdName), with
// the hand-over values they share with the game flow.
#pragma once

#include "FameTable.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrum {

// What the end of a game hands to the hall of fame.
struct FameState {
    FameTable table;
    int PendingScore = 0;
    bool ScorePending = false;
    QString PlayerName;  // the name last confirmed, offered again
};

// The services the windows need from the rest of the program.
struct FameServices {
    std::function<void(const QString& event)> sound;  // plays when sound effects are on
    std::function<QString(int line)> text;            // language texts
    std::function<bool(const QString& question)> confirm;
};

class TFormName : public QDialog {
    Q_OBJECT
public:
    TFormName(FameState& state, QWidget* parent);
    QLineEdit* EditName;
    QPushButton* BitBtn1;
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;  // FormActivate

private:
    FameState& state_;
};

class TFormFame : public QDialog {
    Q_OBJECT
public:
    // Reads the table from the profile file (FormCreate).
    TFormFame(FameState& state, ProfileFile& file, FameServices services, QWidget* parent);

    void InsertPendingScore();
    void RefreshFame();
    void BitBtn2Click();  // Clear
    // Saves the table whichever way the window closes (FormClose).
    void done(int result) override;

    QLabel* nameLabel(int place) const { return names_[static_cast<size_t>(place - 1)]; }
    QLabel* scoreLabel(int place) const { return scores_[static_cast<size_t>(place - 1)]; }
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;  // FormActivate

private:
    FameState& state_;
    ProfileFile& file_;
    FameServices services_;
    std::array<QLabel*, kFamePlaces> names_{};
    std::array<QLabel*, kFamePlaces> scores_{};
};

}  // namespace kestrum
