<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>CDetailPreviewDlg</name>
    <message>
        <source>镜像</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <source>位置:%1,%2</source>
        <translation>Position:%1,%2</translation>
    </message>
</context>
</TS>
