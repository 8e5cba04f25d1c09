#include "results/ResultsPage.h"

#include "platform/ShellOpen.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {
constexpr const char* kSeparatorLine =
    "---------------------------------------------------------------\n";
}

std::string GetResultsPagePath()
{
    std::error_code ec;
    std::string strDir = std::filesystem::current_path(ec).string();
    if (ec)
        return std::string("./") + kResultsPageFileName;
    if (strDir.empty() || strDir.back() != '/')
        strDir += '/';
    return strDir + kResultsPageFileName;
}

void ResetResultsPage(const std::string& strPath)
{
    ::unlink(strPath.c_str());
}

bool AppendToResultsPage(const std::string& strPath, const std::string& strPage)
{
    FILE* pFile = std::fopen(strPath.c_str(), "ab");
    if (!pFile)
        return false;
    std::string block = kSeparatorLine;
    block += strPage;
    block += '\n';
    const bool bOk = std::fwrite(block.data(), 1, block.size(), pFile) == block.size();
    return (std::fclose(pFile) == 0) && bOk;
}

void ShowResultsPage(const std::string& strPath)
{
    ShellOpen(strPath);
}
