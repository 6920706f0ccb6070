#include "signing_keys.hpp"

#include <stdexcept>

#include "jolstrand/release_signing.hpp"

namespace jolstrand {
namespace detail {
namespace {

// libsodium must be set up once before use; repeated calls are cheap and thread-safe.
void ensureSodium() {
  if (sodium_init() < 0) throw std::runtime_error("libsodium could not be initialised");
}

}  // namespace

std::optional<std::string> decodeBase64(std::string_view text) {
  std::string bytes(text.size() / 4 * 3 + 3, '\0');
  std::size_t length = 0;
  const char* end = nullptr;
  if (sodium_base642bin(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size(), text.data(),
                        text.size(), nullptr, &length, &end, sodium_base64_VARIANT_ORIGINAL) != 0 ||
      end != text.data() + text.size()) {
    return std::nullopt;
  }
  bytes.resize(length);
  return bytes;
}

std::string encodeBase64(std::string_view bytes) {
  std::string text(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
  sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(bytes.data()),
                    bytes.size(), sodium_base64_VARIANT_ORIGINAL);
  text.resize(text.size() - 1);  // the terminating NUL
  return text;
}

std::string_view strippedKeyText(std::string_view text) {
  constexpr std::string_view space = " \t\n\r\v\f";
  const std::size_t start = text.find_first_not_of(space);
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(space) - start + 1);
}

PrivateKey::PrivateKey(std::string_view text) {
  ensureSodium();
  std::optional<std::string> seed = decodeBase64(strippedKeyText(text));
  if (!seed || seed->size() != crypto_sign_SEEDBYTES) {
    if (seed) sodium_memzero(seed->data(), seed->size());
    throw ReleaseSigning::KeyError(ReleaseSigning::KeyError::badKey);
  }
  crypto_sign_seed_keypair(public_.data(), secret_.data(),
                           reinterpret_cast<const unsigned char*>(seed->data()));
  sodium_memzero(seed->data(), seed->size());
}

PrivateKey::~PrivateKey() {
  sodium_memzero(secret_.data(), secret_.size());
}

std::string PrivateKey::publicKeyBytes() const {
  return {reinterpret_cast<const char*>(public_.data()), public_.size()};
}

std::string PrivateKey::sign(std::string_view data) const {
  std::string signature(crypto_sign_BYTES, '\0');
  if (crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                           reinterpret_cast<const unsigned char*>(data.data()), data.size(),
                           secret_.data()) != 0) {
    throw std::runtime_error("Ed25519 signing failed");
  }
  return signature;
}

bool verifies(std::string_view data, std::string_view signature,
              std::string_view publicKeyText) noexcept {
  if (sodium_init() < 0 || signature.size() != crypto_sign_BYTES) return false;
  const auto key = decodeBase64(strippedKeyText(publicKeyText));
  if (!key || key->size() != crypto_sign_PUBLICKEYBYTES) return false;
  return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                     reinterpret_cast<const unsigned char*>(data.data()),
                                     data.size(),
                                     reinterpret_cast<const unsigned char*>(key->data())) == 0;
}

}  // namespace detail

ReleaseSigning::KeyError::KeyError(Code code)
    : std::invalid_argument("bad key: not the base64 text of a 32-byte Ed25519 key"), code_(code) {}

ReleaseSigning::KeyPair ReleaseSigning::makeKeyPair() {
  std::array<unsigned char, crypto_sign_SEEDBYTES> seed{};
  detail::ensureSodium();
  randombytes_buf(seed.data(), seed.size());
  const std::string privateText =
      detail::encodeBase64({reinterpret_cast<const char*>(seed.data()), seed.size()});
  sodium_memzero(seed.data(), seed.size());
  return {privateText, publicKey(privateText)};
}

std::string ReleaseSigning::publicKey(std::string_view forPrivate) {
  return detail::encodeBase64(detail::PrivateKey(forPrivate).publicKeyBytes());
}

std::string ReleaseSigning::sign(std::string_view data, std::string_view privateKey) {
  return detail::PrivateKey(privateKey).sign(data);
}

std::string ReleaseSigning::signatureText(std::string_view signature) {
  return detail::encodeBase64(signature);
}

std::optional<std::string> ReleaseSigning::signatureBytes(std::string_view text) {
  return detail::decodeBase64(text);
}

bool ReleaseSigning::isSigned(std::string_view data, std::string_view signature,
                              std::string_view publicKey) noexcept {
  return detail::verifies(data, signature, publicKey);
}

}  // namespace jolstrand
