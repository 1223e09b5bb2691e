// Language files: any bytes load into the 92 slots within their limits.
#include "FuzzSupport.h"
#include "settings/Language.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrum;
    LanguageTexts texts;
    QString error;
    if (!texts.load(fuzz::writeInput(data, size, "test.lng"), &error))
        std::abort();
    for (int line = 0; line <= kLanguageLines + 1; ++line) {
        const int max = LanguageTexts::maxLength(line);
        if (max > 0 && texts.text(line).size() > max)
            std::abort();
    }
    return 0;
}
