<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>legend</name>
    <message>
        <source>工程图例编辑器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加点图例项失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加线图例项失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加图例项失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>列表控件(ListView)创建失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>字节</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例个数已达上限(32767个),不能再添加图例!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编辑图例元素,从文件中读取图例信息失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否要删除所选的%d个图例?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请在工程列表中选取要统改属性的文件!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>属性结构为空!
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>属性记录为空!
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%s%s是否把所选的%d个文件的属性数据以当前值赋值?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存图例,读取图例数据失败,原文件未被改动!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例文件已存在,是否覆盖?
%s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例已修改,尚未保存!
是否放弃修改并退出编辑器?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例文件路径太长(超过259字节),无法使用!
%s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取图例,打不开图例文件!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例文件非法,无法打开!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打不开文件,读取图例属性信息失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取图例属性内容不匹配:大小不一样!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例属性数据已损坏,读取图例属性信息失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存图例,打开可写的文件失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打不开源文件!
%s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开另存的文件
%s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存图例文件失败,原文件未被改动!
%s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存图例失败,原文件的内容保存在:%s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例文件已写入,但未能确认已存入磁盘!
%s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例文件已在别处被修改,图例板上的修改未写入,以免破坏它!
可用&apos;另存&apos;保存这些修改.
%s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例文件已修改,是否保存?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例文件已重新读入,本次修改未保存!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例文件已重新读入,本次另存未进行!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例文件已在别处被修改,图例板上的修改无法保存!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图象图例显示失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读图形参数后，大小不对!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>属性结构大小为负!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>属性内容大小为负!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>属性结构改变,可导致属性记录的丢失!
是否继续?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>属性结构为空,请编辑属性结构!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>属性记录的大小为0,不可编辑!
请查看&apos;属性编辑&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编辑图例属性内容失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否修改当前的所有图例信息?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称和描述最多127字节!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称含有无法保存的字符!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>描述含有无法保存的字符!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例的属性结构无法读取,将原样保留属性结构和属性内容!
&apos;属性结构&apos;和&apos;设为默认值&apos;会以新的属性结构替换它。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>属性结构无法读取,编辑属性结构将以新的属性结构替换它,原属性内容将被清除!
是否继续?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>属性结构无法读取,不能编辑属性内容!
原属性结构和属性内容将原样保留。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例板(%s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标题为图例编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标题为图例名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[线类型]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[点类型]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[区类型]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[未知类型]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>点图例参数编辑</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>线图例参数编辑</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>区图例参数编辑</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图例属性内容编辑</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
