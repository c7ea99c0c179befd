#include "criteria/NameTraits.h"
#include "criteria/PinyinSyllables.h"

#include <gtest/gtest.h>

namespace {

TEST(NameTraits, pinyinReadsTheFewestSyllables) {
    EXPECT_EQ(FewestPinyinSyllables("xian"), 1) << "xian before xi'an";
    EXPECT_EQ(FewestPinyinSyllables("baidu"), 2);
    EXPECT_EQ(FewestPinyinSyllables("taobao"), 2);
    EXPECT_EQ(FewestPinyinSyllables("zhuangzhuang"), 2);
    EXPECT_EQ(FewestPinyinSyllables("zhongguorenmin"), 4);
    EXPECT_EQ(FewestPinyinSyllables("lvse"), 2) << "v stands for ü";
    EXPECT_EQ(FewestPinyinSyllables("shop"), 0);
    EXPECT_EQ(FewestPinyinSyllables("bai-du"), 0);
    EXPECT_EQ(FewestPinyinSyllables("ba1"), 0);
    EXPECT_EQ(FewestPinyinSyllables(""), 0);
}

TEST(NameTraits, syllableListHoldsOnlySyllables) {
    EXPECT_GT(PinyinSyllables().size(), 400u);
    for (const std::string_view syllable : PinyinSyllables()) {
        EXPECT_TRUE(IsPinyinSyllable(syllable)) << syllable;
        EXPECT_LE(syllable.size(), kLongestPinyinSyllable) << syllable;
        EXPECT_EQ(syllable.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
    }
    EXPECT_FALSE(IsPinyinSyllable("b"));
    EXPECT_FALSE(IsPinyinSyllable("shop"));
}

TEST(NameTraits, repetitionOverCharactersAndSyllables) {
    for (const char* name : {"aabb", "abab", "abba", "1122", "1212", "1221", "haohaoxuexue",
                             "nihaonihao", "dadaxiaoxiao"})
        EXPECT_TRUE(HasRepetitionPattern(name)) << name;
    for (const char* name :
         {"aaaa", "abcd", "aab", "aabbc", "", "haohaohaohao", "baidu", "xiaoxiaoxiao"})
        EXPECT_FALSE(HasRepetitionPattern(name)) << name;
}

TEST(NameTraits, consonantVowelAlternation) {
    EXPECT_TRUE(AlternatesConsonantVowel("kato", false));
    EXPECT_TRUE(AlternatesConsonantVowel("ako", false));
    EXPECT_TRUE(AlternatesConsonantVowel("bab", false));
    EXPECT_FALSE(AlternatesConsonantVowel("ka", false)) << "too short for a shape";
    EXPECT_FALSE(AlternatesConsonantVowel("kaato", false));
    EXPECT_FALSE(AlternatesConsonantVowel("k4to", false));

    EXPECT_TRUE(AlternatesConsonantVowel("yaya", false)) << "y is a consonant by default";
    EXPECT_FALSE(AlternatesConsonantVowel("yaya", true));
    EXPECT_FALSE(AlternatesConsonantVowel("kyky", false));
    EXPECT_TRUE(AlternatesConsonantVowel("kyky", true));
}

TEST(NameTraits, initialsOnly) {
    EXPECT_TRUE(IsInitialsOnly("bjsz"));
    EXPECT_TRUE(IsInitialsOnly("zhwy"));
    EXPECT_FALSE(IsInitialsOnly("bjsa"));
    EXPECT_FALSE(IsInitialsOnly("bvs")) << "v starts no syllable";
    EXPECT_FALSE(IsInitialsOnly("bj5"));
    EXPECT_FALSE(IsInitialsOnly(""));
}

TEST(NameTraits, characterClasses) {
    EXPECT_EQ(ComputeNameTraits("ab88").characterClasses, kLetters | kDigits);
    EXPECT_EQ(ComputeNameTraits("12-34").characterClasses, kDigits | kHyphen);
    EXPECT_TRUE(ComputeNameTraits("my-shop").onlyKnownCharacters);
    EXPECT_FALSE(ComputeNameTraits("my_shop").onlyKnownCharacters);
}

} // namespace
