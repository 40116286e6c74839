<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>CMainFrame</name>
    <message>
        <source>添加绘图文件(&amp;A)...</source>
        <translation>&amp;Add Plot Files...</translation>
    </message>
    <message>
        <source>把绘图文件复制到接收文件夹并加入列表</source>
        <translation>Copy plot files into the receive folder and list them</translation>
    </message>
    <message>
        <source>添加绘图文件</source>
        <translation>Add Plot Files</translation>
    </message>
    <message>
        <source>绘图文件 (*.plt *.PLT *.hpgl *.hgl *.prn);;所有文件 (*)</source>
        <translation>Plot files (*.plt *.PLT *.hpgl *.hgl *.prn);;All files (*)</translation>
    </message>
    <message>
        <source>开始绘图此文件</source>
        <translation>Start Plotting This Job</translation>
    </message>
    <message>
        <source>预览...</source>
        <translation>Preview...</translation>
    </message>
    <message>
        <source>增加一份</source>
        <translation>One More Copy</translation>
    </message>
    <message>
        <source>减少一份</source>
        <translation>One Copy Less</translation>
    </message>
    <message>
        <source>删除绘图数据</source>
        <translation>Delete Job</translation>
    </message>
    <message>
        <source>送入自动绘图</source>
        <translation>Send to the Automatic Queue</translation>
    </message>
    <message>
        <source>打开所在文件夹</source>
        <translation>Open Containing Folder</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>开始绘图	(&amp;S)</source>
        <translation>Start Plotting	(&amp;S)</translation>
    </message>
    <message>
        <source>终止绘图	(&amp;C)</source>
        <translation>Stop Plotting	(&amp;C)</translation>
    </message>
    <message>
        <source>自动顺序绘图	(&amp;A)</source>
        <translation>Automatic Sequence	(&amp;A)</translation>
    </message>
    <message>
        <source>删除绘图数据	(&amp;D)</source>
        <translation>Delete Plot Data	(&amp;D)</translation>
    </message>
    <message>
        <source>删除所有绘图数据</source>
        <translation>Delete All Plot Data</translation>
    </message>
    <message>
        <source>设定(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>文件路径(&amp;P)...</source>
        <translation>File &amp;Paths...</translation>
    </message>
    <message>
        <source>重新上料(&amp;R)...</source>
        <translation>&amp;Reload Media...</translation>
    </message>
    <message>
        <source>绘图设置(&amp;W)...</source>
        <translation>Plot Setup(&amp;W)...</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>关于 Marquill(&amp;A)...</source>
        <translation>&amp;About Marquill...</translation>
    </message>
    <message>
        <source>保留(&amp;R)</source>
        <translation>&amp;Reserved</translation>
    </message>
    <message>
        <source>查找绘图数据</source>
        <translation>Find Plot Data</translation>
    </message>
    <message>
        <source>自动退出</source>
        <translation>Auto Exit</translation>
    </message>
    <message>
        <source>新绘图</source>
        <translation>New Plot</translation>
    </message>
    <message>
        <source>页间暂停</source>
        <translation>Pause Between Pages</translation>
    </message>
    <message>
        <source>暂停绘图	(&amp;P)</source>
        <translation>Pause Plotting	(&amp;P)</translation>
    </message>
</context>
<context>
    <name>CPlotInfoView</name>
    <message>
        <source>文件尺寸</source>
        <translation>File Size</translation>
    </message>
    <message>
        <source>文件名:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>宽:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>长:</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>时间:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>每份 %1, %2 份共 %3</source>
        <translation>%1 a copy, %3 for %2 copies</translation>
    </message>
    <message>
        <source>正在估算...</source>
        <translation>Estimating...</translation>
    </message>
    <message>
        <source>绘图设定</source>
        <translation>Plot Settings</translation>
    </message>
    <message>
        <source>绘图起始:</source>
        <translation>Plot start:</translation>
    </message>
    <message>
        <source>分段长度:</source>
        <translation>Section length:</translation>
    </message>
    <message>
        <source>重叠长度:</source>
        <translation>Overlap length:</translation>
    </message>
    <message>
        <source>绘制段数:</source>
        <translation>Sections to plot:</translation>
    </message>
    <message>
        <source>旋转后输出</source>
        <translation>Output rotated</translation>
    </message>
    <message>
        <source>镜像</source>
        <translation>Mirror</translation>
    </message>
</context>
<context>
    <name>CAboutBox</name>
    <message>
        <source>关于 Marquill</source>
        <translation>About Marquill</translation>
    </message>
    <message>
        <source>绘图机输出软件</source>
        <translation>Plotter output software</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Marquill %1 版</source>
        <translation>Marquill Version %1</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
</context>
<context>
    <name>CLOGODLG</name>
    <message>
        <source>Kestrava输出中心 0.03</source>
        <translation>Kestrava Output Center 0.03</translation>
    </message>
    <message>
        <source>进入</source>
        <translation>Enter</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Leave</translation>
    </message>
</context>
</TS>
