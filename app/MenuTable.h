// The menu bar as one table: caption, shortcut, check state and handler of every item.
// The window builds its menus from it and the tests walk it.
#pragma once

#include <QKeySequence>
#include <span>

namespace kestrum {

class MainWindow;

struct MenuEntry {
    using Handler = void (MainWindow::*)();
    const char* name;     // object name of the item or submenu; nullptr for a separator
    const char* parent;   // the menu it stands in; nullptr for a menu of the bar
    const char* caption;  // UTF-8
    QKeyCombination shortcut;
    bool checkable;
    bool checked;  // at design time, before start-up marks it
    int tag;
    Handler handler;  // nullptr for a menu or submenu
    QKeyCombination secondShortcut = {};
};

std::span<const MenuEntry> menuTable();

}  // namespace kestrum
