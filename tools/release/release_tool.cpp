#include "release_tool.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "jolstrand/file_access.hpp"
#include "jolstrand/log.hpp"
#include "jolstrand/release_signing.hpp"
#include "jolstrand/update/update_feed.hpp"

namespace jolstrand {
namespace {

// A failure that ends the command with exit status 1 and this message.
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Command {
  std::string name;
  std::string usage;                 // shown by --help and after a usage error
  std::vector<std::string> options;  // each takes a value
  std::size_t positional;            // how many plain arguments it takes
};

const std::vector<Command>& commands() {
  static const std::vector<Command> all = {
      {"generate-keys",
       "generate-keys --out FILE\n  Writes a new private key to FILE (mode 0600, never over an "
       "existing file)\n  and prints its public key.",
       {"--out"},
       0},
      {"public-key",
       "public-key --key FILE\n  Prints the public key of the private key in FILE.",
       {"--key"},
       0},
      {"sign",
       "sign --key FILE ARCHIVE\n  Prints the base64 signature of the archive's bytes.",
       {"--key"},
       1},
      {"verify",
       "verify --public-key TEXT ARCHIVE SIGNATURE\n  Exits 0 when the base64 SIGNATURE is "
       "valid for the archive, else 1.",
       {"--public-key"},
       2},
      {"appcast",
       "appcast --key FILE --archive PATH --version V --build N --notes FILE --url URL\n"
       "        --minimum-system V [--os OS --arch ARCH] [--date ISO-8601] [--out FILE]\n"
       "  Writes the signed update feed for the archive (to standard output unless --out),\n"
       "  once the launcher's own reader accepts it. --os and --arch say what the archive is\n"
       "  for (linux x86_64); launchers on other machines pass it over.",
       {"--key", "--archive", "--version", "--build", "--notes", "--url", "--minimum-system",
        "--os", "--arch", "--date", "--out"},
       0},
      {"verify-feed",
       "verify-feed --public-key TEXT FEED\n  Exits 0 when the feed's signature block "
       "verifies and the launcher's own reader\n  accepts the feed, else 1.",
       {"--public-key"},
       1},
  };
  return all;
}

std::string overview() {
  std::string text = "usage: jolstrand-release COMMAND [ARGS]   (COMMAND --help for more)\n";
  for (const Command& command : commands()) {
    text += "  " + command.usage.substr(0, command.usage.find('\n')) + "\n";
  }
  text += "Every --key FILE may be - to read the key from standard input.\n";
  return text;
}

struct Arguments {
  std::map<std::string, std::string> options;
  std::vector<std::string> positional;
  bool help = false;

  [[nodiscard]] const std::string& required(const std::string& option) const {
    const auto found = options.find(option);
    if (found == options.end()) throw Failure("missing " + option);
    return found->second;
  }
  [[nodiscard]] std::optional<std::string> optional(const std::string& option) const {
    const auto found = options.find(option);
    return found == options.end() ? std::nullopt : std::optional(found->second);
  }
};

Arguments parse(const Command& command, const std::vector<std::string>& args) {
  Arguments parsed;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (arg.starts_with("--")) {
      if (std::find(command.options.begin(), command.options.end(), arg) == command.options.end()) {
        throw Failure("unknown option " + arg + " for " + command.name);
      }
      if (i + 1 >= args.size()) throw Failure(arg + " needs a value");
      parsed.options[arg] = args[++i];
    } else {
      parsed.positional.push_back(arg);
    }
  }
  if (!parsed.help && parsed.positional.size() != command.positional) {
    throw Failure(command.name + " takes " + std::to_string(command.positional) +
                  " argument(s) besides its options, not " +
                  std::to_string(parsed.positional.size()));
  }
  return parsed;
}

// Keys, notes and feeds are small; archives are disk images.
constexpr std::size_t maxTextBytes = std::size_t{64} << 20;
constexpr std::size_t maxArchiveBytes = std::size_t{16} << 30;

std::string readFile(const std::string& path, std::size_t maxBytes = maxTextBytes) {
  FileContents read = readRegularFile(path, maxBytes);
  if (!read.bytes) throw Failure("can't read " + read.error);
  return std::move(*read.bytes);
}

// A private key file must be the file itself, readable by its owner alone: a key others could
// read, or one reached through a link someone could point elsewhere, is not used.
std::string readKey(const std::string& path, std::istream& in) {
  if (path != "-") {
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0) {
      if (S_ISLNK(status.st_mode))
        throw Failure("the key file " + path + " is a symbolic link; give the key file itself");
      if (S_ISREG(status.st_mode) && (status.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
        throw Failure("the key file " + path + " can be read by others (mode " + mode +
                      "); make it readable by its owner alone: chmod 600 " + path);
      }
    }
    return readFile(path);
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  if (const auto error = writeFileAtomically(path, bytes)) throw Failure("can't write " + *error);
}

// Writes a new private key file that only its owner can read, never over an existing file.
void writeNewKeyFile(const std::string& path, const std::string& key) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    throw Failure(errno == EEXIST ? path + " already exists; not overwriting a key"
                                  : "can't create " + path + ": " + std::strerror(errno));
  }
  const std::string text = key + "\n";
  const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  const bool synced = fsync(fd) == 0;
  close(fd);
  if (!written || !synced) {
    unlink(path.c_str());
    throw Failure("can't write " + path + ": " + std::strerror(errno));
  }
}

// The feed inserts these values unescaped, so markup in them would corrupt it.
const std::string& plainFeedValue(const std::string& option, const std::string& value) {
  if (value.find_first_of("<>&\"'") != std::string::npos) {
    throw Failure(option + " must not contain <, >, & or quotes: " + value);
  }
  return value;
}

std::int64_t integer(const std::string& option, const std::string& text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    throw Failure(option + " must be a whole number, not " + text);
  }
  return value;
}

// Whether text has the shape, in which 'd' stands for any ASCII digit.
bool hasShape(std::string_view text, std::string_view shape) {
  return text.size() == shape.size() &&
         std::equal(text.begin(), text.end(), shape.begin(), [](char c, char expected) {
           return expected == 'd' ? c >= '0' && c <= '9' : c == expected;
         });
}

// The decimal number of count digits at a place that hasShape has checked.
int digitsAt(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (const char c : text.substr(at, count)) value = value * 10 + (c - '0');
  return value;
}

// YYYY-MM-DDTHH:MM:SS followed by Z or a ±HH:MM offset; every field must name a moment that
// exists. A leap second is refused: the moment is kept as POSIX time, which cannot show :60.
std::chrono::system_clock::time_point isoDate(const std::string& text) {
  using namespace std::chrono;
  const auto refuse = [&](const std::string& why) {
    return Failure("--date " + why + ": " + text);
  };
  const std::string_view local = std::string_view(text).substr(0, 19);
  if (!hasShape(local, "dddd-dd-ddTdd:dd:dd")) {
    throw Failure("--date must look like 2025-01-31T12:00:00Z, not " + text);
  }
  const std::string_view zone = std::string_view(text).substr(local.size());
  if (zone != "Z" && !hasShape(zone, "+dd:dd") && !hasShape(zone, "-dd:dd")) {
    throw refuse("needs a time zone, Z or like +02:00");
  }
  const year_month_day day{year(digitsAt(local, 0, 4)),
                           month(static_cast<unsigned>(digitsAt(local, 5, 2))),
                           std::chrono::day(static_cast<unsigned>(digitsAt(local, 8, 2)))};
  if (!day.month().ok()) throw refuse("month must be 01 to 12");
  if (!day.ok()) {
    throw refuse("has no day " + std::string(local.substr(8, 2)) + " in month " +
                 std::string(local.substr(5, 2)) + " of " + std::string(local.substr(0, 4)));
  }
  const int hour = digitsAt(local, 11, 2);
  const int minute = digitsAt(local, 14, 2);
  const int second = digitsAt(local, 17, 2);
  if (hour > 23) throw refuse("hour must be 00 to 23");
  if (minute > 59) throw refuse("minute must be 00 to 59");
  if (second > 59) throw refuse("second must be 00 to 59");
  minutes offset{0};
  if (zone != "Z") {
    const int offsetMinutes = digitsAt(zone, 4, 2);
    if (offsetMinutes > 59) throw refuse("offset minutes must be 00 to 59");
    offset = hours(digitsAt(zone, 1, 2)) + minutes(offsetMinutes);
    if (offset > hours(14)) throw refuse("offset must be at most 14:00");
    if (zone[0] == '-') offset = -offset;
  }
  return sys_days(day) + hours(hour) + minutes(minute) + seconds(second) - offset;
}

int generateKeys(const Arguments& args, std::istream& /*in*/, std::ostream& out) {
  const auto pair = ReleaseSigning::makeKeyPair();
  writeNewKeyFile(args.required("--out"), pair.privateKey);
  out << pair.publicKey << '\n';
  return 0;
}

int publicKey(const Arguments& args, std::istream& in, std::ostream& out) {
  out << ReleaseSigning::publicKey(readKey(args.required("--key"), in)) << '\n';
  return 0;
}

int sign(const Arguments& args, std::istream& in, std::ostream& out) {
  const std::string key = readKey(args.required("--key"), in);
  const std::string archive = readFile(args.positional[0], maxArchiveBytes);
  out << ReleaseSigning::signatureText(ReleaseSigning::sign(archive, key)) << '\n';
  return 0;
}

int verify(const Arguments& args, std::istream& /*in*/, std::ostream& /*out*/) {
  const std::string archive = readFile(args.positional[0], maxArchiveBytes);
  const auto signature = ReleaseSigning::signatureBytes(args.positional[1]);
  if (!signature || !ReleaseSigning::isSigned(archive, *signature, args.required("--public-key"))) {
    throw Failure("invalid signature");
  }
  return 0;
}

// A value the feed carries as a line's text: one line, nothing a reader would take for markup.
const std::string& lineFeedValue(const std::string& option, const std::string& value,
                                 bool required = true) {
  plainFeedValue(option, value);
  if (required && value.empty()) throw Failure(option + " must not be empty");
  if (std::any_of(value.begin(), value.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
    throw Failure(option + " must be one line without control characters: " + safeText(value));
  return value;
}

// An operating system's or architecture's name: lower-case letters, digits, '_' and '-'.
std::string targetName(const std::string& option, const std::string& value) {
  if (value.empty() || !std::all_of(value.begin(), value.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
      }))
    throw Failure(option + " must be a name like linux or x86_64, not " + safeText(value));
  return value;
}

// What the launcher's own reader makes of a feed; a feed it would refuse is never written.
void checkAsTheLauncherReads(std::string_view feed, std::string_view publicKey) {
  const auto items = readFeedItems(feed, publicKey);
  if (!items) throw Failure("the launcher would refuse this feed: " + items.error());
}

int appcast(const Arguments& args, std::istream& in, std::ostream& out) {
  const std::string key = readKey(args.required("--key"), in);
  const std::string& version = lineFeedValue("--version", args.required("--version"));
  const std::int64_t build =
      integer("--build", plainFeedValue("--build", args.required("--build")));
  if (build <= 0)
    throw Failure("--build must be a positive whole number, not " + std::to_string(build));
  ReleaseSigning::ArchiveTarget target;
  if (const auto os = args.optional("--os")) target.os = targetName("--os", *os);
  if (const auto arch = args.optional("--arch")) target.arch = targetName("--arch", *arch);
  if (target.os.empty() != target.arch.empty())
    throw Failure("--os and --arch go together: give both or neither");
  const std::string& minimumSystem =
      lineFeedValue("--minimum-system", args.required("--minimum-system"), false);
  const std::string& url = args.required("--url");
  const auto date = args.optional("--date") ? isoDate(*args.optional("--date"))
                                            : std::chrono::system_clock::now();
  const std::string archive = readFile(args.required("--archive"), maxArchiveBytes);
  const std::string notes = readFile(args.required("--notes"));
  const std::string feed = ReleaseSigning::appcast(archive, version, build, notes, url,
                                                   minimumSystem, date, key, target);
  checkAsTheLauncherReads(feed, ReleaseSigning::publicKey(key));
  if (const auto path = args.optional("--out")) {
    writeFile(*path, feed);
  } else {
    out << feed;
  }
  return 0;
}

int verifyFeed(const Arguments& args, std::istream& /*in*/, std::ostream& /*out*/) {
  const std::string feed = readFile(args.positional[0]);
  if (!ReleaseSigning::isSignedFeed(feed, args.required("--public-key"))) {
    throw Failure("invalid signature");
  }
  checkAsTheLauncherReads(feed, args.required("--public-key"));
  return 0;
}

using Handler = int (*)(const Arguments&, std::istream&, std::ostream&);

Handler handlerOf(const std::string& name) {
  static const std::map<std::string, Handler> handlers = {{"generate-keys", generateKeys},
                                                          {"public-key", publicKey},
                                                          {"sign", sign},
                                                          {"verify", verify},
                                                          {"appcast", appcast},
                                                          {"verify-feed", verifyFeed}};
  return handlers.at(name);
}

}  // namespace

int runReleaseTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    (args.empty() ? err : out) << overview();
    return args.empty() ? 1 : 0;
  }
  const auto command = std::find_if(commands().begin(), commands().end(),
                                    [&](const Command& c) { return c.name == args[0]; });
  if (command == commands().end()) {
    err << "jolstrand-release: unknown command " << args[0] << "\n" << overview();
    return 1;
  }
  try {
    const Arguments parsed = parse(*command, args);
    if (parsed.help) {
      out << "usage: jolstrand-release " << command->usage << '\n';
      return 0;
    }
    return handlerOf(command->name)(parsed, in, out);
  } catch (const ReleaseSigning::KeyError&) {
    err << "jolstrand-release: the private key is not the base64 text of a 32-byte Ed25519 "
           "key\n";
  } catch (const std::exception& error) {
    err << "jolstrand-release: " << error.what() << '\n';
  }
  return 1;
}

}  // namespace jolstrand
