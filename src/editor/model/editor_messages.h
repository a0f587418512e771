#pragma once
// Texts of the project legend editor (UTF-8). The texts it shares with the
// pad, those of the parameter dialog among them, are in legendfile/messages.h.

#include <string_view>

#include "legendfile/translation.h"

namespace legend::editor::texts {

inline constexpr std::string_view kEditorTitle = LEGEND_TR_NOOP("legend", "工程图例编辑器");
/// Shown in the title in place of a file name when the editor starts empty.
inline constexpr std::string_view kNoName = "NONAME.CLN";

// Legend list.
inline constexpr std::string_view kAddPointRowFailed = LEGEND_TR_NOOP("legend", "添加点图例项失败!");
inline constexpr std::string_view kAddLineRowFailed = LEGEND_TR_NOOP("legend", "添加线图例项失败!");
inline constexpr std::string_view kAddRegionRowFailed = LEGEND_TR_NOOP("legend", "添加图例项失败!");
inline constexpr std::string_view kRowInsertFailed = LEGEND_TR_NOOP("legend", "列表控件(ListView)创建失败!");
/// Size column: the block size in decimal followed by this.
inline constexpr std::string_view kBytesSuffix = LEGEND_TR_NOOP("legend", "字节");

// Adding, editing, deleting.
/// A legend file holds at most 32767 legends; the pad and the editor refuse more.
inline constexpr std::string_view kLegendLimit = LEGEND_TR_NOOP("legend", "图例个数已达上限(32767个),不能再添加图例!");
inline constexpr std::string_view kEditReadFailed = LEGEND_TR_NOOP("legend", "编辑图例元素,从文件中读取图例信息失败!");
/// %d: the number of selected rows.
inline constexpr std::string_view kDeleteQuestion = LEGEND_TR_NOOP("legend", "是否要删除所选的%d个图例?");

// Batch attribute change.
inline constexpr std::string_view kBatchNothingSelected =
    LEGEND_TR_NOOP("legend", "请在工程列表中选取要统改属性的文件!");
inline constexpr std::string_view kBatchNoStructure = LEGEND_TR_NOOP("legend", "属性结构为空!\n");
inline constexpr std::string_view kBatchNoRecord = LEGEND_TR_NOOP("legend", "属性记录为空!\n");
/// %s%s: the two warnings above (or empty); %d: the number of selected rows.
inline constexpr std::string_view kBatchQuestion =
    LEGEND_TR_NOOP("legend", "%s%s是否把所选的%d个文件的属性数据以当前值赋值?");

/// Save: a legend's block is in neither memory nor the loaded file, so
/// writing would lose it.
inline constexpr std::string_view kSaveBlockUnreadable =
    LEGEND_TR_NOOP("legend", "保存图例,读取图例数据失败,原文件未被改动!");
/// A new file's completed name is an existing file the file dialog never
/// asked about. %s: the path.
inline constexpr std::string_view kReplaceExisting = LEGEND_TR_NOOP("legend", "图例文件已存在,是否覆盖?\n%s");
/// Leaving with 取消, Escape or the close box while the store holds edits
/// 确定 has not written.
inline constexpr std::string_view kDiscardChanges =
    LEGEND_TR_NOOP("legend", "图例已修改,尚未保存!\n是否放弃修改并退出编辑器?");

}  // namespace legend::editor::texts
