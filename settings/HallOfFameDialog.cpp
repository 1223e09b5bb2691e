#include "HallOfFameDialog.h"

#include "PlayerNameDialog.h"

#include "settings/DialogLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kestrum {


HallOfFameDialog::HallOfFameDialog(FameState& state, ProfileFile& file, HallOfFameServices services, QWidget* parent)
    : QDialog(parent, dialogFlags()), state_(state), file_(file), services_(std::move(services))
{
    setObjectName(QStringLiteral("hallOfFameDialog"));
    setWindowTitle(QStringLiteral("Hall "));
    makeBlackDialog(this, 292, 251);
    static const char* const ranks[] = {"I.", "II.", "III.", "4.", "5.", "6.", "7.", "8."};
    const QColor colours[] = {QColor(255, 0, 0),     QColor(255, 0, 255), QColor(255, 255, 0),
                              QColor(0, 255, 0),     QColor(0, 255, 255), QColor(255, 255, 255),
                              QColor(192, 192, 192), QColor(128, 128, 128)};
    for (int k = 0; k < kFamePlaces; ++k) {
        const int top = 16 + 24 * k;
        const auto label = [&](const QString& text, const QString& name) {
            auto* l = new QLabel(text, this);
            l->setObjectName(name);
            l->setFont(fameFont());
            QPalette pal = l->palette();
            pal.setColor(QPalette::WindowText, colours[k]);
            l->setPalette(pal);
            return l;
        };
        QLabel* rank = label(QString::fromLatin1(ranks[k]), QStringLiteral("Rank%1").arg(k + 1));
        rank->move(k < 3 ? 16 : 24, top);
        rank->adjustSize();
        names_[static_cast<size_t>(k)] = label(QString(), QStringLiteral("Label%1").arg(k + 1));
        names_[static_cast<size_t>(k)]->setGeometry(48, top, 120, 22);
        names_[static_cast<size_t>(k)]->setWordWrap(true);
        names_[static_cast<size_t>(k)]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        scores_[static_cast<size_t>(k)] = label(QString(), QStringLiteral("Label%1S").arg(k + 1));
        scores_[static_cast<size_t>(k)]->move(232, top);
    }
    okButton = makeButton(this, "okButton", QStringLiteral("OK"), {9, 216, 130, 25});
    okButton->setDefault(true);
    clearButton = makeButton(this, "clearButton", QStringLiteral("Clear"), {154, 216, 130, 25});
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(clearButton, &QPushButton::clicked, this, &HallOfFameDialog::clearTable);
    state_.table.load(file_);
    RefreshFame();
}

void HallOfFameDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
    InsertPendingScore();
    RefreshFame();
}

void HallOfFameDialog::InsertPendingScore()
{
    if (!state_.ScorePending)
        return;
    if (state_.table.insert(state_.PendingScore, state_.PlayerName) > 0 && services_.sound)
        services_.sound(QStringLiteral("ShowFame"));
    state_.ScorePending = false;
}

void HallOfFameDialog::RefreshFame()
{
    for (int k = 1; k <= kFamePlaces; ++k) {
        names_[static_cast<size_t>(k - 1)]->setText(state_.table.place(k).FameName);
        scores_[static_cast<size_t>(k - 1)]->setText(QString::number(state_.table.place(k).FameScore));
        scores_[static_cast<size_t>(k - 1)]->adjustSize();
    }
}

void HallOfFameDialog::clearTable()
{
    const QString question = services_.text ? services_.text(79) : QString();
    if (services_.confirm && services_.confirm(question)) {
        state_.table.clear();
        RefreshFame();
        if (services_.sound)
            services_.sound(QStringLiteral("GameOver"));
    }
    accept();
}

void HallOfFameDialog::done(int result)
{
    QString error;
    if (!state_.table.save(file_, &error) && services_.report)
        services_.report(error);
    QDialog::done(result);
}

}  // namespace kestrum
