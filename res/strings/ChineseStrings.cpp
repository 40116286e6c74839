#include "res/strings/StringTable.h"

namespace strings {
namespace {

// clang-format off
constexpr StringEntry table[] = {
    // List column titles
    {20000, "自动绘图"},
    {20001, "手动绘图"},
    {20002, "路径"},
    {20003, "长度"},
    {20004, "分段"},
    {20005, "份数"},
    {20006, "状态"},
    // Job states and the progress of a copy
    {20011, "等侍绘制"},
    {20012, "完成"},
    {20013, "正在绘制 %d - %dmm 区域"},
    {20014, "待命"},
    // Remaining media in the status bar
    {20500, "剩余材料长度:%d mm"},
    {20501, "剩余材料长度:%d Inch"},
    // Results of a copy, shown as the job's state
    {32779, "没有足够的材料进行绘图工作！"},
    {32780, "数据建立失败(程序出错)!"},
    {32781, "动态库过滤读失败!"},
    {32784, "动态库调动失败 / 没有找到动态库!"},
    {32788, "空的工作数据项!"},
    {20100, "端口 %s 无法打开: %s"},
    // File errors, one per kind; %1 is the file's path
    {61857, "访问 %1 时发生意外错误。"},
    {61858, "没有找到 %1。"},
    {61859, "%1 包含无效的路径。"},
    {61860, "打开的文件太多，无法打开 %1。"},
    {61861, "对 %1 的访问被拒绝。"},
    {61862, "与 %1 关联的文件句柄无效。"},
    {61863, "%1 是当前文件夹，不能删除。"},
    {61864, "目录已满，无法创建 %1。"},
    {61865, "无法在 %1 上定位。"},
    {61866, "访问 %1 时发生硬件输入/输出错误。"},
    {61867, "访问 %1 时发生共享冲突。"},
    {61868, "访问 %1 时发生锁定冲突。"},
    {61869, "访问 %1 时磁盘已满。"},
    {61870, "试图越过 %1 的结尾进行访问。"},
};
// clang-format on

} // namespace

std::span<const StringEntry> chineseTable() { return table; }

} // namespace strings
