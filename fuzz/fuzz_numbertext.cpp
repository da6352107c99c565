// libFuzzer target for the settings dialog's number reader:  ./fuzz.sh [seconds]
#include "fuzz/numbertext_properties.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto violation = numberTextViolation(input)) {
        std::fprintf(stderr, "%s\n", violation->c_str());
        std::abort();
    }
    return 0;
}
