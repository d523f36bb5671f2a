// tandrel-cli: the core library from the command line. `tandrel-cli --help` lists the commands.
// A command is one row of the table below, with its usage, and a function of its own file.

#include "tools/tandrel-cli/CommandLine.h"
#include "tools/tandrel-cli/LibraryCommands.h"
#include "tools/tandrel-cli/ValidateCommand.h"

#include <string_view>
#include <vector>

namespace {

using namespace tandrel::cli;

const Command commands[] = {
    {"scan", {"LIBRARY"}, {}, "lists the library's events and timelines", scanCommand},
    {"edl",
     {"LIBRARY", "TIMELINE"},
     {},
     "prints the timeline's resolved edit list with its display segments, as JSON",
     edlCommand},
    {"snapshot",
     {"LIBRARY", "TIMELINE"},
     {{"--preset", "NAME"}},
     "resolves the timeline and writes the snapshot file as the host does",
     snapshotCommand},
    {"validate",
     {"LIBRARY", "TIMELINE", "FILE"},
     {},
     "compares the timeline with its FCPXML export FILE as the host does (exit 0 when they\n"
     "      match, 1 when they differ, 2 when no report could be made)",
     validateCommand},
};

constexpr std::string_view notes =
    "LIBRARY  a library folder, whose name ends in \".fcpbundle\"\n"
    "TIMELINE a timeline's id as scan lists it, or its name (exactly, else ignoring case)\n"
    "NAME     a built-in preset: \"Netflix QC Layout\" (the default: the host's first start\n"
    "         makes it the active preset), \"Conform\" or \"Colorist\"\n"
    "The snapshot goes to $XDG_DATA_HOME/Tandrel/current.json. Exit status: 0 done, 1 failed,\n"
    "2 wrong arguments.";

} // namespace

int main(int argc, char **argv) {
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    return runCommandLine(commands, words, notes);
}
