#include "config/RegistryKey.h"

#include "config/RegistryError.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// "k\\k\\..." with depth components.
std::string PathOfDepth(std::size_t depth)
{
    std::string path = "k";
    for (std::size_t level = 1; level < depth; ++level)
        path += "\\k";
    return path;
}

TEST(RegistryKey, NamesCompareWithoutLetterCaseAndKeepTheirFirstSpelling)
{
    RegistryKey root;
    root.CreateKey("SOFTWARE\\Mirvo\\Vorlane").SetValue("RasConnection", StringValue("|A"));
    auto& same = root.CreateKey("Software\\MIRVO\\vorlane");
    EXPECT_EQ(&same, root.OpenKey("software\\mirvo\\VORLANE"));
    EXPECT_EQ(same.Name(), "Vorlane");
    same.SetValue("RASConnection", StringValue("|B"));
    ASSERT_EQ(same.Values().size(), 1u);
    EXPECT_EQ(same.Values()[0].first, "RasConnection");
    EXPECT_EQ(ReadString(*same.FindValue("rasconnection"), "x"), "|B");
}

TEST(RegistryKey, ListsSubkeysAlphabeticallyWithoutLetterCaseAndValuesInOrderSet)
{
    RegistryKey key;
    for (const char* name : {"work", "Beta", "alpha", "Zulu", "_x", "10"})
        key.CreateKey(name);
    EXPECT_EQ(key.SubkeyNames(),
              (std::vector<std::string>{"10", "alpha", "Beta", "work", "Zulu", "_x"}));
    key.SetValue("b", IntegerValue(1));
    key.SetValue("A", IntegerValue(2));
    key.SetValue("", StringValue("default"));
    EXPECT_EQ(key.Values()[0].first, "b");
    EXPECT_EQ(key.Values()[1].first, "A");
    EXPECT_NE(key.FindValue(""), nullptr);
}

TEST(RegistryKey, DeletingAValueKeepsTheOthersInOrderAndFindable)
{
    RegistryKey key;
    for (const char* name : {"a", "b", "c", "d"})
        key.SetValue(name, StringValue(name));
    EXPECT_TRUE(key.DeleteValue("B"));
    EXPECT_FALSE(key.DeleteValue("b"));
    key.SetValue("C", StringValue("changed"));
    key.SetValue("B", StringValue("again"));
    const std::vector<RegistryKey::NamedValue> expected = {{"a", StringValue("a")},
                                                           {"c", StringValue("changed")},
                                                           {"d", StringValue("d")},
                                                           {"B", StringValue("again")}};
    EXPECT_EQ(key.Values(), expected);
    for (const auto& [name, value] : expected)
        EXPECT_EQ(*key.FindValue(name), value) << name;
}

TEST(RegistryKey, CopiesAreDeepAndKeysStayInPlace)
{
    RegistryKey root;
    auto& first = root.CreateKey("M\\First");
    for (int i = 0; i < 1000; ++i)
        root.CreateKey("M\\K" + std::to_string(i));
    first.SetValue("v", IntegerValue(1)); // still the key inside root
    EXPECT_EQ(*root.OpenKey("m\\first")->FindValue("v"), IntegerValue(1));

    RegistryKey copy = root;
    copy.OpenKey("M\\First")->SetValue("v", IntegerValue(2));
    copy.DeleteKey("M\\K5");
    EXPECT_EQ(*root.OpenKey("M\\First")->FindValue("v"), IntegerValue(1));
    EXPECT_NE(root.OpenKey("M\\K5"), nullptr);
    EXPECT_NE(copy, root);
    copy = root;
    EXPECT_EQ(copy, root);
}

TEST(RegistryKey, DeleteKeyRemovesEverythingBelow)
{
    RegistryKey root;
    root.CreateKey("A\\B\\C").SetValue("v", IntegerValue(1));
    root.CreateKey("A\\D");
    EXPECT_TRUE(root.DeleteKey("a\\b"));
    EXPECT_EQ(root.OpenKey("A\\B\\C"), nullptr);
    EXPECT_NE(root.OpenKey("A\\D"), nullptr);
    EXPECT_FALSE(root.DeleteKey("A\\B"));
    EXPECT_FALSE(root.DeleteKey("X\\Y"));
}

TEST(RegistryKey, RefusesNamesTheFileCannotKeep)
{
    RegistryKey root;
    for (const char* path : {"", "A\\", "\\A", "A\\\\B", "line\nbreak", "cr\rname"})
        EXPECT_THROW(root.CreateKey(path), RegistryError) << path;
    try {
        root.CreateKey("A\\");
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Failed to create key A\\");
    }
    EXPECT_THROW(root.SetValue("two\nlines", IntegerValue(1)), RegistryError);
    EXPECT_EQ(root.OpenKey(""), nullptr);
    EXPECT_TRUE(root.Subkeys().empty());
}

TEST(RegistryKey, RefusesPathsDeeperThanTheRegistryAllows)
{
    RegistryKey root;
    EXPECT_NO_THROW(root.CreateKey(PathOfDepth(512)));
    const RegistryKey before = root;
    for (const std::size_t depth : {513, 100000}) {
        try {
            root.CreateKey(PathOfDepth(depth));
            ADD_FAILURE() << "created a key " << depth << " levels deep";
        } catch (const RegistryError& error) {
            EXPECT_EQ(error.what(), "Failed to create key " + PathOfDepth(depth));
        }
    }
    EXPECT_EQ(root, before);
}

TEST(MoveKey, CopiesValuesAndSubkeysThenDeletesTheSource)
{
    RegistryKey root;
    auto& source = root.CreateKey("Old");
    source.SetValue("Text", StringValue("t"));
    source.SetValue("Empty", StringValue(""));              // no data: not copied
    source.SetValue("Multi", {7, std::string("a\0\0", 3)}); // unknown kind: becomes REG_NONE
    source.SetValue("", StringValue("default"));
    source.CreateKey("Entry\\Deeper").SetValue("Number", IntegerValue(5));

    MoveKey(root, "Old", "New");

    EXPECT_EQ(root.OpenKey("Old"), nullptr);
    const auto* moved = root.OpenKey("New");
    ASSERT_NE(moved, nullptr);
    ASSERT_EQ(moved->Values().size(), 3u);
    EXPECT_EQ(moved->Values()[0].first, ""); // the default value first
    EXPECT_EQ(*moved->FindValue("Text"), StringValue("t"));
    EXPECT_EQ(moved->FindValue("Empty"), nullptr);
    EXPECT_EQ(*moved->FindValue("Multi"), (RegistryValue{REG_NONE, std::string("a\0\0", 3)}));
    EXPECT_EQ(*moved->OpenKey("Entry\\Deeper")->FindValue("Number"), IntegerValue(5));
}

TEST(MoveKey, DoesNothingWhenTheDestinationExistsOrTheSourceDoesNot)
{
    RegistryKey root;
    root.CreateKey("Old").SetValue("v", IntegerValue(1));
    root.CreateKey("New");
    const RegistryKey before = root;
    MoveKey(root, "Old", "New");
    MoveKey(root, "Missing", "Other");
    EXPECT_EQ(root, before);
}

TEST(MoveKey, RefusesToTakeKeysDeeperThanTheRegistryAllows)
{
    RegistryKey root;
    root.CreateKey(PathOfDepth(511)).SetValue("v", IntegerValue(1));
    auto moved = root;
    MoveKey(moved, "k", "x\\y"); // the deepest key ends 512 levels down
    EXPECT_NE(moved.OpenKey("x\\y\\" + PathOfDepth(510)), nullptr);

    const RegistryKey before = root;
    EXPECT_THROW(MoveKey(root, "k", "x\\y\\z"), RegistryError);
    EXPECT_EQ(root, before);
}

} // namespace
} // namespace vorlane
