#pragma once

// Subcommands of songlark-cli register themselves here, one file each.
struct CliCommand {
    const char* name;
    const char* usage;  // printed after "usage: songlark-cli "
    int (*run)(int argc, char** argv);  // argv[0] is the subcommand's name
};

// Registers a subcommand at static initialisation; main dispatches by name.
struct CliCommandRegistration {
    explicit CliCommandRegistration(const CliCommand& command);
};

// Prints the usage line of one subcommand to standard error and returns 2.
int CliUsage(const CliCommand& command);
