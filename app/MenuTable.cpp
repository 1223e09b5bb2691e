#include "MenuTable.h"

#include "UnitKestrum.h"

namespace kestrum {

namespace {

using W = TFormKestrum;
constexpr QKeyCombination none{};
constexpr QKeyCombination ctrl(Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); }

// Level names stay in the game's original Russian in the built-in captions; the
// language files replace them.
constexpr MenuEntry kMenu[] = {
    {"N1", nullptr, "File   ", none, false, false, 0, nullptr},
    {"N9", "N1", "New", QKeyCombination(Qt::Key_F2), false, false, 0, &W::N9Click},
    {"N10", "N1", "Pause", QKeyCombination(Qt::Key_P), false, false, 0, &W::N10Click},
    {nullptr, "N1", nullptr, none, false, false, 0, nullptr},
    {"N2", "N1", "Hall of Fame...", none, false, false, 0, &W::N2Click},
    {nullptr, "N1", nullptr, none, false, false, 0, nullptr},
    {"N3", "N1", "Exit", none, false, false, 0, &W::N3Click},

    {"N4", nullptr, "Options   ", none, false, false, 0, nullptr},
    {"N7", "N4", "Speed", none, false, false, 0, nullptr},
    {"Vel1", "N7", "Slow", ctrl(Qt::Key_F1), true, false, 0, &W::Vel1Click},
    {"Vel2", "N7", "Normal", ctrl(Qt::Key_F2), true, false, 0, &W::Vel2Click},
    {"Vel3", "N7", "Fast", ctrl(Qt::Key_F3), true, false, 0, &W::Vel3Click},
    {"VelMore", "N7", "more...", ctrl(Qt::Key_F4), true, true, 0, &W::VelMoreClick},
    {"Ndific", "N4", "Level", none, false, false, 0, nullptr},
    {"N01", "Ndific", "0: \"чисто\"", ctrl(Qt::Key_QuoteLeft), true, true, 0, &W::N101Click},
    {"N11", "Ndific", "1: \"минус\"", ctrl(Qt::Key_1), true, false, 1, &W::N101Click},
    {"N21", "Ndific", "2: \"щель\"", ctrl(Qt::Key_2), true, false, 2, &W::N101Click},
    {"N31", "Ndific", "3: \"полоса\"", ctrl(Qt::Key_3), true, false, 3, &W::N101Click},
    {"N41", "Ndific", "4: \"плюс\"", ctrl(Qt::Key_4), true, false, 4, &W::N101Click},
    {"N51", "Ndific", "5: \"буква Н\"", ctrl(Qt::Key_5), true, false, 5, &W::N101Click},
    {"N61", "Ndific", "6: \"загон\"", ctrl(Qt::Key_6), true, false, 6, &W::N101Click},
    {"N71", "Ndific", "7: \"буква Ж\"", ctrl(Qt::Key_7), true, false, 7, &W::N101Click},
    {"N81", "Ndific", "8: \"прицел\"", ctrl(Qt::Key_8), true, false, 8, &W::N101Click},
    {"N91", "Ndific", "9: \"коридор\"", ctrl(Qt::Key_9), true, false, 9, &W::N101Click},
    {"N101", "Ndific", "10: \"зигзаг\"", ctrl(Qt::Key_0), true, false, 10, &W::N101Click},
    {"N99", "N4", "Next level", ctrl(Qt::Key_Equal), true, false, 11, &W::N101Click},
    {"NLevelOpen", "N4", "Open level pack", none, false, false, 0, &W::NLevelOpenClick},
    {nullptr, "N4", nullptr, none, false, false, 0, nullptr},
    {"MSetPole", "N4", "Filed setup...", ctrl(Qt::Key_O), false, false, 0, &W::MSetPoleClick},
    {"Lang1", "N4", "Select language...", ctrl(Qt::Key_L), false, false, 0, &W::Lang1Click},
    {nullptr, "N4", nullptr, none, false, false, 0, nullptr},
    {"Nsnd", "N4", "All sounds", ctrl(Qt::Key_S), true, false, 0, &W::NsndClick},
    {"NMusic", "N4", "Backgroung Music", ctrl(Qt::Key_M), true, false, 0, &W::NMusicClick},

    {"N5", nullptr, "&?", none, false, false, 0, nullptr},
    {"N15", "N5", "Help", QKeyCombination(Qt::Key_F1), false, false, 0, &W::N15Click},
    {nullptr, "N5", nullptr, none, false, false, 0, nullptr},
    {"N6", "N5", "about...", none, false, false, 0, &W::N6Click},
};

}  // namespace

std::span<const MenuEntry> menuTable() { return kMenu; }

}  // namespace kestrum
