#pragma once
// Ed25519 signatures for releases, in the form the update framework checks: key pairs as base64
// text, signatures of update archives, one-item update feeds (appcasts) with the archive's
// signature in the enclosure, and a signature block appended to the feed text itself.
//
// Key text is standard base64 (with padding) of the raw 32-byte key: the RFC 8032 seed for a
// private key, the encoded point for a public key. Surrounding white space and line breaks are
// ignored; anything else that is not base64 of exactly 32 bytes is a bad key. Bytes travel as
// std::string. Everything here is stateless and may run on any thread; the launcher never uses
// it. Functions that take a private key throw KeyError on a bad one; verifiers never throw.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace jolstrand {

class ReleaseSigning {
 public:
  ReleaseSigning() = delete;

  /// Thrown when private key text cannot be decoded into a private key.
  class KeyError : public std::invalid_argument {
   public:
    enum Code { badKey };
    explicit KeyError(Code code = badKey);
    [[nodiscard]] Code code() const { return code_; }
    friend bool operator==(const KeyError& a, const KeyError& b) { return a.code_ == b.code_; }

   private:
    Code code_;
  };

  struct KeyPair {
    std::string privateKey;
    std::string publicKey;
  };

  /// A fresh random key pair.
  [[nodiscard]] static KeyPair makeKeyPair();
  [[nodiscard]] static std::string publicKey(std::string_view forPrivate);
  /// The 64-byte signature of every byte of data.
  [[nodiscard]] static std::string sign(std::string_view data, std::string_view privateKey);
  [[nodiscard]] static bool isSigned(std::string_view data, std::string_view signature,
                                     std::string_view publicKey) noexcept;

  /// A signature as base64 text, and back (strict base64; none when it is not).
  [[nodiscard]] static std::string signatureText(std::string_view signature);
  [[nodiscard]] static std::optional<std::string> signatureBytes(std::string_view text);

  /// What an archive is for: an operating system ("linux", "macos") and an architecture as the
  /// portable archive's name gives it ("x86_64", "aarch64").
  struct ArchiveTarget {
    std::string os;
    std::string arch;
  };

  /// The signed one-item feed for a release: the archive's signature goes into the enclosure,
  /// the notes become HTML, the date is written in the local time zone, and the whole text is
  /// signed. Version, build and minimum system version are inserted as given, unescaped.
  [[nodiscard]] static std::string appcast(std::string_view dmg, std::string_view version,
                                           std::int64_t build, std::string_view notes,
                                           std::string_view dmgURL, std::string_view minimumSystem,
                                           std::chrono::system_clock::time_point date,
                                           std::string_view privateKey);
  /// The same with the archive's target in the item, on a line of its own after the minimum
  /// system version: "<jolstrand:archive xmlns:jolstrand=\"" + jolstrandNamespace +
  /// "\" os=\"OS\" arch=\"ARCH\"/>", which readers that do not know it pass over. OS and ARCH
  /// are escaped with xmlAttr.
  [[nodiscard]] static std::string appcast(std::string_view dmg, std::string_view version,
                                           std::int64_t build, std::string_view notes,
                                           std::string_view dmgURL, std::string_view minimumSystem,
                                           std::chrono::system_clock::time_point date,
                                           std::string_view privateKey,
                                           const ArchiveTarget& target);

  /// The feed followed by a signature block over all of its bytes.
  [[nodiscard]] static std::string signFeed(std::string_view feed, std::string_view privateKey);
  /// Whether the last signature block of the feed verifies the bytes before it.
  [[nodiscard]] static bool isSignedFeed(std::string_view feed,
                                         std::string_view publicKey) noexcept;
  /// The archive signature of the feed's first enclosure, if any.
  [[nodiscard]] static std::optional<std::string> enclosureSignature(std::string_view feed);

  /// Plain-text notes as HTML: blocks separated by blank lines become paragraphs, or lists
  /// when every line starts with "- ".
  [[nodiscard]] static std::string notesHTML(std::string_view notes);
  /// Text escaped for a double-quoted XML attribute.
  [[nodiscard]] static std::string xmlAttr(std::string_view text);

  /// The update framework's XML namespace, bound to the prefix "sparkle".
  static constexpr std::string_view sparkleNamespace =
      "http://www.andymatuschak.org/xml-namespaces/sparkle";
  /// This program's own XML namespace, for what its feeds add, bound to the prefix "jolstrand".
  static constexpr std::string_view jolstrandNamespace = "urn:jolstrand:update:1";
};

}  // namespace jolstrand

template <>
struct std::hash<jolstrand::ReleaseSigning::KeyError> {
  std::size_t operator()(const jolstrand::ReleaseSigning::KeyError& error) const noexcept {
    return std::hash<int>{}(error.code());
  }
};
