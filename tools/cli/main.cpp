// songlark-cli: a companion for people checking a lyrics site, a lyric or a
// song file. Each subcommand lives in its own file and registers itself.
#include "tools/cli/Commands.h"

#include <cstdio>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {
std::vector<CliCommand>& Registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}
}  // namespace

CliCommandRegistration::CliCommandRegistration(const CliCommand& command)
{
    Registry().push_back(command);
}

int CliUsage(const CliCommand& command)
{
    std::fprintf(stderr, "usage: songlark-cli %s\n", command.usage);
    return 2;
}

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Lyrics and tags are raw bytes: no CR LF translation on the way out.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (argc >= 2) {
        for (const CliCommand& c : Registry())
            if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 1, argv + 1);
    }
    for (const CliCommand& c : Registry()) std::fprintf(stderr, "usage: songlark-cli %s\n", c.usage);
    return 2;
}
