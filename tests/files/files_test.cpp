// Which opened input a name leads to, the contract the companion relies on
// too; whole runs test the rest of the library through the driver.
#include <gtest/gtest.h>

#include "files/file_identity.h"
#include "files/file_streams.h"
#include "support/run_in_folder.h"

namespace tessovane2::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

TEST(Files, NamesLeadToTheFileOpenedThroughAnyLinkAndNeverPastANulByte) {
  TempFolder folder;
  const std::string a = folder.path() / "a", b = folder.path() / "b";
  writeFile(a, "input\n");
  writeFile(b, "other\n");
  fs::create_hard_link(a, folder.path() / "hard");
  fs::create_symlink("a", folder.path() / "soft");
  InputFileStream input;
  ASSERT_TRUE(input.open(folder.path() / "soft"));
  const std::optional<FileIdentity> inputs[] = {std::nullopt, input.identity()};

  const std::vector<std::pair<std::string, std::optional<std::size_t>>> cases = {
      {a, 1},
      {folder.path() / "hard", 1},
      {folder.path() / "./soft", 1},
      {b, std::nullopt},
      {folder.path() / "none", std::nullopt},
      {a + "\0"s, std::nullopt},
      {a + "\0x"s, std::nullopt},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(inputNamed(name, inputs), expected) << name;

  // Neither a NUL byte nor a directory opens as an input.
  for (const std::string& name : {a + "\0"s, folder.path().string()}) {
    InputFileStream refused;
    EXPECT_FALSE(refused.open(name));
    EXPECT_FALSE(refused.is_open());
    EXPECT_TRUE(refused.fail());
  }
}

}  // namespace
}  // namespace tessovane2::testing
