#pragma once

#include <span>
#include <string_view>

// Every syllable of Hanyu Pinyin without tones, with "v" standing for ü (lv, nve).
std::span<const std::string_view> PinyinSyllables();

bool IsPinyinSyllable(std::string_view text);

// The longest syllable has six letters (zhuang, chuang, shuang).
inline constexpr size_t kLongestPinyinSyllable = 6;
