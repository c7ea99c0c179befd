#pragma once

#include <string_view>

// Texts the program looks for in the answers of the two services. They must match it byte for
// byte, so they live in one place.
namespace ServiceMarkers {

// The list page announces its page count six characters after this text.
inline constexpr std::string_view kRecordCount = "条记录";
// The domain link's title ends with this text, right before the closing quote and bracket.
inline constexpr std::string_view kDomainInfo = "信息";
inline constexpr std::string_view kNoResults = "没有找到相关的结果";
inline constexpr std::string_view kTooFrequent = "您的请求过于频繁";
inline constexpr std::string_view kRegistered = "|211|";
inline constexpr std::string_view kFree = "|210|";

} // namespace ServiceMarkers
