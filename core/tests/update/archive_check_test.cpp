#include "jolstrand/update/archive_check.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "jolstrand/release_signing.hpp"
#include "named_pipe.hpp"

namespace jolstrand {
namespace {

using ::testing::HasSubstr;
using Signing = ReleaseSigning;

class ArchiveCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    item.length = archive.size();
    item.signature = Signing::sign(archive, key.privateKey);
    folder =
        std::filesystem::temp_directory_path() / ("archive_check_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::string write(std::string_view bytes) {
    const std::string path = folder / "update.tar.gz";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  Signing::KeyPair key = Signing::makeKeyPair();
  std::string archive = std::string(1000, 'x') + "the archive's last bytes";
  UpdateItem item;
  std::filesystem::path folder;
};

TEST_F(ArchiveCheck, AcceptsTheSignedArchiveOfTheRightLength) {
  EXPECT_EQ(checkArchive(archive, item, key.publicKey), std::nullopt);
  EXPECT_EQ(checkArchiveFile(write(archive), item, key.publicKey), std::nullopt);
  // What was verified is what the caller gets to use.
  const Checked<ArchiveBytes> read = readCheckedArchive(write(archive), item, key.publicKey);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read->bytes(), archive);
  std::string flipped = archive;
  flipped.back() ^= 0x01;
  EXPECT_THAT(readCheckedArchive(write(flipped), item, key.publicKey).error(),
              HasSubstr("signature does not verify"));
}

TEST_F(ArchiveCheck, RefusesAWrongLength) {
  const std::string longer = archive + "!";
  EXPECT_THAT(checkArchive(longer, item, key.publicKey), ::testing::Optional(HasSubstr("bytes")));
  EXPECT_THAT(checkArchiveFile(write(longer), item, key.publicKey),
              ::testing::Optional(HasSubstr("has 1025 bytes, the feed says 1024")));
}

TEST_F(ArchiveCheck, RefusesAFlippedByteOrAnotherKey) {
  for (const std::size_t at : {std::size_t{0}, archive.size() / 2, archive.size() - 1}) {
    std::string flipped = archive;
    flipped[at] ^= 0x01;
    EXPECT_THAT(checkArchive(flipped, item, key.publicKey),
                ::testing::Optional(HasSubstr("signature does not verify")));
    EXPECT_THAT(checkArchiveFile(write(flipped), item, key.publicKey),
                ::testing::Optional(HasSubstr("signature does not verify")));
  }
  const std::string otherKey = Signing::makeKeyPair().publicKey;
  EXPECT_THAT(checkArchive(archive, item, otherKey),
              ::testing::Optional(HasSubstr("signature does not verify")));
  UpdateItem signedByOther = item;
  signedByOther.signature = Signing::sign(archive, Signing::makeKeyPair().privateKey);
  EXPECT_NE(checkArchive(archive, signedByOther, key.publicKey), std::nullopt);
}

TEST_F(ArchiveCheck, RefusesWhatIsNotAReadableRegularFile) {
  EXPECT_THAT(checkArchiveFile((folder / "missing").string(), item, key.publicKey),
              ::testing::Optional(HasSubstr("couldn't open")));
  EXPECT_THAT(checkArchiveFile(folder.string(), item, key.publicKey),
              ::testing::Optional(HasSubstr("not a regular file")));
  const std::string target = write(archive);
  std::filesystem::create_symlink(target, folder / "link");
  EXPECT_THAT(checkArchiveFile((folder / "link").string(), item, key.publicKey),
              ::testing::Optional(HasSubstr("couldn't open")));

  const std::string pipe = testing::makeNamedPipe((folder / "pipe").string());
  std::optional<std::string> refusal;
  EXPECT_TRUE(testing::finishesWithoutWaitingOn(
      pipe, [&] { refusal = checkArchiveFile(pipe, item, key.publicKey); }));
  EXPECT_THAT(refusal, ::testing::Optional(HasSubstr("not a regular file")));
}

}  // namespace
}  // namespace jolstrand
