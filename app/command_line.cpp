#include "command_line.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "jolstrand/app_scanner.hpp"
#include "jolstrand/bundle.hpp"
#include "jolstrand/desktop_launch.hpp"
#include "jolstrand/matcher.hpp"
#include "jolstrand/usage_store.hpp"

namespace jolstrand {
namespace {

using Clock = std::chrono::steady_clock;

// A duration as a number of seconds followed by the word.
std::string seconds(Clock::duration duration) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f seconds", std::chrono::duration<double>(duration).count());
  return text;
}

bool contains(const std::vector<std::string>& args, const std::string& flag) {
  return std::find(args.begin(), args.end(), flag) != args.end();
}

void printCatalogue(const std::vector<AppEntry>& entries, Clock::duration scanTime,
                    std::ostream& out) {
  for (const AppEntry& entry : entries) {
    out << entry.displayName() << '\t' << entry.id() << '\t' << entry.path();
    if (entry.names().size() > 1) {
      out << "  (also: ";
      for (std::size_t i = 1; i < entry.names().size(); ++i) {
        out << (i > 1 ? ", " : "") << toUtf8(entry.names()[i].folded);
      }
      out << ')';
    }
    out << '\n';
  }
  out << entries.size() << " apps, scanned in " << seconds(scanTime) << '\n';
}

void printQueries(const std::vector<std::string>& terms, const std::vector<AppEntry>& entries,
                  const UsageScores& usage, std::ostream& out) {
  for (const std::string& term : terms) {
    const auto started = Clock::now();
    const std::vector<Match> matches = Matcher(entries).search(term, usage, 9);
    const auto took = Clock::now() - started;
    out << '"' << term << "\" (" << seconds(took) << "):\n";
    for (const Match& match : matches) {
      out << "  " << match.tier << '\t' << match.entry.displayName() << '\t' << match.entry.path()
          << '\n';
    }
  }
}

std::vector<AppEntry> scanCatalogue(const Environment& environment) {
  return AppScanner::standard(environment.home, environment.root, environment.desktopSettings())
      .scan();
}

}  // namespace

int runIcons(const IconsRequest& request, const Environment& environment, std::ostream& out) {
#ifndef __APPLE__
  const IconTheme icons = environment.iconTheme(request.theme, "");
#endif
  for (const AppEntry& entry : scanCatalogue(environment)) {
    std::string file;
#ifndef __APPLE__
    if (isDesktopEntry(entry.path())) {
      file = icons.find(desktopEntryIcon(entry.path()), request.pixels);
    } else
#endif
    {
      file = bundleIconFile(entry.path()).value_or("");
    }
    out << entry.displayName() << '\t' << entry.id() << '\t' << file << '\n';
  }
  out.flush();
  return 0;
}

int runCommandLine(const std::vector<std::string>& args, const Environment& environment,
                   std::ostream& out) {
  const auto started = Clock::now();
  const std::vector<AppEntry> entries = scanCatalogue(environment);
  const auto scanTime = Clock::now() - started;
  const UsageScores usage =
      UsageStore(UsageStore::defaultURL(environment.home, environment.dataHome))
          .scores(std::chrono::system_clock::now());

  if (contains(args, "--list")) printCatalogue(entries, scanTime, out);
  const auto query = std::find(args.begin(), args.end(), "--query");
  if (query != args.end()) {
    printQueries(std::vector<std::string>(query + 1, args.end()), entries, usage, out);
  }
  out.flush();
  return 0;
}

}  // namespace jolstrand
