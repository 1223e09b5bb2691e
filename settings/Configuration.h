// The configuration file "Kestrum.ini": where it lives, what start-up reads from it, and
// the in-memory image of the settings that the main window holds while it runs.
#pragma once

#include "ProfileFile.h"

#include <QString>
#include <array>

namespace kestrum {

inline constexpr int kSkinAliases = 50;
inline constexpr int kSlowestSpeed = 1000;  // ms: the longest tick a settings file may ask for
inline constexpr int kAliasNameLength = 20;

// The [keys] section: the steering keys, the second set and the pause key, each by its
// name as Qt spells it ("Up", "W", "Space"); a missing or empty name keeps the default.
inline constexpr int kKeySlots = 9;
inline constexpr const char* kKeySlotNames[kKeySlots] = {"Up",     "Down",  "Left",   "Right", "Up2",
                                                         "Down2", "Left2", "Right2", "Pause"};

struct SkinAlias {
    QString Name;
    QString File;
};

class Configuration {
public:
    // "Kestrum.ini" in the working directory when it is there (its full path is kept for
    // the run, and its folder is ConfigFolder); otherwise the per-user file under
    // $XDG_CONFIG_HOME/Kestrum (default ~/.config), with ConfigFolder empty; without a
    // home folder, "Kestrum.ini" of the working directory.
    static Configuration locate();
    explicit Configuration(const QString& path, const QString& folder);

    ProfileFile& file() { return file_; }
    const ProfileFile& file() const { return file_; }
    const QString& ConfigFolder() const { return folder_; }
    // What the player should hear about the settings at start-up (a file that cannot be
    // read, nowhere to keep them); empty when all is well.
    const QString& problem() const { return problem_; }

    // Start-up reading, in the order the settings are needed (the language first).
    void readLanguage();
    void readSkins();
    void readSwitches();

    // The in-memory image.
    QString LangFileName = QStringLiteral("English.lng");
    // False when the file names no language yet (a first start).
    bool LanguageChosen = true;
    QString FileCells = QStringLiteral("kestrum");
    int ActiveAl = 1;
    int AlCount = 1;
    std::array<SkinAlias, kSkinAliases> SkinAliases{};
    int Speed = 100;
    bool Sounds = false;
    bool Music = false;
    bool QuickTurns = false;
    bool FullScreen = false;
    int EffectsVolume = 100;  // percent
    int MusicVolume = 100;
    std::array<QString, kKeySlots> KeyNames{};

    // Writers; each returns false with the message for the player in *error.
    bool writeSounds(bool on, QString* error);
    bool writeMusic(bool on, QString* error);
    bool writeSpeed(int ms, QString* error);
    bool writeQuickTurns(bool on, QString* error);
    bool writeFullScreen(bool on, QString* error);
    bool writeVolumes(int effects, int music, QString* error);
    bool writeKeys(const std::array<QString, kKeySlots>& names, QString* error);
    bool writeLanguage(const QString& name, QString* error);
    // FileCells and ActiveAl, written when a chosen skin becomes the default.
    bool writeDefaultSkin(QString* error);
    // AlCount, then Name1, File1 ... Name50, File50.
    bool writeAliases(QString* error);

private:
    ProfileFile file_;
    QString folder_;
    QString problem_;
};

}  // namespace kestrum
