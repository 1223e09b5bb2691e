// Language files: any bytes either load into the 92 slots within their limits, or are
// refused with a message and leave every text as it was.
#include "FuzzSupport.h"
#include "settings/Language.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrum;
    const LanguageTexts before;
    LanguageTexts texts;
    QString error;
    const bool loaded = texts.load(fuzz::writeInput(data, size, "test.lng"), &error);
    for (int line = 0; line <= kLanguageLines + 1; ++line) {
        if (!loaded && texts.text(line) != before.text(line))
            std::abort();
        const int max = LanguageTexts::maxLength(line);
        if (max > 0 && texts.text(line).size() > max)
            std::abort();
    }
    if (!loaded && error.isEmpty())
        std::abort();
    return 0;
}
