// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

// Opens a URL or a file with the user's default program (the stand-in for the
// shell's "open" verb). Returns a code in the manner of that verb: above 32 is
// success; 2 means no opener could be started (no browser set up), 31 no
// program associated, 8 out of memory.
//
// The target is passed as one argument and is never read as an option: callers
// pass absolute file paths or URLs with a scheme.
int ShellOpen(const std::string& strTarget);

constexpr int kShellOpenOk = 42;
constexpr int kShellOpenNoBrowser = 2;
constexpr int kShellOpenNoAssociation = 31;
constexpr int kShellOpenOutOfMemory = 8;

// Tests and the demo can replace the opener; an empty function restores it.
using ShellOpenHandler = std::function<int(const std::string&)>;
void SetShellOpenHandler(ShellOpenHandler handler);

// A child process that may run long after it is waited for (a browser, a
// desktop tool): reaped when it ends, by a detached thread of its own.
void ReapInBackground(pid_t pid);
