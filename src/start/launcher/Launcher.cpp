// The launcher of a command-line program: it starts connecting to the data set's server,
// then loads the program's own code (a module with the program's main) and runs it. Loading
// the program's libraries (Qt, ICU and the rest) takes the launcher longer than anything else
// in a short command, as long as the server takes to start a session: started first, the
// session is ready when the program asks for it. The launcher itself links libpq and the C++
// library only.
//
// Built per program with VELMORA_PROGRAM (its name, and its module's), VELMORA_PROGRAM_DIR
// (the module's folder, from the program's folder's parent) and VELMORA_DATA_OPTION (the
// option that gives the data path; without it, the data file is the first word that is no
// option, --param taking a value).
#include "start/EarlyConnection.h"
#include "start/ServerStart.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <dlfcn.h>
#include <unistd.h>

namespace {

std::unique_ptr<velmora::start::EarlyConnection>& early() {
    static std::unique_ptr<velmora::start::EarlyConnection> connection;
    return connection;
}

std::string locationIn(int argc, char** argv) {
#ifdef VELMORA_DATA_OPTION
    const std::string option = VELMORA_DATA_OPTION;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == option && i + 1 < argc)
            return argv[i + 1];
        if (std::strncmp(argv[i], (option + '=').c_str(), option.size() + 1) == 0)
            return argv[i] + option.size() + 1;
    }
#else
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--param") == 0)
            ++i;
        else if (argv[i][0] != '-')
            return argv[i];
    }
#endif
    return {};
}

// The module beside the program's folder, as installed and as built.
std::string moduleFile() {
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return {};
    self[n] = '\0';
    std::string folder(self);
    folder.erase(folder.rfind('/'));
    return folder + "/../" VELMORA_PROGRAM_DIR "/" VELMORA_PROGRAM ".so";
}

}  // namespace

// The program's data layer takes the started connection over through this, found by name.
extern "C" PGconn* velmora_take_early_connection(const char* serverUri,
                                                 velmora::start::StartedSession* session) {
    return early() ? early()->take(serverUri, session) : nullptr;
}

int main(int argc, char** argv) {
    const std::string location = locationIn(argc, argv);
    if (velmora::start::isServerLocation(location))
        // The programs that take a data path open its main data file first.
        early() = std::make_unique<velmora::start::EarlyConnection>(
            location, velmora::start::schemaOf(location, "timemgr"));
    const std::string file = moduleFile();
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    using ProgramMain = int (*)(int, char**);
    const auto programMain =
        module ? reinterpret_cast<ProgramMain>(dlsym(module, "main")) : nullptr;
    if (!programMain) {
        std::fprintf(stderr, "%s: the program's code cannot be loaded from %s: %s\n",
                     VELMORA_PROGRAM, file.c_str(), dlerror());
        return 127;
    }
    const int status = programMain(argc, argv);
    early().reset();
    return status;
}
