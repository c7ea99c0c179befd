#include "app/Form1Design.h"

namespace {

// clang-format off
constexpr ControlDesign kDesign[] = {
    {u"Command1", ControlKind::CommandButton, Container::Form, 120, 120, 1095, 495, 36, u"开始搜索", false},
    {u"Command2", ControlKind::CommandButton, Container::Form, 1320, 120, 1575, 495, 43, u"验证是否被注册", false},
    {u"Command4", ControlKind::CommandButton, Container::Form, 3000, 120, 1335, 495, 45, u"过滤已被注册", false},
    {u"Command3", ControlKind::CommandButton, Container::Form, 4440, 120, 1335, 495, 44, u"清空列表", false},
    {u"Image1", ControlKind::Image, Container::Form, 5880, 0, 6405, 780, -1, u"", false},
    {u"Frame1", ControlKind::Frame, Container::Form, 120, 720, 3975, 6135, 0, u"搜索条件", false},
    {u"ListView1", ControlKind::ListView, Container::Form, 4080, 795, 8175, 7020, 35, u"", false},
    {u"Frame3", ControlKind::Frame, Container::Form, 120, 6960, 3975, 855, 46, u"定向搜索", false},
    {u"StatusBar1", ControlKind::StatusBar, Container::Form, 0, 7860, 12270, 255, 50, u"", false},
    {u"Label1(0)", ControlKind::Label, Container::Frame1, 120, 390, 720, 180, 1, u"关键字：", false},
    {u"Text1", ControlKind::TextBox, Container::Frame1, 960, 360, 1335, 270, 2, u"", false},
    {u"Frame2", ControlKind::BorderlessFrame, Container::Frame1, 120, 600, 3375, 495, 37, u"", false},
    {u"Label1(2)", ControlKind::Label, Container::Frame1, 120, 1360, 720, 180, 3, u"总长度：", false},
    {u"Text2(0)", ControlKind::TextBox, Container::Frame1, 960, 1320, 615, 270, 4, u"1", false},
    {u"Label1(3)", ControlKind::Label, Container::Frame1, 1680, 1360, 180, 180, 5, u"->", false},
    {u"Text2(1)", ControlKind::TextBox, Container::Frame1, 1920, 1320, 615, 270, 6, u"3", false},
    {u"Label1(4)", ControlKind::Label, Container::Frame1, 2640, 1320, 360, 180, 7, u"之间", false},
    {u"Label1(5)", ControlKind::Label, Container::Frame1, 120, 1820, 900, 180, 8, u"域名结构：", false},
    {u"Check1(0)", ControlKind::CheckBox, Container::Frame1, 960, 1800, 735, 255, 9, u"字母", true},
    {u"Check1(1)", ControlKind::CheckBox, Container::Frame1, 1680, 1800, 735, 255, 10, u"数字", true},
    {u"Check1(2)", ControlKind::CheckBox, Container::Frame1, 2400, 1800, 855, 255, 11, u"中划线", false},
    {u"Label1(6)", ControlKind::Label, Container::Frame1, 120, 2300, 900, 180, 12, u"特殊构造：", false},
    {u"Check2(0)", ControlKind::CheckBox, Container::Frame1, 1080, 2280, 735, 255, 13, u"拼音", false},
    {u"Combo1", ControlKind::DropDownList, Container::Frame1, 1920, 2280, 1215, 300, 19, u"", false},
    {u"Check2(1)", ControlKind::CheckBox, Container::Frame1, 1080, 2640, 2415, 255, 14, u"AABB/ABAB/ABBA型", false},
    {u"Check2(2)", ControlKind::CheckBox, Container::Frame1, 1080, 3000, 1455, 255, 15, u"CVCV/VCV型", false},
    {u"Check2(3)", ControlKind::CheckBox, Container::Frame1, 2640, 3000, 975, 255, 16, u"y为元音", false},
    {u"Check2(4)", ControlKind::CheckBox, Container::Frame1, 1080, 3360, 1215, 255, 17, u"全声母", false},
    {u"Check2(5)", ControlKind::CheckBox, Container::Frame1, 2640, 3360, 1215, 255, 18, u"百度建议", false},
    {u"Label1(7)", ControlKind::Label, Container::Frame1, 120, 3860, 900, 180, 20, u"结果排序：", false},
    {u"Option2(0)", ControlKind::OptionButton, Container::Frame1, 1080, 3840, 735, 255, 21, u"长度", true},
    {u"Option2(1)", ControlKind::OptionButton, Container::Frame1, 1800, 3840, 735, 255, 22, u"字母", false},
    {u"Option2(2)", ControlKind::OptionButton, Container::Frame1, 2520, 3840, 735, 255, 23, u"后缀", false},
    {u"Option2(3)", ControlKind::OptionButton, Container::Frame1, 1080, 4200, 1215, 255, 24, u"日期和字母", false},
    {u"Option2(4)", ControlKind::OptionButton, Container::Frame1, 2280, 4200, 1215, 255, 25, u"日期和长度", false},
    {u"Label1(8)", ControlKind::Label, Container::Frame1, 120, 4700, 900, 180, 26, u"域名后缀：", false},
    {u"Check3(0)", ControlKind::CheckBox, Container::Frame1, 1080, 4680, 735, 255, 27, u".com", false},
    {u"Check3(1)", ControlKind::CheckBox, Container::Frame1, 1800, 4680, 735, 255, 28, u".net", true},
    {u"Check3(2)", ControlKind::CheckBox, Container::Frame1, 2520, 4680, 735, 255, 29, u".org", true},
    {u"Check3(3)", ControlKind::CheckBox, Container::Frame1, 3240, 4680, 615, 255, 30, u".cn", false},
    {u"Label1(9)", ControlKind::Label, Container::Frame1, 120, 5200, 900, 180, 31, u"删除类型：", false},
    {u"Combo2", ControlKind::DropDownList, Container::Frame1, 1080, 5160, 1455, 300, 32, u"", false},
    {u"Label1(10)", ControlKind::Label, Container::Frame1, 120, 5670, 900, 180, 33, u"删除日期：", false},
    {u"Combo3", ControlKind::DropDownList, Container::Frame1, 1080, 5640, 1455, 300, 34, u"", false},
    {u"Label1(1)", ControlKind::Label, Container::Frame2, 0, 270, 540, 180, 42, u"位置：", false},
    {u"Option1(0)", ControlKind::OptionButton, Container::Frame2, 840, 240, 735, 255, 41, u"任意", true},
    {u"Option1(1)", ControlKind::OptionButton, Container::Frame2, 1560, 240, 495, 255, 40, u"左", false},
    {u"Option1(2)", ControlKind::OptionButton, Container::Frame2, 2040, 240, 495, 255, 39, u"右", false},
    {u"Option1(3)", ControlKind::OptionButton, Container::Frame2, 2520, 240, 855, 255, 38, u"左或右", false},
    {u"Label2", ControlKind::Label, Container::Frame3, 120, 360, 540, 180, 47, u"域名：", false},
    {u"Text4", ControlKind::TextBox, Container::Frame3, 720, 320, 1815, 270, 48, u"", false},
    {u"Command5", ControlKind::CommandButton, Container::Frame3, 2640, 240, 855, 375, 49, u"搜索", false},
};
// clang-format on

} // namespace

std::span<const ControlDesign> Form1Design() {
    return kDesign;
}
