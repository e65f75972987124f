// velmora-jet-reader FILE: reads a Jet database for a Velmora program that started it,
// answering its requests on standard input and output (see legacy/ReaderWire.h). It runs as a
// process of its own so that a damaged file that makes mdbtools crash or loop takes down
// this process only; the program that started it limits its memory and time.
#include "legacy/ReaderService.h"

#include <QFile>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kPipeBytes = 1 << 20;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs(
            "usage: velmora-jet-reader FILE\n"
            "Reads a Jet database for Velmora; the programs start it themselves.\n",
            stderr);
        return 2;
    }
    // The answers get a descriptor of their own: what mdbtools prints on standard output goes
    // where its warnings go.
    const int answers = ::dup(STDOUT_FILENO);
    if (answers < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 1;
    // A larger pipe lets the reader run ahead of the program converting what it read.
    ::fcntl(answers, F_SETPIPE_SZ, kPipeBytes);
    velmora::legacy::FdChannel channel(STDIN_FILENO, answers);
    velmora::legacy::serveJetFile(QFile::decodeName(argv[1]), channel);
    return 0;
}
