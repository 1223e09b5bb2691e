#include "MenuTable.h"

#include "MainWindow.h"

namespace kestrum {

namespace {

using W = MainWindow;
constexpr QKeyCombination none{};
constexpr QKeyCombination ctrl(Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); }

// Level names stay in the game's original Russian in the built-in captions; the
// language files replace them.
constexpr MenuEntry kMenu[] = {
    {"fileMenu", nullptr, "File   ", none, false, false, 0, nullptr},
    {"newGame", "fileMenu", "New", QKeyCombination(Qt::Key_F2), false, false, 0, &W::newGame},
    {"pause", "fileMenu", "Pause", QKeyCombination(Qt::Key_P), false, false, 0, &W::togglePause,
     QKeyCombination(Qt::Key_Escape)},
    {nullptr, "fileMenu", nullptr, none, false, false, 0, nullptr},
    {"hallOfFame", "fileMenu", "Hall of Fame...", none, false, false, 0, &W::showHallOfFame},
    {nullptr, "fileMenu", nullptr, none, false, false, 0, nullptr},
    {"exit", "fileMenu", "Exit", none, false, false, 0, &W::exitGame},

    {"optionsMenu", nullptr, "Options   ", none, false, false, 0, nullptr},
    {"speedMenu", "optionsMenu", "Speed", none, false, false, 0, nullptr},
    {"slowSpeed", "speedMenu", "Slow", ctrl(Qt::Key_F1), true, false, 0, &W::slowSpeed},
    {"normalSpeed", "speedMenu", "Normal", ctrl(Qt::Key_F2), true, false, 0, &W::normalSpeed},
    {"fastSpeed", "speedMenu", "Fast", ctrl(Qt::Key_F3), true, false, 0, &W::fastSpeed},
    {"customSpeed", "speedMenu", "more...", ctrl(Qt::Key_F4), true, true, 0, &W::customSpeed},
    {"levelMenu", "optionsMenu", "Level", none, false, false, 0, nullptr},
    {"level0", "levelMenu", "0: \"чисто\"", ctrl(Qt::Key_QuoteLeft), true, true, 0, &W::chooseLevel},
    {"level1", "levelMenu", "1: \"минус\"", ctrl(Qt::Key_1), true, false, 1, &W::chooseLevel},
    {"level2", "levelMenu", "2: \"щель\"", ctrl(Qt::Key_2), true, false, 2, &W::chooseLevel},
    {"level3", "levelMenu", "3: \"полоса\"", ctrl(Qt::Key_3), true, false, 3, &W::chooseLevel},
    {"level4", "levelMenu", "4: \"плюс\"", ctrl(Qt::Key_4), true, false, 4, &W::chooseLevel},
    {"level5", "levelMenu", "5: \"буква Н\"", ctrl(Qt::Key_5), true, false, 5, &W::chooseLevel},
    {"level6", "levelMenu", "6: \"загон\"", ctrl(Qt::Key_6), true, false, 6, &W::chooseLevel},
    {"level7", "levelMenu", "7: \"буква Ж\"", ctrl(Qt::Key_7), true, false, 7, &W::chooseLevel},
    {"level8", "levelMenu", "8: \"прицел\"", ctrl(Qt::Key_8), true, false, 8, &W::chooseLevel},
    {"level9", "levelMenu", "9: \"коридор\"", ctrl(Qt::Key_9), true, false, 9, &W::chooseLevel},
    {"level10", "levelMenu", "10: \"зигзаг\"", ctrl(Qt::Key_0), true, false, 10, &W::chooseLevel},
    {"nextLevel", "optionsMenu", "Next level", ctrl(Qt::Key_Equal), true, false, 11, &W::chooseLevel},
    {"openLevelPack", "optionsMenu", "Open level pack", none, false, false, 0, &W::openLevelPack},
    {nullptr, "optionsMenu", nullptr, none, false, false, 0, nullptr},
    {"fieldSetup", "optionsMenu", "Filed setup...", ctrl(Qt::Key_O), false, false, 0, &W::setUpField},
    {"selectLanguage", "optionsMenu", "Select language...", ctrl(Qt::Key_L), false, false, 0, &W::chooseLanguage},
    {"keys", "optionsMenu", "Keys...", none, false, false, 0, &W::chooseKeys},
    {"volume", "optionsMenu", "Volume...", none, false, false, 0, &W::chooseVolume},
    {nullptr, "optionsMenu", nullptr, none, false, false, 0, nullptr},
    {"sounds", "optionsMenu", "All sounds", ctrl(Qt::Key_S), true, false, 0, &W::toggleSounds},
    {"music", "optionsMenu", "Backgroung Music", ctrl(Qt::Key_M), true, false, 0, &W::toggleMusic},
    {nullptr, "optionsMenu", nullptr, none, false, false, 0, nullptr},
    {"quickTurns", "optionsMenu", "Quick turns", none, true, false, 0, &W::toggleQuickTurns},
    {"fullScreen", "optionsMenu", "Full screen", QKeyCombination(Qt::Key_F11), true, false, 0, &W::toggleFullScreen},

    {"helpMenu", nullptr, "&?", none, false, false, 0, nullptr},
    {"help", "helpMenu", "Help", QKeyCombination(Qt::Key_F1), false, false, 0, &W::showHelp},
    {nullptr, "helpMenu", nullptr, none, false, false, 0, nullptr},
    {"about", "helpMenu", "about...", none, false, false, 0, &W::showAbout},
};

}  // namespace

std::span<const MenuEntry> menuTable() { return kMenu; }

}  // namespace kestrum
