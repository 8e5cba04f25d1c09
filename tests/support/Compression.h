// SPDX-License-Identifier: MIT
#pragma once

// Compressed bodies for tests of answers with a Content-Encoding: small
// inputs that decode to far more than they weigh.

#include <cstddef>
#include <string>

namespace qtest {

// nCount copies of c, compressed for the Content-Encoding named ("gzip",
// "deflate" or "zstd"); empty for another name.
std::string CompressedRepeat(const std::string& strEncoding, char c, size_t nCount);

} // namespace qtest
