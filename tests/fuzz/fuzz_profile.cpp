// Profile files: reading every kind of value, then editing keys in place and reading back.
#include "FuzzSupport.h"
#include "settings/ProfileFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrum;
    const QString path = fuzz::writeInput(data, size, "Kestrum.ini");
    const ProfileSnapshot snap = ProfileFile(path).snapshot();
    for (const char* section : {"options", "alias", "fame", "Level0"})
        for (const char* key : {"Speed", "Sounds", "Music", "AlCount", "Name1", "Score1", "NumBase", "BasePosX1"}) {
            snap.readText(section, key, "d");
            snap.readInt(section, key, 1);
            snap.readBool(section, key, false);
        }
    ProfileFile file(path);
    QString error;
    const QString written = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(std::min<size_t>(size, 40)));
    if (!file.write({{"options", "Speed", "75"}, {"fame", "Name1", written}}, &error))
        std::abort();
    const ProfileSnapshot back = ProfileFile(path).snapshot();
    // What was just written reads back as written (a line break turned into a blank).
    if (back.readInt("options", "Speed", 0) != 75)
        std::abort();
    QString flat = written;
    flat.replace('\r', ' ').replace('\n', ' ');
    if (back.readText("fame", "Name1", "?") != flat.trimmed() && back.readText("fame", "Name1", "?") != flat)
        std::abort();
    return 0;
}
