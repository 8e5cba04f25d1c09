// SPDX-License-Identifier: MIT
#include "results/RankOrder.h"

#include <algorithm>
#include <numeric>

double RankScore(const std::vector<CFoundBy>& foundBy)
{
    double dSum = 0;
    for (const CFoundBy& one : foundBy)
        if (one.m_nPosition >= 1)
            dSum += 1.0 / one.m_nPosition;
    return static_cast<double>(foundBy.size()) * dSum;
}

std::vector<int> OrderByRank(const std::vector<std::vector<CFoundBy>>& foundBy)
{
    std::vector<double> scores(foundBy.size());
    std::transform(foundBy.begin(), foundBy.end(), scores.begin(), RankScore);
    std::vector<int> order(foundBy.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&scores](int a, int b) {
        return scores[static_cast<size_t>(a)] > scores[static_cast<size_t>(b)];
    });
    return order;
}

std::string DescribeFoundBy(const std::vector<CFoundBy>& foundBy)
{
    std::string out;
    for (const CFoundBy& one : foundBy)
        out += (out.empty() ? "" : ", ") + one.m_strEngine + " " + std::to_string(one.m_nPosition);
    return out;
}
