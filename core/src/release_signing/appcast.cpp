#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>

#include <charconv>
#include <memory>
#include <vector>

#include "icu_text.hpp"
#include "jolstrand/release_signing.hpp"
#include "signing_keys.hpp"

namespace jolstrand {
namespace {

constexpr std::string_view signatureMarker = "<!-- sparkle-signatures:\n";

std::string replaced(std::string_view text, std::string_view what, std::string_view with) {
  std::string out;
  for (std::size_t at = 0;;) {
    const std::size_t found = text.find(what, at);
    out.append(text.substr(at, found - at));
    if (found == std::string_view::npos) return out;
    out.append(with);
    at = found + what.size();
  }
}

std::string escapedNote(std::string_view text) {
  return replaced(replaced(replaced(text, "&", "&amp;"), "<", "&lt;"), ">", "&gt;");
}

std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> pieces;
  for (std::size_t at = 0;;) {
    const std::size_t found = text.find(separator, at);
    pieces.push_back(text.substr(at, found - at));
    if (found == std::string_view::npos) return pieces;
    at = found + separator.size();
  }
}

std::string_view strippedOfSpacesAndTabs(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// A decimal integer with an optional sign, the whole text; none when empty, malformed or out of
// range.
std::optional<std::int64_t> decimal(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// "EEE, dd MMM yyyy HH:mm:ss Z" in English, in the machine's time zone.
std::string rfc822Date(std::chrono::system_clock::time_point date) {
  UErrorCode status = U_ZERO_ERROR;
  icu::SimpleDateFormat format(icu::UnicodeString("EEE, dd MMM yyyy HH:mm:ss Z"),
                               icu::Locale("en_US_POSIX"), status);
  if (U_FAILURE(status)) throw std::runtime_error("the date formatter could not be made");
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch()).count();
  icu::UnicodeString text;
  format.format(static_cast<UDate>(milliseconds), text);
  return detail::encodeUtf8(text);
}

}  // namespace

std::string ReleaseSigning::appcast(std::string_view dmg, std::string_view version,
                                    std::int64_t build, std::string_view notes,
                                    std::string_view dmgURL, std::string_view minimumSystem,
                                    std::chrono::system_clock::time_point date,
                                    std::string_view privateKey) {
  return appcast(dmg, version, build, notes, dmgURL, minimumSystem, date, privateKey, {});
}

std::string ReleaseSigning::appcast(std::string_view dmg, std::string_view version,
                                    std::int64_t build, std::string_view notes,
                                    std::string_view dmgURL, std::string_view minimumSystem,
                                    std::chrono::system_clock::time_point date,
                                    std::string_view privateKey, const ArchiveTarget& target) {
  const std::string archiveSignature =
      detail::encodeBase64(detail::PrivateKey(privateKey).sign(dmg));
  std::string feed;
  const auto line = [&](std::initializer_list<std::string_view> pieces) {
    for (const std::string_view piece : pieces) feed.append(piece);
    feed += '\n';
  };
  line({R"(<?xml version="1.0" encoding="utf-8"?>)"});
  line({R"(<rss version="2.0" xmlns:sparkle=")", sparkleNamespace, R"(">)"});
  line({"<channel>"});
  line({"<title>Jolstrand</title>"});
  line({"<item>"});
  line({"<title>Jolstrand ", version, "</title>"});
  line({"<pubDate>", rfc822Date(date), "</pubDate>"});
  line({"<sparkle:version>", std::to_string(build), "</sparkle:version>"});
  line({"<sparkle:shortVersionString>", version, "</sparkle:shortVersionString>"});
  line({"<sparkle:minimumSystemVersion>", minimumSystem, "</sparkle:minimumSystemVersion>"});
  if (!target.os.empty() || !target.arch.empty()) {
    line({R"(<jolstrand:archive xmlns:jolstrand=")", jolstrandNamespace, R"(" os=")",
          xmlAttr(target.os), R"(" arch=")", xmlAttr(target.arch), R"("/>)"});
  }
  line({"<description><![CDATA["});
  feed += notesHTML(notes);
  line({"]]></description>"});
  line({R"(<enclosure url=")", xmlAttr(dmgURL), R"(" length=")", std::to_string(dmg.size()),
        R"(" type="application/octet-stream" sparkle:edSignature=")", archiveSignature, R"("/>)"});
  line({"</item>"});
  line({"</channel>"});
  line({"</rss>"});
  return signFeed(feed, privateKey);
}

std::string ReleaseSigning::signFeed(std::string_view feed, std::string_view privateKey) {
  const std::string signature = detail::PrivateKey(privateKey).sign(feed);
  std::string signedFeed(feed);
  signedFeed.append(signatureMarker);
  signedFeed.append("edSignature: " + detail::encodeBase64(signature) + "\n");
  signedFeed.append("length: " + std::to_string(feed.size()) + "\n-->\n");
  return signedFeed;
}

bool ReleaseSigning::isSignedFeed(std::string_view feed, std::string_view publicKey) noexcept {
  try {
    const std::size_t marker = feed.rfind(signatureMarker);
    if (marker == std::string_view::npos) return false;
    const std::string_view signedText = feed.substr(0, marker);
    const std::string_view tail = feed.substr(marker + signatureMarker.size());
    if (!detail::isValidUtf8(tail)) return false;
    std::optional<std::string> signature;
    std::optional<std::int64_t> length;
    bool anyLine = false;
    for (const std::string_view line : split(tail, "\n")) {
      if (line.empty()) continue;
      anyLine = true;
      if (line.starts_with("edSignature:")) {
        signature = detail::decodeBase64(strippedOfSpacesAndTabs(line.substr(12)));
      } else if (line.starts_with("length:")) {
        length = decimal(strippedOfSpacesAndTabs(line.substr(7)));
      }
    }
    if (!anyLine || !signature || !length ||
        *length != static_cast<std::int64_t>(signedText.size())) {
      return false;
    }
    return detail::verifies(signedText, *signature, publicKey);
  } catch (...) {  // only allocation can fail here
    return false;
  }
}

std::optional<std::string> ReleaseSigning::enclosureSignature(std::string_view feed) {
  if (!detail::isValidUtf8(feed)) return std::nullopt;
  constexpr std::string_view attribute = "sparkle:edSignature=\"";
  // The first place where the attribute is followed by a non-empty value and its closing quote.
  for (std::size_t at = feed.find(attribute); at != std::string_view::npos;
       at = feed.find(attribute, at + 1)) {
    const std::size_t value = at + attribute.size();
    const std::size_t close = feed.find('"', value);
    if (close == std::string_view::npos) return std::nullopt;
    if (close > value) return detail::decodeBase64(feed.substr(value, close - value));
  }
  return std::nullopt;
}

std::string ReleaseSigning::notesHTML(std::string_view notes) {
  const std::string text = replaced(notes, "\r\n", "\n");
  std::string html;
  for (const std::string_view block : split(text, "\n\n")) {
    std::vector<std::string_view> lines;
    for (const std::string_view line : split(block, "\n")) {
      if (!line.empty()) lines.push_back(line);
    }
    if (lines.empty()) continue;
    const bool list = std::all_of(lines.begin(), lines.end(),
                                  [](std::string_view line) { return line.starts_with("- "); });
    if (list) {
      html += "<ul>";
      for (const std::string_view line : lines)
        html += "<li>" + escapedNote(line.substr(2)) + "</li>";
      html += "</ul>\n";
    } else {
      html += "<p>";
      for (std::size_t i = 0; i < lines.size(); ++i)
        html += (i > 0 ? " " : "") + escapedNote(lines[i]);
      html += "</p>\n";
    }
  }
  return html;
}

std::string ReleaseSigning::xmlAttr(std::string_view text) {
  return replaced(replaced(replaced(text, "&", "&amp;"), "\"", "&quot;"), "<", "&lt;");
}

}  // namespace jolstrand
