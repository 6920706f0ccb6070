#include "program_help.hpp"

namespace jolstrand {
namespace {

constexpr char usage[] =
    "usage: jolstrand [--setup] [--about] [--support-reminder] | --list | --query TERM... | "
    "--icons [PIXELS] [--icon-theme NAME] | --help | --version\n";

constexpr char modes[] =
    R"(Modes:
  (none)              start the launcher, or show the panel of the one that runs
  --list              print every catalogue entry (name, id, path, other names) and exit
  --query TERM...     print the ranked matches of each TERM, with timings, and exit;
                      every argument after --query is a term
  --icons [PIXELS] [--icon-theme NAME]
                      print every entry's name, id and the file its icon is drawn
                      from at PIXELS (default 28), in the desktop's icon theme or
                      NAME, tab-separated (no file: the generic icon), and exit
  --help, -h          print this help and exit
  --version           print the version and build and exit

Flags for the launcher:
  --setup             open the setup window at start
  --about             open the about window at start
  --support-reminder  show the support reminder at start, whatever its schedule
  Qt's own options (-platform NAME, -display NAME, -style NAME, ...) go to Qt.
)";

#ifdef __APPLE__
constexpr char intro[] =
    R"(Jolstrand is a keyboard launcher. Command-Space opens a panel that lists the applications
whose names match what you type; Return opens the selection, Command-Return reveals it in
Finder, Escape closes the panel.

)";

constexpr char details[] =
    R"(
Environment:
  HOME                the user folder: ~/Applications and ~/Library
  JOLSTRAND_ROOT      look for /Applications, /System/Applications and Finder under this folder
  JOLSTRAND_TRACE     record latencies, in microseconds, in this file
  LC_ALL, LC_COLLATE, LANG
                      the order of names that tie

Files:
  ~/Library/Application Support/Jolstrand/usage.json   launch history
  the defaults domain org.jolstrand.Jolstrand           support reminder and updates
)";
#else
constexpr char intro[] =
    R"(Jolstrand is a keyboard launcher. Super-Space opens a panel that lists the applications
whose names match what you type; Return opens the selection, Ctrl-Return reveals it in the file
manager, Escape closes the panel. On Wayland, bind a desktop shortcut to the command jolstrand.

)";

constexpr char details[] =
    R"(
Environment:
  HOME, XDG_DATA_HOME, XDG_CONFIG_HOME
                      where the files below live
  XDG_DATA_DIRS       more folders whose applications/ hold desktop entries
                      (default /usr/local/share:/usr/share)
  XDG_CURRENT_DESKTOP the desktop: OnlyShowIn/NotShowIn, its shortcut settings
  XDG_RUNTIME_DIR     where the running launcher's socket lives
  PATH                where TryExec and Exec programs are looked for
  TERMINAL            the terminal for desktop entries with Terminal=true
  LC_ALL, LC_COLLATE, LANG
                      the language of names and the order of names that tie
  DISPLAY, WAYLAND_DISPLAY
                      the display the launcher shows on
  JOLSTRAND_ROOT      look for /Applications and /System/Applications under this folder
  JOLSTRAND_TRACE     record latencies, in microseconds, in this file

Files:
  ${XDG_DATA_HOME:-~/.local/share}/Jolstrand/usage.json     launch history
  ${XDG_CONFIG_HOME:-~/.config}/Jolstrand/settings.ini      support reminder and updates
  ${XDG_CONFIG_HOME:-~/.config}/autostart/org.jolstrand.Jolstrand.desktop
                                                            Launch at Login
  $XDG_RUNTIME_DIR/jolstrand.socket                         reaches the running launcher
)";
#endif

}  // namespace

void printHelp(std::ostream& out) {
  out << usage << '\n' << intro << modes << details;
}

void printVersion(const ProgramInfo& program, std::ostream& out) {
  out << "Jolstrand " << program.value("CFBundleShortVersionString").value_or("?") << " (build "
      << program.value("CFBundleVersion").value_or("?") << ")\n";
}

void printUsage(std::ostream& out) {
  out << usage;
}

}  // namespace jolstrand
