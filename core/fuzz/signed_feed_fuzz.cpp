// Arbitrary bytes as a signed update feed: checking its signature block may never crash, hang
// or throw. Half the runs use a feed really signed with the fuzz key, then mutated, so that the
// parsing of a well-formed block is reached as well.

#include <cstddef>
#include <cstdint>
#include <string>

#include "jolstrand/release_signing.hpp"

namespace {

const std::string& privateKey() {
  static const std::string key = jolstrand::ReleaseSigning::makeKeyPair().privateKey;
  return key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using jolstrand::ReleaseSigning;
  static const std::string publicKey = ReleaseSigning::publicKey(privateKey());
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  (void)ReleaseSigning::isSignedFeed(bytes, publicKey);
  (void)ReleaseSigning::isSignedFeed(bytes, bytes);  // the bytes as a public key too
  if (!bytes.empty() && bytes[0] == 'S') {
    const std::string signedFeed = ReleaseSigning::signFeed(bytes.substr(1), privateKey());
    if (!ReleaseSigning::isSignedFeed(signedFeed, publicKey)) __builtin_trap();
  }
  return 0;
}
