// Which file a name or an opened stream is, and opening by name without ever
// writing over an input.
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

TEST(Files, AnOutputIsCreatedOrEmptiedUnlessItIsAnInput) {
  TempFolder folder;
  const std::string a = folder.path() / "a", b = folder.path() / "b";
  writeFile(a, "input\n");
  writeFile(b, "old\n");
  InputFileStream input;
  ASSERT_TRUE(input.open(a));
  const std::optional<FileIdentity> inputs[] = {input.identity()};

  OutputFileStream ontoInput;
  const OutputOpening refused = ontoInput.open(folder.path() / "./a", inputs);
  EXPECT_FALSE(refused.opened);
  EXPECT_EQ(refused.input, std::optional<std::size_t>(0));
  EXPECT_FALSE(ontoInput.open(folder.path() / "c\0d"s, inputs).opened);

  OutputFileStream output;
  const OutputOpening opened = output.open(b, inputs);
  EXPECT_TRUE(opened.opened);
  EXPECT_FALSE(opened.input);
  output << "new\n";
  output.close();
  EXPECT_FALSE(output.fail());
  EXPECT_EQ(readFolder(folder.path()),
            (std::map<std::string, std::string>{{"a", "input\n"}, {"b", "new\n"}}));

  // Removed only while the name still leads to the file written.
  fs::rename(a, b);
  EXPECT_FALSE(removeFileStillNamed(b, output.identity()));
  EXPECT_EQ(readFile(b), "input\n");
  EXPECT_TRUE(removeFileStillNamed(b, input.identity()));
  EXPECT_TRUE(fs::is_empty(folder.path()));
}

}  // namespace
}  // namespace tessovane2::testing
