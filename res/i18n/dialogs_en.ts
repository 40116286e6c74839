<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CHalfCutDialog</name>
    <message>
        <source>半切功能设置</source>
        <translation>Half-Cut Settings</translation>
    </message>
    <message>
        <source>实线长度(mm):</source>
        <translation>Cut length (mm):</translation>
    </message>
    <message>
        <source>虚线长度(mm):</source>
        <translation>Gap length (mm):</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>COutputSettingsDialog</name>
    <message>
        <source>输出设定</source>
        <translation>Output Settings</translation>
    </message>
    <message>
        <source>绘图设备:</source>
        <translation>Plotting device:</translation>
    </message>
    <message>
        <source>端口:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>握手方式:</source>
        <translation>Handshake:</translation>
    </message>
    <message>
        <source>只用线路流控</source>
        <translation>Line flow control only</translation>
    </message>
    <message>
        <source>缓冲查询 (ESC.B)</source>
        <translation>Buffer query (ESC.B)</translation>
    </message>
    <message>
        <source>端口设置</source>
        <translation>Port Settings</translation>
    </message>
    <message>
        <source>单位:毫米(mm)</source>
        <translation>Unit: millimetres (mm)</translation>
    </message>
    <message>
        <source>分段长度:</source>
        <translation>Section length:</translation>
    </message>
    <message>
        <source>段间重叠:</source>
        <translation>Section overlap:</translation>
    </message>
    <message>
        <source>进纸间距:</source>
        <translation>Feed spacing:</translation>
    </message>
    <message>
        <source>  绘图仪
起始位置:</source>
        <translation>  Plotter
start position:</translation>
    </message>
    <message>
        <source>比例调整X:</source>
        <translation>Scale adjustment X:</translation>
    </message>
    <message>
        <source>比例调整Y:</source>
        <translation>Scale adjustment Y:</translation>
    </message>
    <message>
        <source>虚线</source>
        <translation>Dashed</translation>
    </message>
    <message>
        <source>设定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>镜像</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <source>输出排序</source>
        <translation>Sort output</translation>
    </message>
    <message>
        <source>自动较正原点</source>
        <translation>Correct origin automatically</translation>
    </message>
    <message>
        <source>进纸命令</source>
        <translation>Feed command</translation>
    </message>
    <message>
        <source>自动分页输出</source>
        <translation>Automatic paging</translation>
    </message>
    <message>
        <source>拼接线</source>
        <translation>Splice lines</translation>
    </message>
    <message>
        <source>自动设定旋转输出</source>
        <translation>Rotate automatically</translation>
    </message>
    <message>
        <source>SP转换为虚线:</source>
        <translation>Pens drawn dashed:</translation>
    </message>
    <message>
        <source>绘图笔</source>
        <translation>Pen</translation>
    </message>
    <message>
        <source>虚线绘图</source>
        <translation>Dashed</translation>
    </message>
    <message>
        <source>刀具补偿</source>
        <translation>Tool offset</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>“%1”必须是大于 0 的数。</source>
        <translation>&quot;%1&quot; must be a number above 0.</translation>
    </message>
    <message>
        <source>“%1”不能为负数。</source>
        <translation>&quot;%1&quot; must not be negative.</translation>
    </message>
</context>
<context>
    <name>CPathDialog</name>
    <message>
        <source>路径设置</source>
        <translation>Path Settings</translation>
    </message>
    <message>
        <source>自动文件接收路径:</source>
        <translation>Automatic receive folder:</translation>
    </message>
    <message>
        <source>流览</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>此文件夹不存在。</source>
        <translation>This folder does not exist.</translation>
    </message>
    <message>
        <source>手动文件接收路径:</source>
        <translation>Manual receive folder:</translation>
    </message>
    <message>
        <source>自动删除已绘文件:</source>
        <translation>Delete plotted files:</translation>
    </message>
    <message>
        <source>从    不</source>
        <translation>Never</translation>
    </message>
    <message>
        <source>退出时</source>
        <translation>On exit</translation>
    </message>
    <message>
        <source>01天前</source>
        <translation>After 1 day</translation>
    </message>
    <message>
        <source>03天前</source>
        <translation>After 3 days</translation>
    </message>
    <message>
        <source>07天前</source>
        <translation>After 7 days</translation>
    </message>
    <message>
        <source>15天前</source>
        <translation>After 15 days</translation>
    </message>
    <message>
        <source>30天前</source>
        <translation>After 30 days</translation>
    </message>
    <message>
        <source>60天前</source>
        <translation>After 60 days</translation>
    </message>
    <message>
        <source>绘图数据保存路径:</source>
        <translation>Backup folder for plotted data:</translation>
    </message>
    <message>
        <source>保存绘图后的数据:</source>
        <translation>Keep plotted data:</translation>
    </message>
    <message>
        <source>退出后</source>
        <translation>After exit</translation>
    </message>
    <message>
        <source>一天前</source>
        <translation>One day</translation>
    </message>
    <message>
        <source>三天前</source>
        <translation>Three days</translation>
    </message>
    <message>
        <source>一周前</source>
        <translation>One week</translation>
    </message>
    <message>
        <source>二周前</source>
        <translation>Two weeks</translation>
    </message>
    <message>
        <source>一月前</source>
        <translation>One month</translation>
    </message>
    <message>
        <source>三月前</source>
        <translation>Three months</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CPortSettingsDialog</name>
    <message>
        <source>端口设置</source>
        <translation>Port Settings</translation>
    </message>
    <message>
        <source>速率:</source>
        <translation>Speed:</translation>
    </message>
    <message>
        <source>较验:</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <source>无较验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇较验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶较验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>标记较验</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>空格较验</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>数据位:</source>
        <translation>Data bits:</translation>
    </message>
    <message>
        <source>停止位:</source>
        <translation>Stop bits:</translation>
    </message>
    <message>
        <source>检查设备</source>
        <translation>Check Device</translation>
    </message>
    <message>
        <source>还原数据</source>
        <translation>Restore Defaults</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>CReloadPaperDialog</name>
    <message>
        <source>重新上纸</source>
        <translation>Reload Paper</translation>
    </message>
    <message>
        <source>卷纸类型:</source>
        <translation>Roll type:</translation>
    </message>
    <message>
        <source>36英寸</source>
        <translation>36 inch</translation>
    </message>
    <message>
        <source>63英寸</source>
        <translation>63 inch</translation>
    </message>
    <message>
        <source>72英寸</source>
        <translation>72 inch</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>卷纸宽度:</source>
        <translation>Roll width:</translation>
    </message>
    <message>
        <source>卷纸长度:</source>
        <translation>Roll length:</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>Inch</source>
        <translation>Inch</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
