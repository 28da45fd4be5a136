// quillbank-cli: the catalogue file for people who keep it by hand or in
// scripts. Each command is one line of the table below.
#include "Version.h"
#include "cli/Commands.h"

#include <cstring>
#include <exception>
#include <iostream>

namespace {

using qb::cli::Args;

struct Command {
    const char* name;
    int (*run)(const Args& args, qb::Services& services);
    const char* usage;
};

const Command kCommands[] = {
    {"dump", qb::cli::dumpCommand, "dump [FILE]      the catalogue and options as JSON"},
    {"check", qb::cli::checkCommand, "check [FILE]     what would not survive a save and a load (exit 1 if any)"},
    {"rewrite", qb::cli::rewriteCommand, "rewrite [FILE]   load and save the file as the program does"},
    {"merge", qb::cli::mergeCommand,
     "merge BASE MINE THEIRS    three-way merge over MINE (-o FILE: elsewhere); exit 1 if both\n"
     "                              versions of some hosts were kept (a Git merge driver: %O %A %B)"},
    {"menu", qb::cli::menuCommand,
     "menu HOST [FILE]          a host's menu as JSON (HOST: a title, or --index N; --default-browser TEXT)"},
    {"compose", qb::cli::composeCommand,
     "compose HOST ID [FILE]    what picking item ID runs, as JSON (--yes|--no, --input TEXT,\n"
     "                              --password TEXT, --default-browser TEXT, --launch)"},
    {"import", qb::cli::importCommand,
     "import SOURCE [FILE]      add hosts from a .csv, .txt, .rdg, .xml or .rdp file, a folder of .rdp\n"
     "                              files or an ldap:// address; prints JSON (--icon N, --template,\n"
     "                              --dry-run; directories: --filter F, --user NAME, --password-file F,\n"
     "                              --insecure, --page-size N)"},
    {"export", qb::cli::exportCommand, "export FILE.csv [FILE]    the hosts as CSV that import reads back"},
};

void printUsage(std::ostream& out)
{
    out << "usage: quillbank-cli COMMAND [ARGS] | --version\n"
        << "FILE defaults to quillbank.ini in the current folder.\n"
        << "commands:\n";
    for (const Command& command : kCommands)
        out << "  " << command.usage << '\n';
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        printUsage(std::cerr);
        return qb::cli::kExitError;
    }
    const char* name = argv[1];
    if (std::strcmp(name, "help") == 0 || std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
        printUsage(std::cout);
        return 0;
    }
    if (std::strcmp(name, "--version") == 0) {
        std::cout << "quillbank-cli " QB_VERSION_TEXT "\n";
        return 0;
    }
    Args args(argv + 2, argv + argc);
    try {
        // Built once, and handed to the command.
        qb::cli::ConsoleServices console;
        for (const Command& command : kCommands) {
            if (std::strcmp(name, command.name) == 0)
                return command.run(args, console.services());
        }
        throw qb::cli::CliError(std::string("unknown command \"") + name + "\" (try quillbank-cli help)");
    } catch (const std::exception& error) {
        std::cerr << "quillbank-cli: " << error.what() << '\n';
    }
    return qb::cli::kExitError;
}
