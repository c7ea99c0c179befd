// The JSON check that passes over what an RDAP answer holds besides its domain: it must take
// what Qt takes, refuse what is not JSON, and find the right members.
#include "registry/JsonSkim.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

constexpr std::array<QByteArrayView, 2> kWanted = {"status", "objectClassName"};

bool skim(QByteArrayView json, std::array<QByteArrayView, 2>* found = nullptr) {
    std::array<QByteArrayView, 2> members;
    const bool ok = SkimJsonObject(json, kWanted, members);
    if (found)
        *found = members;
    return ok;
}

TEST(JsonSkim, takesWellFormedObjectsAsQtDoes) {
    const char* wellFormed[] = {
        "{}",
        " \t\r\n{ } \n",
        R"({"a":1,"b":-0.5e+10,"c":0,"d":12.25E-3,"e":true,"f":false,"g":null})",
        R"({"a":[],"b":[[],{}],"c":{"d":{"e":[1,"x",{"f":null}]}}})",
        R"({"esc":"\"\\\/\b\f\n\r\t\u00e9\uD83D\uDE00"})",
        "{\"utf8\":\"M\xc3\xbcller \xe4\xb8\xad \xf0\x9f\x98\x80\"}",
        R"({"":""})",
    };
    for (const char* json : wellFormed) {
        EXPECT_TRUE(skim(json)) << json;
        EXPECT_FALSE(QJsonDocument::fromJson(json).isNull()) << json;
    }
}

TEST(JsonSkim, refusesWhatIsNotOneJsonObject) {
    const std::string deep = std::string(300, '[') + std::string(300, ']');
    const std::string deepObject = "{\"a\":" + deep + "}";
    const char* malformed[] = {
        "",
        "[]",
        "\"domain\"",
        "{",
        R"({"a":1)",
        R"({"a":1,})",
        R"({"a" 1})",
        R"({'a':1})",
        R"({a:1})",
        R"({"a":01})",
        R"({"a":1.})",
        R"({"a":.5})",
        R"({"a":-})",
        R"({"a":1e})",
        R"({"a":+1})",
        R"({"a":NaN})",
        R"({"a":tru})",
        R"({"a":[1,]})",
        R"({"a":[1 2]})",
        R"({"a":"\x41"})",
        R"({"a":"\u12"})",
        "{\"a\":\"tab\there\"}",
        "{\"a\":\"unterminated}",
        "{\"a\":\"\xc0\x80\"}",         // overlong
        "{\"a\":\"\xed\xa0\x80\"}",     // surrogate
        "{\"a\":\"\xf5\x80\x80\x80\"}", // past U+10FFFF
        "{\"a\":\"\xe4\xb8\"}",         // cut sequence
        "{\"a\":\"\x80\"}",
        R"({"a":1} {"b":2})",
        R"({"a":1} x)",
        deepObject.c_str(),
    };
    for (const char* json : malformed)
        EXPECT_FALSE(skim(json)) << json;
    // NUL inside: the bytes after it count too.
    EXPECT_FALSE(skim(QByteArrayView("{\"a\":1}\0x", 9)));
}

TEST(JsonSkim, findsTopLevelMembersOnlyTheLastOfRepeatedOnes) {
    std::array<QByteArrayView, 2> found;
    ASSERT_TRUE(skim(R"({"status" : [ "a" , "b" ] , "objectClassName":"domain"})", &found));
    EXPECT_EQ(found[0], QByteArrayView(R"([ "a" , "b" ])"));
    EXPECT_EQ(found[1], QByteArrayView(R"("domain")"));

    ASSERT_TRUE(skim(R"({"entities":[{"objectClassName":"entity","status":["x"]}]})", &found));
    EXPECT_TRUE(found[0].isEmpty()) << "a member of a nested object is not the domain's";
    EXPECT_TRUE(found[1].isEmpty());

    ASSERT_TRUE(skim(R"({"objectClassName":"entity","objectClassName":"domain"})", &found));
    EXPECT_EQ(found[1], QByteArrayView(R"("domain")"));

    ASSERT_TRUE(skim(R"({"objectClass\u004eame":"domain"})", &found));
    EXPECT_TRUE(found[1].isEmpty()) << "keys are compared as written";
}

} // namespace
