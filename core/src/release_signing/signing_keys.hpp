#pragma once
// Key text, base64 and the raw Ed25519 operations behind ReleaseSigning.

#include <sodium.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace jolstrand::detail {

/// Strict standard base64 (padding required, nothing skipped); none unless all of it decodes.
[[nodiscard]] std::optional<std::string> decodeBase64(std::string_view text);
[[nodiscard]] std::string encodeBase64(std::string_view bytes);

/// Key text without the white space and line breaks around it.
[[nodiscard]] std::string_view strippedKeyText(std::string_view text);

/// A decoded private key, wiped from memory when it goes.
class PrivateKey {
 public:
  /// Throws ReleaseSigning::KeyError for text that is not a private key.
  explicit PrivateKey(std::string_view text);
  PrivateKey(const PrivateKey&) = delete;
  PrivateKey& operator=(const PrivateKey&) = delete;
  ~PrivateKey();

  [[nodiscard]] std::string publicKeyBytes() const;
  [[nodiscard]] std::string sign(std::string_view data) const;

 private:
  std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> public_{};
  std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secret_{};  // seed, then public key
};

/// Whether signature is a valid Ed25519 signature of data under the public key text.
[[nodiscard]] bool verifies(std::string_view data, std::string_view signature,
                            std::string_view publicKeyText) noexcept;

}  // namespace jolstrand::detail
