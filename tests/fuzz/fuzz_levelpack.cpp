// Level packs: every section on several field sizes fills the table within its bounds.
#include "FuzzSupport.h"
#include "levels/LevelPack.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrum;
    const QString path = fuzz::writeInput(data, size, "test.lev");
    const auto pack = LevelPack::read(path);
    (void)pack->openingReport();
    for (int field : {10, 37, 130}) {
        for (int level = -1; level <= 10; ++level) {
            WallTable walls;
            const PackLevelResult r = pack->build(level, field, walls, {});
            if (r.records < 0 || r.records > kPackRecords)
                std::abort();
        }
    }
    return 0;
}
