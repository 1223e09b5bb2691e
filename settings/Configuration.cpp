#include "Configuration.h"

#include <QDir>

#include <algorithm>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrum {

namespace {
const QString kOptions = QStringLiteral("options");
const QString kKeys = QStringLiteral("keys");
const QString kAlias = QStringLiteral("alias");
}  // namespace

Configuration Configuration::locate()
{
    const QFileInfo here(QStringLiteral("Kestrum.ini"));
    if (here.exists())
        return Configuration(here.absoluteFilePath(), here.absolutePath() + QLatin1Char('/'));
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home)) {
            // No home to keep settings in: the working folder keeps them, if it can.
            Configuration here(QDir::current().absoluteFilePath(QStringLiteral("Kestrum.ini")), QString());
            const QFileInfo folder(QDir::currentPath());
            if (!folder.isWritable())
                here.problem_ = QStringLiteral("No home folder is set, and the folder %1 cannot be written: "
                                               "the settings and the hall of fame will not be kept.")
                                    .arg(QDir::currentPath());
            return here;
        }
        base = home + QStringLiteral("/.config");
    }
    return Configuration(base + QStringLiteral("/Kestrum/Kestrum.ini"), QString());
}

Configuration::Configuration(const QString& path, const QString& folder) : file_(path), folder_(folder)
{
    for (SkinAlias& a : SkinAliases)
        a = {QStringLiteral("Kestrum"), QStringLiteral("kestrum")};
}

void Configuration::readLanguage()
{
    // The first reading at start-up: a file that cannot be read is said once.
    QString unreadable;
    const ProfileSnapshot ini = file_.snapshot(&unreadable);
    // A value no file name can have tells a missing key from one set to the default.
    static const QString kNone = QStringLiteral("\n");
    LangFileName = ini.readText(kOptions, QStringLiteral("LangFileName"), kNone);
    // (An unreadable file is not written over: nothing is chosen for it.)
    LanguageChosen = LangFileName != kNone || !unreadable.isEmpty();
    if (!LanguageChosen)
        LangFileName = QStringLiteral("English.lng");
    if (!unreadable.isEmpty())
        problem_ += (problem_.isEmpty() ? QString() : QStringLiteral("\n")) + unreadable +
                    QStringLiteral(". The game starts with its own settings and will not write over "
                                   "that file.");
}

void Configuration::readSkins()
{
    const ProfileSnapshot ini = file_.snapshot();
    FileCells = ini.readText(kOptions, QStringLiteral("FileCells"), QStringLiteral("kestrum"));
    ActiveAl = ini.readInt(kOptions, QStringLiteral("ActiveAl"), 1);
    // Counts outside the table would reach past it: they are brought into range.
    AlCount = std::clamp(ini.readInt(kAlias, QStringLiteral("AlCount"), 1), 1, kSkinAliases);
    if (ActiveAl < 1 || ActiveAl > AlCount)
        ActiveAl = 1;
    for (int i = 1; i <= kSkinAliases; ++i) {
        SkinAlias& a = SkinAliases[static_cast<size_t>(i - 1)];
        a.Name = ini.readText(kAlias, QStringLiteral("Name%1").arg(i), QStringLiteral("Kestrum"))
                     .left(kAliasNameLength);
        a.File = ini.readText(kAlias, QStringLiteral("File%1").arg(i), QStringLiteral("kestrum"));
    }
}

void Configuration::readSwitches()
{
    const ProfileSnapshot ini = file_.snapshot();
    Speed = ini.readInt(kOptions, QStringLiteral("Speed"), 100);
    // An interval below 1 ms would stop the game or make it spin; one of more than a
    // second would leave it standing.
    if (Speed < 1)
        Speed = 100;
    Speed = std::min(Speed, kSlowestSpeed);
    Sounds = ini.readBool(kOptions, QStringLiteral("Sounds"), false);
    Music = ini.readBool(kOptions, QStringLiteral("Music"), false);
    QuickTurns = ini.readBool(kOptions, QStringLiteral("QuickTurns"), false);
    FullScreen = ini.readBool(kOptions, QStringLiteral("FullScreen"), false);
    EffectsVolume = std::clamp(ini.readInt(kOptions, QStringLiteral("EffectsVolume"), 100), 0, 100);
    MusicVolume = std::clamp(ini.readInt(kOptions, QStringLiteral("MusicVolume"), 100), 0, 100);
    for (int i = 0; i < kKeySlots; ++i)
        KeyNames[static_cast<size_t>(i)] =
            ini.readText(kKeys, QString::fromLatin1(kKeySlotNames[i]), QString()).trimmed().left(40);
}

bool Configuration::writeQuickTurns(bool on, QString* error)
{
    QuickTurns = on;
    return file_.writeBool(kOptions, QStringLiteral("QuickTurns"), on, error);
}

bool Configuration::writeFullScreen(bool on, QString* error)
{
    FullScreen = on;
    return file_.writeBool(kOptions, QStringLiteral("FullScreen"), on, error);
}

bool Configuration::writeVolumes(int effects, int music, QString* error)
{
    EffectsVolume = std::clamp(effects, 0, 100);
    MusicVolume = std::clamp(music, 0, 100);
    return file_.write({{kOptions, QStringLiteral("EffectsVolume"), QString::number(EffectsVolume)},
                        {kOptions, QStringLiteral("MusicVolume"), QString::number(MusicVolume)}},
                       error);
}

bool Configuration::writeKeys(const std::array<QString, kKeySlots>& names, QString* error)
{
    KeyNames = names;
    std::vector<ProfileFile::Entry> entries;
    for (int i = 0; i < kKeySlots; ++i)
        entries.push_back({kKeys, QString::fromLatin1(kKeySlotNames[i]), names[static_cast<size_t>(i)]});
    return file_.write(entries, error);
}

bool Configuration::writeSounds(bool on, QString* error)
{
    Sounds = on;
    return file_.writeBool(kOptions, QStringLiteral("Sounds"), on, error);
}

bool Configuration::writeMusic(bool on, QString* error)
{
    Music = on;
    return file_.writeBool(kOptions, QStringLiteral("Music"), on, error);
}

bool Configuration::writeSpeed(int ms, QString* error)
{
    Speed = ms;
    return file_.writeInt(kOptions, QStringLiteral("Speed"), ms, error);
}

bool Configuration::writeLanguage(const QString& name, QString* error)
{
    return file_.writeText(kOptions, QStringLiteral("LangFileName"), name, error);
}

bool Configuration::writeDefaultSkin(QString* error)
{
    return file_.write({{kOptions, QStringLiteral("FileCells"), FileCells},
                        {kOptions, QStringLiteral("ActiveAl"), QString::number(ActiveAl)}},
                       error);
}

bool Configuration::writeAliases(QString* error)
{
    std::vector<ProfileFile::Entry> entries{{kAlias, QStringLiteral("AlCount"), QString::number(AlCount)}};
    for (int i = 1; i <= kSkinAliases; ++i) {
        const SkinAlias& a = SkinAliases[static_cast<size_t>(i - 1)];
        entries.push_back({kAlias, QStringLiteral("Name%1").arg(i), a.Name});
        entries.push_back({kAlias, QStringLiteral("File%1").arg(i), a.File});
    }
    return file_.write(entries, error);
}

}  // namespace kestrum
