#include "feed_text.hpp"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

#include "icu_text.hpp"
#include "jolstrand/release_signing.hpp"

namespace jolstrand::detail {
namespace {

using Items = std::vector<UpdateItem>;

constexpr std::string_view signatureMarker = "<!-- sparkle-signatures:\n";

// Walks the text line by line, each line ending in a line feed; remembers the line number for
// messages.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}

  [[nodiscard]] bool atEnd() const { return at_ == text_.size(); }
  [[nodiscard]] std::size_t number() const { return number_; }
  [[nodiscard]] std::string_view rest() const { return text_.substr(at_); }

  /// The next line without its line feed; none at the end or when the line has no line feed.
  std::optional<std::string_view> next() {
    ++number_;
    const std::size_t end = text_.find('\n', at_);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = text_.substr(at_, end - at_);
    at_ = end + 1;
    return line;
  }

  /// Moves past count bytes that are known to be whole lines.
  void skip(std::size_t count) {
    for (std::size_t i = at_; i < at_ + count; ++i) number_ += text_[i] == '\n' ? 1 : 0;
    at_ += count;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t number_ = 0;  // of the line last asked for
};

std::string lineError(const Lines& lines, std::string_view expected) {
  return "line " + std::to_string(lines.number()) + " of the feed is not " + std::string(expected);
}

// The text of "<name>text</name>", which may not contain '<'.
std::optional<std::string_view> elementText(std::string_view line, std::string_view name) {
  const std::string open = "<" + std::string(name) + ">";
  const std::string close = "</" + std::string(name) + ">";
  if (!line.starts_with(open) || !line.ends_with(close) || line.size() < open.size() + close.size())
    return std::nullopt;
  const std::string_view text = line.substr(open.size(), line.size() - open.size() - close.size());
  if (text.find('<') != std::string_view::npos) return std::nullopt;
  return text;
}

// Reads the next line as <name>text</name> into out.
std::optional<std::string> readElement(Lines& lines, std::string_view name, std::string& out,
                                       bool required) {
  const std::string shape = "<" + std::string(name) + ">...</" + std::string(name) + ">";
  const auto line = lines.next();
  const auto text = line ? elementText(*line, name) : std::nullopt;
  if (!text) return lineError(lines, shape);
  if (required && text->empty()) return "the feed's " + std::string(name) + " is empty";
  out = *text;
  return std::nullopt;
}

std::optional<std::string> expectLine(Lines& lines, std::string_view expected) {
  const auto line = lines.next();
  if (line && *line == expected) return std::nullopt;
  return lineError(lines, expected);
}

// Takes `lead` followed by a value up to the next double quote off rest.
std::optional<std::string_view> takeAttribute(std::string_view& rest, std::string_view lead) {
  if (!rest.starts_with(lead)) return std::nullopt;
  rest.remove_prefix(lead.size());
  const std::size_t quote = rest.find('"');
  if (quote == std::string_view::npos) return std::nullopt;
  const std::string_view value = rest.substr(0, quote);
  rest.remove_prefix(quote + 1);
  return value;
}

// An attribute value with its XML entities decoded; none for a raw '<' or an unknown entity.
std::optional<std::string> decodedAttribute(std::string_view value) {
  static constexpr std::pair<std::string_view, char> entities[] = {
      {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}};
  std::string out;
  while (!value.empty()) {
    if (value.front() == '<') return std::nullopt;
    if (value.front() != '&') {
      out += value.front();
      value.remove_prefix(1);
      continue;
    }
    bool known = false;
    for (const auto& [entity, character] : entities) {
      if (!value.starts_with(entity)) continue;
      out += character;
      value.remove_prefix(entity.size());
      known = true;
      break;
    }
    if (!known) return std::nullopt;
  }
  return out;
}

std::optional<std::string> checkArchiveAddress(std::string_view url) {
  constexpr std::string_view scheme = "https://";
  if (!url.starts_with(scheme)) return "the archive's address does not begin with https://";
  if (url.size() == scheme.size() || url[scheme.size()] == '/')
    return "the archive's address has no host";
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte == 0x7F) return "the archive's address contains a space or control";
  }
  return std::nullopt;
}

std::optional<std::uint64_t> positiveDecimal(std::string_view text) {
  std::uint64_t value = 0;
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value == 0) return std::nullopt;
  return value;
}

std::optional<std::string> readEnclosure(Lines& lines, UpdateItem& item) {
  constexpr std::string_view shape =
      R"(<enclosure url="..." length="..." type="..." sparkle:edSignature="..."/>)";
  const auto line = lines.next();
  if (!line) return lineError(lines, shape);
  std::string_view rest = *line;
  const auto url = takeAttribute(rest, R"(<enclosure url=")");
  const auto length = url ? takeAttribute(rest, R"( length=")") : std::nullopt;
  const auto type = length ? takeAttribute(rest, R"( type=")") : std::nullopt;
  const auto signature = type ? takeAttribute(rest, R"( sparkle:edSignature=")") : std::nullopt;
  if (!signature || rest != "/>") return lineError(lines, shape);

  const auto decodedUrl = decodedAttribute(*url);
  if (!decodedUrl) return "the archive's address is not a well-formed attribute";
  if (auto error = checkArchiveAddress(*decodedUrl)) return error;
  const auto size = positiveDecimal(*length);
  if (!size) return "the archive's length is not a positive whole number";
  if (type->find_first_of("&<") != std::string_view::npos)
    return "the archive's type is not a well-formed attribute";
  const auto signatureBytes = ReleaseSigning::signatureBytes(*signature);
  if (!signatureBytes || signatureBytes->size() != 64)
    return "the archive's signature is not 64 bytes of base64";

  item.url = *decodedUrl;
  item.length = *size;
  item.type = *type;
  item.signature = *signatureBytes;
  return std::nullopt;
}

// The release notes between "<description><![CDATA[" and "]]></description>", each on its own
// line.
std::optional<std::string> readDescription(Lines& lines, UpdateItem& item) {
  if (auto error = expectLine(lines, "<description><![CDATA[")) return error;
  const std::string_view rest = lines.rest();
  const std::size_t end = rest.find("]]>");
  if (end == std::string_view::npos || (end > 0 && rest[end - 1] != '\n'))
    return "the release notes after line " + std::to_string(lines.number()) + " are not closed";
  item.notesHTML = rest.substr(0, end);
  lines.skip(end);
  return expectLine(lines, "]]></description>");
}

bool isNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.';
}

// The qualified name "prefix:name" at the start of a line that opens an element, or none.
std::optional<std::string_view> qualifiedName(std::string_view line) {
  if (!line.starts_with('<')) return std::nullopt;
  std::size_t end = 1;
  while (end < line.size() && (isNameCharacter(line[end]) || line[end] == ':')) ++end;
  const std::string_view name = line.substr(1, end - 1);
  const std::size_t colon = name.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == name.size() ||
      name.find(':', colon + 1) != std::string_view::npos)
    return std::nullopt;
  return name;
}

// An element of another vocabulary than RSS's and the update framework's, on one line of its own:
// "<p:name attributes/>" or "<p:name attributes>text</p:name>", with no markup inside. Such lines
// are what later writers may add to an item; readers that do not know them pass over them.
bool isForeignElement(std::string_view line) {
  const auto name = qualifiedName(line);
  if (!name || name->starts_with("sparkle:")) return false;
  std::string_view rest = line.substr(1 + name->size());
  if (!rest.empty() && rest.front() != ' ' && rest.front() != '/' && rest.front() != '>')
    return false;
  if (rest.ends_with("/>")) {
    rest.remove_suffix(2);
    return rest.find_first_of("<>") == std::string_view::npos;
  }
  const std::string close = "</" + std::string(*name) + ">";
  if (!rest.ends_with(close)) return false;
  rest.remove_suffix(close.size());
  return rest.find('<') == std::string_view::npos && std::count(rest.begin(), rest.end(), '>') == 1;
}

// The value of the attribute name="..." in an element's line, entities decoded.
std::optional<std::string> attributeOf(std::string_view line, std::string_view name) {
  const std::string lead = " " + std::string(name) + "=\"";
  const std::size_t at = line.find(lead);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = line.substr(at);
  const auto value = takeAttribute(rest, lead);
  return value ? decodedAttribute(*value) : std::nullopt;
}

// Lines of other vocabularies between the item's versions and its description; the archive's
// target (this program's own vocabulary) is read, every other one passed over.
std::optional<std::string> readForeignElements(Lines& lines, UpdateItem& item) {
  for (;;) {
    const std::string_view rest = lines.rest();
    const std::string_view line = rest.substr(0, rest.find('\n'));
    if (line.size() == rest.size() || !isForeignElement(line)) return std::nullopt;
    (void)lines.next();
    if (!line.starts_with("<jolstrand:archive ")) continue;
    if (attributeOf(line, "xmlns:jolstrand") != ReleaseSigning::jolstrandNamespace)
      return lineError(lines, "an archive target in the namespace " +
                                  std::string(ReleaseSigning::jolstrandNamespace));
    const auto os = attributeOf(line, "os");
    const auto arch = attributeOf(line, "arch");
    if (!os || !arch || os->empty() || arch->empty())
      return lineError(lines, R"(<jolstrand:archive ... os="..." arch="..."/>)");
    item.os = *os;
    item.arch = *arch;
  }
}

std::optional<std::string> readItem(Lines& lines, UpdateItem& item) {
  std::optional<std::string> error;
  (error = readElement(lines, "title", item.title, false)) ||
      (error = readElement(lines, "pubDate", item.pubDate, false)) ||
      (error = readElement(lines, "sparkle:version", item.build, true)) ||
      (error = readElement(lines, "sparkle:shortVersionString", item.displayVersion, true)) ||
      (error =
           readElement(lines, "sparkle:minimumSystemVersion", item.minimumSystemVersion, false)) ||
      (error = readForeignElements(lines, item)) || (error = readDescription(lines, item)) ||
      (error = readEnclosure(lines, item)) || (error = expectLine(lines, "</item>"));
  return error;
}

std::optional<std::string> readChannelHead(Lines& lines) {
  const std::string rss = R"(<rss version="2.0" xmlns:sparkle=")" +
                          std::string(ReleaseSigning::sparkleNamespace) + R"(">)";
  std::string channelTitle;
  std::optional<std::string> error;
  (error = expectLine(lines, R"(<?xml version="1.0" encoding="utf-8"?>)")) ||
      (error = expectLine(lines, rss)) || (error = expectLine(lines, "<channel>")) ||
      (error = readElement(lines, "title", channelTitle, false));
  return error;
}

}  // namespace

std::string_view signedText(std::string_view feed) {
  return feed.substr(0, feed.rfind(signatureMarker));
}

Checked<Items> parseFeedText(std::string_view text) {
  if (!isValidUtf8(text) || text.find('\0') != std::string_view::npos)
    return Checked<Items>::failure("the feed is not UTF-8 text");
  Lines lines(text);
  if (auto error = readChannelHead(lines)) return Checked<Items>::failure(*error);
  Items items;
  while (lines.rest().starts_with("<item>\n")) {
    (void)lines.next();
    UpdateItem item;
    if (auto error = readItem(lines, item)) return Checked<Items>::failure(*error);
    items.push_back(std::move(item));
  }
  if (items.empty()) return Checked<Items>::failure("the feed has no item");
  std::optional<std::string> error;
  (error = expectLine(lines, "</channel>")) || (error = expectLine(lines, "</rss>"));
  if (!error && !lines.atEnd()) error = "the feed goes on after </rss>";
  if (error) return Checked<Items>::failure(*error);
  return items;
}

}  // namespace jolstrand::detail
