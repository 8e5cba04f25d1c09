// SPDX-License-Identifier: MIT
// The search document reader: any bytes are refused or read, and a document
// read is written back to the same values.

#include "document/SearchDocument.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string bytes(reinterpret_cast<const char*>(pData), nSize);
    CSearchDocumentData data;
    if (!DecodeSearchDocument(bytes, data))
        return 0;
    CSearchDocumentData again;
    if (!DecodeSearchDocument(EncodeSearchDocument(data), again) || !(again == data))
        __builtin_trap();
    return 0;
}
