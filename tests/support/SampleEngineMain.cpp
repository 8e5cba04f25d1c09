// SPDX-License-Identifier: MIT
// questrel-sample-engines: serves the sample engines on loopback until stopped.
//
//   questrel-sample-engines [--port N] [--catalogue FILE]
//
// Prints the port on stdout; with --catalogue, first writes an engines.dat for
// the sample engines at that port.

#include "SampleEngines.h"
#include "engines/EngineCatalogue.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    uint16_t nPort = 0;
    std::string strCatalogue;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--port") && i + 1 < argc)
            nPort = static_cast<uint16_t>(std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--catalogue") && i + 1 < argc)
            strCatalogue = argv[++i];
        else {
            std::fprintf(stderr, "usage: questrel-sample-engines [--port N] [--catalogue FILE]\n");
            return 2;
        }
    }

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    qtest::CSampleEngineServer server(nPort);
    if (!server.GetServer().IsListening()) {
        std::fprintf(stderr, "questrel-sample-engines: cannot listen on 127.0.0.1:%u\n", nPort);
        return 1;
    }
    if (!strCatalogue.empty() && !SaveEngines(strCatalogue, server.GetCatalogue())) {
        std::fprintf(stderr, "questrel-sample-engines: cannot write %s\n", strCatalogue.c_str());
        return 1;
    }
    std::printf("%u\n", server.GetServer().GetPort());
    std::fflush(stdout);

    int nSignal = 0;
    sigwait(&signals, &nSignal);
    return 0;
}
