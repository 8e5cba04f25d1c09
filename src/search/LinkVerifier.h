// SPDX-License-Identifier: MIT
#pragma once

// Link verification: after the last engine, every listed URL is requested and
// the rows whose URL does not answer are deleted.
//
// Up to nMaxParallel checks run at once over the run's session, at most
// nMaxPerHost of them to one host (scheme, name and port). The places are kept
// busy: a row whose host is full waits while later rows are checked, and the
// answers, which come in any order, are held until the rows before them are
// decided. Status texts name each URL as it is taken in, and rows are decided
// and deleted in list order, so the same rows go as with one check after
// another.

#include "platform/HttpCheckSet.h"

class CResultRows;
struct CFetchState;

inline constexpr int kMaxParallelChecks = 16;
inline constexpr int kMaxChecksPerHost = 4;

// A URL exists when its request was answered with a status below 400, or with
// 401, 403, 405 or 429 (pages that exist but refuse automated requests).
// Unanswered requests, 404, 410, other 4xx and 5xx are dead.
bool UrlExists(const CHttpCheckResult& result);

// The pass over the rows. Ends where it is when the search is cancelled (the
// rows not reached stay). Reports an empty status text at its end. Runs on the
// search worker; its checks run on that thread too (HttpCheckSet), while the
// UI may read, clear or delete rows at the same time (the rows are thread-safe
// and a row is deleted only while its URL is still the one checked).
void VerifyLinks(CFetchState& fs, CResultRows& rows, int nMaxParallel = kMaxParallelChecks,
                 int nMaxPerHost = kMaxChecksPerHost);
