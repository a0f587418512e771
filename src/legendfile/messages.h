#pragma once
// Every text the legend library shows, in one place. Texts are UTF-8 in this
// source; the window layer hands them to the toolkit as they are.

#include <string>
#include <string_view>

#include "legendfile/translation.h"

#include "legendfile/status.h"

namespace legend::messages {

// Questions.
inline constexpr std::string_view kSavePrompt = LEGEND_TR_NOOP("legend", "图例文件已修改,是否保存?");

// The pad.
/// An edit confirmed after the pad's file was read again (or another file
/// taken) while its dialog was open: the legend it was made for is gone.
inline constexpr std::string_view kEditDroppedByReload = LEGEND_TR_NOOP("legend", "图例文件已重新读入,本次修改未保存!");
/// The same for a copy whose target was chosen while the file was read again.
inline constexpr std::string_view kCopyDroppedByReload = LEGEND_TR_NOOP("legend", "图例文件已重新读入,本次另存未进行!");
/// The pad's unsaved edits cannot go into a file that was changed elsewhere
/// since the pad read it; followed by the file's path.
inline constexpr std::string_view kEditsLostFileChanged =
    LEGEND_TR_NOOP("legend", "图例文件已在别处被修改,图例板上的修改无法保存!");
inline constexpr std::string_view kImageLegendFailed = LEGEND_TR_NOOP("legend", "图象图例显示失败!");

// Legend parameter dialog.
inline constexpr std::string_view kParamSizeWrong = LEGEND_TR_NOOP("legend", "读图形参数后，大小不对!");
inline constexpr std::string_view kNegativeStructureSize = LEGEND_TR_NOOP("legend", "属性结构大小为负!");
inline constexpr std::string_view kNegativeRecordSize = LEGEND_TR_NOOP("legend", "属性内容大小为负!");
inline constexpr std::string_view kStructureChangeLosesRecord =
    LEGEND_TR_NOOP("legend", "属性结构改变,可导致属性记录的丢失!\n是否继续?");
inline constexpr std::string_view kStructureEmpty = LEGEND_TR_NOOP("legend", "属性结构为空,请编辑属性结构!");
inline constexpr std::string_view kRecordSizeZero =
    LEGEND_TR_NOOP("legend", "属性记录的大小为0,不可编辑!\n请查看'属性编辑'");
inline constexpr std::string_view kRecordEditFailed = LEGEND_TR_NOOP("legend", "编辑图例属性内容失败!");
inline constexpr std::string_view kResetAllLegendInfo = LEGEND_TR_NOOP("legend", "是否修改当前的所有图例信息?");
/// The name and description fields hold at most 127 bytes each.
inline constexpr std::string_view kTextTooLong = LEGEND_TR_NOOP("legend", "名称和描述最多127字节!");
inline constexpr std::string_view kNameNotStorable = LEGEND_TR_NOOP("legend", "名称含有无法保存的字符!");
inline constexpr std::string_view kDescriptionNotStorable = LEGEND_TR_NOOP("legend", "描述含有无法保存的字符!");
/// A structure the attribute component cannot read (one written by another
/// host's component, say) is kept as stored.
inline constexpr std::string_view kStructureUnreadable =
    LEGEND_TR_NOOP("legend",
                   "图例的属性结构无法读取,将原样保留属性结构和属性内容!\n"
                   "'属性结构'和'设为默认值'会以新的属性结构替换它。");
inline constexpr std::string_view kReplaceUnreadableStructure =
    LEGEND_TR_NOOP("legend", "属性结构无法读取,编辑属性结构将以新的属性结构替换它,原属性内容将被清除!\n是否继续?");
inline constexpr std::string_view kUnreadableStructureContent =
    LEGEND_TR_NOOP("legend", "属性结构无法读取,不能编辑属性内容!\n原属性结构和属性内容将原样保留。");

/// The text shown for @p status, with @p path in place of the %s of the texts
/// that name a file. Empty for Ok and NoSuchLegend, which show nothing.
std::string text(LegendStatus status, std::string_view path = {});

/// True when the text for @p status names the file itself; the others are
/// shown with the file's path and the reason beneath them.
bool namesFile(LegendStatus status);

}  // namespace legend::messages
