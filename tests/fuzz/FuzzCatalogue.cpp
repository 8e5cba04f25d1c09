// The catalogue loader: any bytes parse, and what they parse to survives a save
// and a load unchanged.

#include "engines/EngineCatalogue.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string bytes(reinterpret_cast<const char*>(pData), nSize);
    const std::vector<CSearchEngine> engines = ParseEngines(bytes);
    if (ParseEngines(FormatEngines(engines)) != engines)
        __builtin_trap();
    return 0;
}
