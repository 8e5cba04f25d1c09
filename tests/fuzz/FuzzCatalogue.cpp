// SPDX-License-Identifier: MIT
// The catalogue loader: any bytes parse, and what they parse to survives a save
// and a load unchanged, in memory and through the file (with its backup).

#include "engines/EngineCatalogue.h"
#include "platform/FileUtil.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const std::string strDir = [] {
        char szDir[] = "/tmp/questrel-fuzz-XXXXXX";
        return std::string(::mkdtemp(szDir) ? szDir : "/tmp");
    }();
    const std::string bytes(reinterpret_cast<const char*>(pData), nSize);
    int nDropped = 0;
    const std::vector<CSearchEngine> engines = ParseEngines(bytes, &nDropped);
    if (ParseEngines(FormatEngines(engines)) != engines || nDropped < 0)
        __builtin_trap();

    const std::string strPath = strDir + "/engines.dat";
    WriteFileAtomically(strPath, bytes);
    std::vector<CSearchEngine> loaded;
    if (!LoadEngines(strPath, loaded, &nDropped) || loaded != engines)
        __builtin_trap();
    if (!SaveEngines(strPath, loaded) || !LoadEngines(strPath, loaded, &nDropped) || loaded != engines ||
        nDropped != 0)
        __builtin_trap();
    return 0;
}
