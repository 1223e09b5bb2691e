// What the field setup dialogs need from the main window.
#pragma once

#include <QString>
#include <functional>

namespace kestrum {

struct FieldSetupServices {
    std::function<QString(int line)> text;
    std::function<bool(const QString& question)> ask;  // Yes or No
    std::function<void(const QString& message)> report;
    std::function<QString(const QString& title)> chooseFile;  // empty when cancelled
    std::function<QString()> skinsFolder;  // where the field reads its skins
};

}  // namespace kestrum
