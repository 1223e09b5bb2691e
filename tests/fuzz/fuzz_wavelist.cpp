// "Sounds.dxw": any bytes are a wave list or a clear error, never more than they hold.
#include "sound/WaveList.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrum;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const auto clips = kestrum::parseWaveList(bytes, &error);
    if (!clips && error.isEmpty())
        std::abort();
    if (clips && writeWaveList(*clips) != bytes)
        std::abort();  // a list read back must write the same bytes
    return 0;
}
