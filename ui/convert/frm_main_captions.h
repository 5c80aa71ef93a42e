#pragma once
// The conversion window's captions, by control name: the one table the window
// takes them from.

#include <string_view>

namespace trelmo::ui {

struct ControlCaption {
    std::string_view control;  // the object name
    std::string_view text;     // UTF-8
};

inline constexpr ControlCaption kFrmMainCaptions[] = {
    {"frmMain", "Trelmo - CSV->XML Converter"},
    {"Label1", "CSV(*.csv)"},
    {"Command1", "参照"},
    {"Label2", "スキーマ(*.dsd)"},
    {"Command2", "参照"},
    {"Label3", "保存先XML(*.xml)"},
    {"Command3", "参照"},
    {"cmdDoConvert", "変換"},
    {"Frame1", "オプション"},
    {"cmdEditSchema", "スキーマの作成、編集"},
    {"cmdInfo", "Info"},
};

}  // namespace trelmo::ui
