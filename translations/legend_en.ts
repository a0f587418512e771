<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>legend</name>
    <message>
        <source>工程图例编辑器</source>
        <translation>Project Legend Editor</translation>
    </message>
    <message>
        <source>添加点图例项失败!</source>
        <translation>Could not add the point legend row!</translation>
    </message>
    <message>
        <source>添加线图例项失败!</source>
        <translation>Could not add the line legend row!</translation>
    </message>
    <message>
        <source>添加图例项失败!</source>
        <translation>Could not add the legend row!</translation>
    </message>
    <message>
        <source>列表控件(ListView)创建失败!</source>
        <translation>Could not create the list control (ListView)!</translation>
    </message>
    <message>
        <source>字节</source>
        <translation> bytes</translation>
    </message>
    <message>
        <source>图例个数已达上限(32767个),不能再添加图例!</source>
        <translation>The file already holds the maximum of 32767 legends; no more can be added!</translation>
    </message>
    <message>
        <source>编辑图例元素,从文件中读取图例信息失败!</source>
        <translation>Could not read the legend from the file to edit it!</translation>
    </message>
    <message>
        <source>是否要删除所选的%d个图例?</source>
        <translation>Delete the %d selected legends?</translation>
    </message>
    <message>
        <source>请在工程列表中选取要统改属性的文件!</source>
        <translation>Select the legends whose attributes you want to change in the list!</translation>
    </message>
    <message>
        <source>属性结构为空!
</source>
        <translation>The attribute structure is empty!
</translation>
    </message>
    <message>
        <source>属性记录为空!
</source>
        <translation>The attribute record is empty!
</translation>
    </message>
    <message>
        <source>%s%s是否把所选的%d个文件的属性数据以当前值赋值?</source>
        <translation>%s%sSet the attribute data of the %d selected legends to the current values?</translation>
    </message>
    <message>
        <source>保存图例,读取图例数据失败,原文件未被改动!</source>
        <translation>Saving the legends failed: a legend&apos;s data could not be read. The original file is unchanged!</translation>
    </message>
    <message>
        <source>图例文件已存在,是否覆盖?
%s</source>
        <translation>The legend file already exists. Replace it?
%s</translation>
    </message>
    <message>
        <source>图例已修改,尚未保存!
是否放弃修改并退出编辑器?</source>
        <translation>The legends have been changed but not saved!
Discard the changes and leave the editor?</translation>
    </message>
    <message>
        <source>图例文件路径太长(超过259字节),无法使用!
%s</source>
        <translation>The legend file&apos;s path is too long (more than 259 bytes) to be used!
%s</translation>
    </message>
    <message>
        <source>读取图例,打不开图例文件!</source>
        <translation>Could not open the legend file to read the legends!</translation>
    </message>
    <message>
        <source>图例文件非法,无法打开!</source>
        <translation>This is not a valid legend file; it cannot be opened!</translation>
    </message>
    <message>
        <source>打不开文件,读取图例属性信息失败!</source>
        <translation>Could not open the file; reading the legend&apos;s attributes failed!</translation>
    </message>
    <message>
        <source>取图例属性内容不匹配:大小不一样!</source>
        <translation>The legend&apos;s attribute content does not match: the sizes differ!</translation>
    </message>
    <message>
        <source>图例属性数据已损坏,读取图例属性信息失败!</source>
        <translation>The legend&apos;s attribute data is damaged; reading the attributes failed!</translation>
    </message>
    <message>
        <source>保存图例,打开可写的文件失败!</source>
        <translation>Saving the legends failed: the file could not be opened for writing!</translation>
    </message>
    <message>
        <source>打不开源文件!
%s</source>
        <translation>Could not open the source file!
%s</translation>
    </message>
    <message>
        <source>无法打开另存的文件
%s</source>
        <translation>Could not open the file to save a copy to
%s</translation>
    </message>
    <message>
        <source>保存图例文件失败,原文件未被改动!
%s</source>
        <translation>Saving the legend file failed; the original file is unchanged!
%s</translation>
    </message>
    <message>
        <source>保存图例失败,原文件的内容保存在:%s</source>
        <translation>Saving the legends failed; the original file&apos;s content was kept in: %s</translation>
    </message>
    <message>
        <source>图例文件已写入,但未能确认已存入磁盘!
%s</source>
        <translation>The legend file was written, but it could not be confirmed that it reached the disk!
%s</translation>
    </message>
    <message>
        <source>图例文件已在别处被修改,图例板上的修改未写入,以免破坏它!
%s</source>
        <translation>The legend file was changed elsewhere; the pad&apos;s changes were not written, so as not to damage it!
%s</translation>
    </message>
    <message>
        <source>图例文件已在别处被修改,其中的图例已不在图例板读到的位置,未另存!
%s</source>
        <translation>The legend file was changed elsewhere; its legends are no longer where the pad read them, so no copy was written!
%s</translation>
    </message>
    <message>
        <source>图例文件已修改,是否保存?</source>
        <translation>The legend file has been changed. Save it?</translation>
    </message>
    <message>
        <source>图例文件已重新读入,本次修改未保存!</source>
        <translation>The legend file was read again; this change was not saved!</translation>
    </message>
    <message>
        <source>图例文件已重新读入,本次另存未进行!</source>
        <translation>The legend file was read again; this copy was not saved!</translation>
    </message>
    <message>
        <source>图例文件已在别处被修改,图例板上的修改无法保存!</source>
        <translation>The legend file was changed elsewhere; the pad&apos;s changes cannot be saved!</translation>
    </message>
    <message>
        <source>图象图例显示失败!</source>
        <translation>The image legend could not be displayed!</translation>
    </message>
    <message>
        <source>读图形参数后，大小不对!</source>
        <translation>The size is wrong after reading the graphic parameters!</translation>
    </message>
    <message>
        <source>属性结构大小为负!</source>
        <translation>The attribute structure&apos;s size is negative!</translation>
    </message>
    <message>
        <source>属性内容大小为负!</source>
        <translation>The attribute content&apos;s size is negative!</translation>
    </message>
    <message>
        <source>属性结构改变,可导致属性记录的丢失!
是否继续?</source>
        <translation>Changing the attribute structure may lose the attribute record!
Continue?</translation>
    </message>
    <message>
        <source>属性结构为空,请编辑属性结构!</source>
        <translation>The attribute structure is empty; edit the attribute structure first!</translation>
    </message>
    <message>
        <source>属性记录的大小为0,不可编辑!
请查看&apos;属性编辑&apos;</source>
        <translation>The attribute record&apos;s size is 0; it cannot be edited!
See &apos;Fields&apos;</translation>
    </message>
    <message>
        <source>编辑图例属性内容失败!</source>
        <translation>Editing the legend&apos;s attribute content failed!</translation>
    </message>
    <message>
        <source>是否修改当前的所有图例信息?</source>
        <translation>Change all the information of the current legend?</translation>
    </message>
    <message>
        <source>名称和描述最多127字节!</source>
        <translation>The name and the description hold at most 127 bytes each!</translation>
    </message>
    <message>
        <source>名称含有无法保存的字符!</source>
        <translation>The name contains characters that cannot be saved!</translation>
    </message>
    <message>
        <source>描述含有无法保存的字符!</source>
        <translation>The description contains characters that cannot be saved!</translation>
    </message>
    <message>
        <source>图例的属性结构无法读取,将原样保留属性结构和属性内容!
&apos;属性结构&apos;和&apos;设为默认值&apos;会以新的属性结构替换它。</source>
        <translation>The legend&apos;s attribute structure cannot be read; the structure and content are kept as stored!
&apos;Fields&apos; and &apos;Set as Default&apos; replace it with a new structure.</translation>
    </message>
    <message>
        <source>属性结构无法读取,编辑属性结构将以新的属性结构替换它,原属性内容将被清除!
是否继续?</source>
        <translation>The attribute structure cannot be read. Editing it replaces it with a new structure and clears the attribute content!
Continue?</translation>
    </message>
    <message>
        <source>属性结构无法读取,不能编辑属性内容!
原属性结构和属性内容将原样保留。</source>
        <translation>The attribute structure cannot be read, so the attribute content cannot be edited!
The structure and content are kept as stored.</translation>
    </message>
    <message>
        <source>图例板(%s)</source>
        <translation>Legend Pad (%s)</translation>
    </message>
    <message>
        <source>标题为图例编码</source>
        <translation>Captions Show Class Codes</translation>
    </message>
    <message>
        <source>标题为图例名称</source>
        <translation>Captions Show Names</translation>
    </message>
    <message>
        <source>[线类型]</source>
        <translation> [line]</translation>
    </message>
    <message>
        <source>[点类型]</source>
        <translation> [point]</translation>
    </message>
    <message>
        <source>[区类型]</source>
        <translation> [region]</translation>
    </message>
    <message>
        <source>[未知类型]</source>
        <translation> [unknown type]</translation>
    </message>
    <message>
        <source>点图例参数编辑</source>
        <translation>Point Legend Parameters</translation>
    </message>
    <message>
        <source>线图例参数编辑</source>
        <translation>Line Legend Parameters</translation>
    </message>
    <message>
        <source>区图例参数编辑</source>
        <translation>Region Legend Parameters</translation>
    </message>
    <message>
        <source>图例属性内容编辑</source>
        <translation>Attribute Values</translation>
    </message>
    <message>
        <source>图例文件打开失败!文件名非法!
请重新&apos;关联图例文件&apos;</source>
        <translation>The legend file could not be opened: the file name is not valid!
Associate the legend file again.</translation>
    </message>
    <message>
        <source>属性值无法保存:</source>
        <translation>The attribute value cannot be saved: </translation>
    </message>
    <message>
        <source>属性值不是有效数值:</source>
        <translation>The attribute value is not a valid number: </translation>
    </message>
    <message>
        <source>属性值超出范围:</source>
        <translation>The attribute value is out of range: </translation>
    </message>
    <message>
        <source>无日期</source>
        <translation>No date</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>字节整数</source>
        <translation>Byte integer</translation>
    </message>
    <message>
        <source>短整数</source>
        <translation>Short integer</translation>
    </message>
    <message>
        <source>整数</source>
        <translation>Integer</translation>
    </message>
    <message>
        <source>长整数</source>
        <translation>Long integer</translation>
    </message>
    <message>
        <source>单精度</source>
        <translation>Single precision</translation>
    </message>
    <message>
        <source>双精度</source>
        <translation>Double precision</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>字段名称为空</source>
        <translation>the field name is empty</translation>
    </message>
    <message>
        <source>字段名称含有不能保存的字符</source>
        <translation>the field name contains characters that cannot be saved</translation>
    </message>
    <message>
        <source>字段名称超过%1字节</source>
        <translation>the field name is longer than %1 bytes</translation>
    </message>
    <message>
        <source>字段名称重复</source>
        <translation>the field name is used twice</translation>
    </message>
    <message>
        <source>文本长度应在1到%1之间</source>
        <translation>the text length must be between 1 and %1</translation>
    </message>
    <message>
        <source>小数位应在0到%1之间</source>
        <translation>the decimals must be between 0 and %1</translation>
    </message>
    <message>
        <source>字段数超过%1</source>
        <translation>there are more than %1 fields</translation>
    </message>
    <message>
        <source>第%1行: %2</source>
        <translation>Row %1: %2</translation>
    </message>
    <message>
        <source>字段%1</source>
        <translation>Field%1</translation>
    </message>
    <message>
        <source>属性结构编辑</source>
        <translation>Attribute Fields</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>小数位</source>
        <translation>Decimals</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>插入</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Move Up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Move Down</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>注释</source>
        <translation>Annotation</translation>
    </message>
    <message>
        <source>符号</source>
        <translation>Symbol</translation>
    </message>
    <message>
        <source>圆点</source>
        <translation>Dot</translation>
    </message>
    <message>
        <source>圆圈</source>
        <translation>Circle</translation>
    </message>
    <message>
        <source>图像</source>
        <translation>Image</translation>
    </message>
    <message>
        <source> 像素</source>
        <translation> px</translation>
    </message>
    <message>
        <source> 度</source>
        <translation> °</translation>
    </message>
    <message>
        <source>轮廓线至少画一个像素宽</source>
        <translation>Outlines are drawn at least one pixel wide</translation>
    </message>
    <message>
        <source>横排</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>竖排</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>图像点总是显示图像图标,没有可编辑的参数。</source>
        <translation>An image point always shows the image icon; it has no parameters to edit.</translation>
    </message>
    <message>
        <source>类型:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>颜色:</source>
        <translation>Colour:</translation>
    </message>
    <message>
        <source>高度:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>宽度:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>角度:</source>
        <translation>Angle:</translation>
    </message>
    <message>
        <source>线宽:</source>
        <translation>Line width:</translation>
    </message>
    <message>
        <source>直径:</source>
        <translation>Diameter:</translation>
    </message>
    <message>
        <source>字高:</source>
        <translation>Text height:</translation>
    </message>
    <message>
        <source>字宽:</source>
        <translation>Text width:</translation>
    </message>
    <message>
        <source>字间距:</source>
        <translation>Spacing:</translation>
    </message>
    <message>
        <source>排列:</source>
        <translation>Layout:</translation>
    </message>
    <message>
        <source>符号 %1  %2</source>
        <translation>Symbol %1  %2</translation>
    </message>
    <message>
        <source>符号 %1 (符号库中没有,显示为 %2)</source>
        <translation>Symbol %1 (not in the library, shown as %2)</translation>
    </message>
    <message>
        <source>双色线型的第二种颜色</source>
        <translation>The second colour of two-colour line styles</translation>
    </message>
    <message>
        <source>线型图案重复一次的长度;记录以 1/8 像素为单位</source>
        <translation>The length of one repeat of the line pattern; stored in 1/8 pixels</translation>
    </message>
    <message>
        <source>线型图案横跨线的宽度;记录以 1/16 像素为单位</source>
        <translation>The width of the line pattern across the line; stored in 1/16 pixels</translation>
    </message>
    <message>
        <source>第二颜色:</source>
        <translation>Second colour:</translation>
    </message>
    <message>
        <source>图案长度:</source>
        <translation>Pattern length:</translation>
    </message>
    <message>
        <source>图案宽度:</source>
        <translation>Pattern width:</translation>
    </message>
    <message>
        <source>线型</source>
        <translation>Line Style</translation>
    </message>
    <message>
        <source>图案的颜色,也是区域边线的颜色</source>
        <translation>The colour of the pattern, and of the region&apos;s outline</translation>
    </message>
    <message>
        <source>图例板的样例按宽度画正方形的图案单元</source>
        <translation>The pad&apos;s samples draw square pattern cells from the width</translation>
    </message>
    <message>
        <source>填充颜色:</source>
        <translation>Fill colour:</translation>
    </message>
    <message>
        <source>图案颜色:</source>
        <translation>Pattern colour:</translation>
    </message>
    <message>
        <source>图案高度:</source>
        <translation>Pattern height:</translation>
    </message>
    <message>
        <source>图案</source>
        <translation>Pattern</translation>
    </message>
    <message>
        <source>颜色号 %1</source>
        <translation>Colour %1</translation>
    </message>
    <message>
        <source>%1 (无效)</source>
        <translation>%1 (invalid)</translation>
    </message>
    <message>
        <source>是(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>否(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>保存图例文件</source>
        <translation>Save Legend File</translation>
    </message>
    <message>
        <source>打开图例文件</source>
        <translation>Open Legend File</translation>
    </message>
    <message>
        <source>图例文件 (*.CLN)</source>
        <translation>Legend files (*.CLN)</translation>
    </message>
    <message>
        <source>所有文件 (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>居民地</source>
        <translation>Settlement</translation>
    </message>
    <message>
        <source>实心圆</source>
        <translation>Filled circle</translation>
    </message>
    <message>
        <source>方框</source>
        <translation>Square</translation>
    </message>
    <message>
        <source>实心方块</source>
        <translation>Filled square</translation>
    </message>
    <message>
        <source>三角形</source>
        <translation>Triangle</translation>
    </message>
    <message>
        <source>实心三角形</source>
        <translation>Filled triangle</translation>
    </message>
    <message>
        <source>菱形</source>
        <translation>Diamond</translation>
    </message>
    <message>
        <source>实心菱形</source>
        <translation>Filled diamond</translation>
    </message>
    <message>
        <source>五角星</source>
        <translation>Star</translation>
    </message>
    <message>
        <source>十字</source>
        <translation>Cross</translation>
    </message>
    <message>
        <source>叉号</source>
        <translation>X mark</translation>
    </message>
    <message>
        <source>带十字的圆</source>
        <translation>Crossed circle</translation>
    </message>
    <message>
        <source>三角点</source>
        <translation>Triangulation point</translation>
    </message>
    <message>
        <source>水准点</source>
        <translation>Benchmark</translation>
    </message>
    <message>
        <source>教堂</source>
        <translation>Church</translation>
    </message>
    <message>
        <source>医院</source>
        <translation>Hospital</translation>
    </message>
    <message>
        <source>机场</source>
        <translation>Airport</translation>
    </message>
    <message>
        <source>港口</source>
        <translation>Harbour</translation>
    </message>
    <message>
        <source>矿井</source>
        <translation>Mine</translation>
    </message>
    <message>
        <source>灯塔</source>
        <translation>Lighthouse</translation>
    </message>
    <message>
        <source>阔叶树</source>
        <translation>Deciduous tree</translation>
    </message>
    <message>
        <source>针叶树</source>
        <translation>Conifer</translation>
    </message>
    <message>
        <source>水井</source>
        <translation>Well</translation>
    </message>
    <message>
        <source>泉</source>
        <translation>Spring</translation>
    </message>
    <message>
        <source>风车</source>
        <translation>Windmill</translation>
    </message>
    <message>
        <source>塔</source>
        <translation>Tower</translation>
    </message>
    <message>
        <source>天线</source>
        <translation>Antenna</translation>
    </message>
    <message>
        <source>桥</source>
        <translation>Bridge</translation>
    </message>
    <message>
        <source>山隘</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>山峰</source>
        <translation>Mountain</translation>
    </message>
    <message>
        <source>山洞</source>
        <translation>Cave</translation>
    </message>
    <message>
        <source>营地</source>
        <translation>Camp</translation>
    </message>
    <message>
        <source>停车场</source>
        <translation>Parking</translation>
    </message>
    <message>
        <source>加油站</source>
        <translation>Fuel</translation>
    </message>
    <message>
        <source>旗帜</source>
        <translation>Flag</translation>
    </message>
    <message>
        <source>邮局</source>
        <translation>Post office</translation>
    </message>
    <message>
        <source>学校</source>
        <translation>School</translation>
    </message>
    <message>
        <source>纪念碑</source>
        <translation>Monument</translation>
    </message>
    <message>
        <source>遗址</source>
        <translation>Ruin</translation>
    </message>
    <message>
        <source>墓地</source>
        <translation>Cemetery</translation>
    </message>
    <message>
        <source>水坝</source>
        <translation>Dam</translation>
    </message>
    <message>
        <source>瀑布</source>
        <translation>Waterfall</translation>
    </message>
    <message>
        <source>渡口</source>
        <translation>Ferry</translation>
    </message>
    <message>
        <source>火车站</source>
        <translation>Railway station</translation>
    </message>
    <message>
        <source>公交车站</source>
        <translation>Bus stop</translation>
    </message>
    <message>
        <source>问询处</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>城堡</source>
        <translation>Castle</translation>
    </message>
    <message>
        <source>工厂</source>
        <translation>Factory</translation>
    </message>
    <message>
        <source>小屋</source>
        <translation>Hut</translation>
    </message>
    <message>
        <source>箭头</source>
        <translation>Arrow</translation>
    </message>
    <message>
        <source>首都</source>
        <translation>Capital</translation>
    </message>
    <message>
        <source>实线</source>
        <translation>Solid</translation>
    </message>
    <message>
        <source>虚线</source>
        <translation>Dashed</translation>
    </message>
    <message>
        <source>点线</source>
        <translation>Dotted</translation>
    </message>
    <message>
        <source>点划线</source>
        <translation>Dash-dot</translation>
    </message>
    <message>
        <source>双点划线</source>
        <translation>Dash-dot-dot</translation>
    </message>
    <message>
        <source>长虚线</source>
        <translation>Long dash</translation>
    </message>
    <message>
        <source>双线</source>
        <translation>Double line</translation>
    </message>
    <message>
        <source>双边道路</source>
        <translation>Cased road</translation>
    </message>
    <message>
        <source>界线</source>
        <translation>Boundary</translation>
    </message>
    <message>
        <source>国界</source>
        <translation>State boundary</translation>
    </message>
    <message>
        <source>路堤</source>
        <translation>Embankment</translation>
    </message>
    <message>
        <source>断层</source>
        <translation>Fault</translation>
    </message>
    <message>
        <source>等高线</source>
        <translation>Contour</translation>
    </message>
    <message>
        <source>计曲线</source>
        <translation>Index contour</translation>
    </message>
    <message>
        <source>铁路</source>
        <translation>Railway</translation>
    </message>
    <message>
        <source>轨道</source>
        <translation>Tracks</translation>
    </message>
    <message>
        <source>流向箭头</source>
        <translation>Flow arrows</translation>
    </message>
    <message>
        <source>波浪线</source>
        <translation>Wave</translation>
    </message>
    <message>
        <source>锯齿线</source>
        <translation>Zigzag</translation>
    </message>
    <message>
        <source>十字线</source>
        <translation>Crosses</translation>
    </message>
    <message>
        <source>圆圈线</source>
        <translation>Circles</translation>
    </message>
    <message>
        <source>管线</source>
        <translation>Pipeline</translation>
    </message>
    <message>
        <source>栅栏</source>
        <translation>Fence</translation>
    </message>
    <message>
        <source>斜坡</source>
        <translation>Slope</translation>
    </message>
    <message>
        <source>双虚线</source>
        <translation>Double dashed</translation>
    </message>
    <message>
        <source>带中线的道路</source>
        <translation>Road with centre line</translation>
    </message>
    <message>
        <source>堤坝</source>
        <translation>Levee</translation>
    </message>
    <message>
        <source>纯色</source>
        <translation>Plain</translation>
    </message>
    <message>
        <source>横线</source>
        <translation>Horizontal hatch</translation>
    </message>
    <message>
        <source>竖线</source>
        <translation>Vertical hatch</translation>
    </message>
    <message>
        <source>45度斜线</source>
        <translation>Hatch 45</translation>
    </message>
    <message>
        <source>135度斜线</source>
        <translation>Hatch 135</translation>
    </message>
    <message>
        <source>水稻田</source>
        <translation>Rice paddy</translation>
    </message>
    <message>
        <source>方格</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>斜方格</source>
        <translation>Diagonal grid</translation>
    </message>
    <message>
        <source>细横线</source>
        <translation>Fine horizontal</translation>
    </message>
    <message>
        <source>细竖线</source>
        <translation>Fine vertical</translation>
    </message>
    <message>
        <source>45度细斜线</source>
        <translation>Fine 45</translation>
    </message>
    <message>
        <source>135度细斜线</source>
        <translation>Fine 135</translation>
    </message>
    <message>
        <source>45度粗斜线</source>
        <translation>Coarse 45</translation>
    </message>
    <message>
        <source>错位圆点</source>
        <translation>Staggered dots</translation>
    </message>
    <message>
        <source>砖墙</source>
        <translation>Bricks</translation>
    </message>
    <message>
        <source>棋盘格</source>
        <translation>Chequerboard</translation>
    </message>
    <message>
        <source>草地</source>
        <translation>Grass</translation>
    </message>
    <message>
        <source>沼泽地</source>
        <translation>Marsh</translation>
    </message>
    <message>
        <source>果园</source>
        <translation>Orchard</translation>
    </message>
    <message>
        <source>森林</source>
        <translation>Forest</translation>
    </message>
    <message>
        <source>葡萄园</source>
        <translation>Vineyard</translation>
    </message>
    <message>
        <source>沙地</source>
        <translation>Sand</translation>
    </message>
    <message>
        <source>岩石</source>
        <translation>Rock</translation>
    </message>
    <message>
        <source>湿地</source>
        <translation>Swamp</translation>
    </message>
    <message>
        <source>锯齿</source>
        <translation>Zigzag</translation>
    </message>
    <message>
        <source>波浪</source>
        <translation>Waves</translation>
    </message>
    <message>
        <source>加号</source>
        <translation>Plus signs</translation>
    </message>
    <message>
        <source>六边形</source>
        <translation>Hexagons</translation>
    </message>
    <message>
        <source>短线</source>
        <translation>Dashes</translation>
    </message>
    <message>
        <source>条纹</source>
        <translation>Stripes</translation>
    </message>
    <message>
        <source>瓦片</source>
        <translation>Tiles</translation>
    </message>
    <message>
        <source>图例文件未能读入,保存将覆盖原文件!
是否继续?</source>
        <translation>The legend file could not be read; saving will overwrite it!
Continue?</translation>
    </message>
    <message>
        <source>正在选择图例...</source>
        <translation>Selecting legends...</translation>
    </message>
    <message>
        <source>正在统改属性...</source>
        <translation>Changing attributes...</translation>
    </message>
    <message>
        <source>选中全部</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>反向选择</source>
        <translation>Invert Selection</translation>
    </message>
    <message>
        <source>图例类型</source>
        <translation>Legend Type</translation>
    </message>
    <message>
        <source>点类型图例</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>线类型图例</source>
        <translation>Lines</translation>
    </message>
    <message>
        <source>区类型图例</source>
        <translation>Regions</translation>
    </message>
    <message>
        <source>图例信息</source>
        <translation>Legend</translation>
    </message>
    <message>
        <source>设为默认值</source>
        <translation>Set as Default</translation>
    </message>
    <message>
        <source>名称:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>描述:</source>
        <translation>Description:</translation>
    </message>
    <message>
        <source>分类码:</source>
        <translation>Class code:</translation>
    </message>
    <message>
        <source>图例参数</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>新图例带属性结构和属性内容</source>
        <translation>New legends carry the attribute structure and content</translation>
    </message>
    <message>
        <source>属性结构</source>
        <translation>Fields</translation>
    </message>
    <message>
        <source>属性内容</source>
        <translation>Values</translation>
    </message>
    <message>
        <source>统改属性</source>
        <translation>Set All</translation>
    </message>
    <message>
        <source>图例总数:</source>
        <translation>Legends:</translation>
    </message>
    <message>
        <source>当前图例号:</source>
        <translation>Current legend:</translation>
    </message>
    <message>
        <source>   名称</source>
        <translation>   Name</translation>
    </message>
    <message>
        <source> 分类码</source>
        <translation> Class code</translation>
    </message>
    <message>
        <source>   描述</source>
        <translation>   Description</translation>
    </message>
    <message>
        <source> 大小</source>
        <translation> Size</translation>
    </message>
    <message>
        <source>文件不存在。</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <source>这是一个文件夹,不是文件。</source>
        <translation>This is a folder, not a file.</translation>
    </message>
    <message>
        <source>没有读取该文件的权限。</source>
        <translation>You do not have permission to read this file.</translation>
    </message>
    <message>
        <source>文件无法读取。</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <source>文件开头不是图例文件的文件头。</source>
        <translation>The file does not begin with a legend file header.</translation>
    </message>
    <message>
        <source>文件在图例个数之前就结束了。</source>
        <translation>The file ends before the number of legends.</translation>
    </message>
    <message>
        <source>图例个数为负数(%d)。</source>
        <translation>The number of legends is negative (%d).</translation>
    </message>
    <message>
        <source>图例个数(%d)超过上限32767。</source>
        <translation>The number of legends (%d) is above the limit of 32767.</translation>
    </message>
    <message>
        <source>图例头记录超出了文件末尾。</source>
        <translation>The legend head records run past the end of the file.</translation>
    </message>
    <message>
        <source>图例没有相应的信息!</source>
        <translation>The legend has no information to show!</translation>
    </message>
    <message>
        <source>%1 已存在。
要替换它吗?</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>图例板</source>
        <translation>Legend Pad</translation>
    </message>
    <message>
        <source>图例选择板</source>
        <translation>Legend Pad</translation>
    </message>
    <message>
        <source>选择序号</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>选择此序号的图例</source>
        <translation>Select the legend with this number</translation>
    </message>
    <message>
        <source>图例总数</source>
        <translation>Legends</translation>
    </message>
    <message>
        <source>编辑图例</source>
        <translation>Edit Legend</translation>
    </message>
    <message>
        <source>整个文件另存为..</source>
        <translation>Save Whole File As..</translation>
    </message>
    <message>
        <source>当前显示另存为..</source>
        <translation>Save Shown Legends As..</translation>
    </message>
    <message>
        <source>显示点图例</source>
        <translation>Show Point Legends</translation>
    </message>
    <message>
        <source>显示线图例</source>
        <translation>Show Line Legends</translation>
    </message>
    <message>
        <source>显示区图例</source>
        <translation>Show Region Legends</translation>
    </message>
    <message>
        <source>显示图例内容提示</source>
        <translation>Show Legend Tips</translation>
    </message>
    <message>
        <source>修改图例参数</source>
        <translation>Legend Parameters</translation>
    </message>
    <message>
        <source>图形参数</source>
        <translation>Graphics</translation>
    </message>
    <message>
        <source>在图例板中打开一个图例文件，并显示图例板报告的内容。</source>
        <translation>Opens a legend file in a legend pad and shows what it reports.</translation>
    </message>
    <message>
        <source>图例文件 (.CLN)；省略时打开随附的示例文件</source>
        <translation>legend file (.CLN); the bundled sample if omitted</translation>
    </message>
    <message>
        <source>把宿主和图例板画进 FILE.png 后退出</source>
        <translation>render the host and the pad into FILE.png and exit</translation>
    </message>
    <message>
        <source>在图例板的 X,Y 处单击 (可重复)</source>
        <translation>click the pad at X,Y (repeatable)</translation>
    </message>
    <message>
        <source>--click 需要 X,Y，而不是 &apos;%1&apos;</source>
        <translation>--click wants X,Y, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>无法写入 %1</source>
        <translation>cannot write %1</translation>
    </message>
    <message>
        <source>图例宿主</source>
        <translation>Legend Host</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>打开图例文件…</source>
        <translation>Open Legend File…</translation>
    </message>
    <message>
        <source>重新载入</source>
        <translation>Reload</translation>
    </message>
    <message>
        <source>重新载入 (发送 WM_LEGEND_RELOAD)</source>
        <translation>Reload (send WM_LEGEND_RELOAD)</translation>
    </message>
    <message>
        <source>关闭图例板</source>
        <translation>Close Legend Pad</translation>
    </message>
    <message>
        <source>重新打开图例板</source>
        <translation>Reopen Legend Pad</translation>
    </message>
    <message>
        <source>编辑图例文件</source>
        <translation>Edit Legend File</translation>
    </message>
    <message>
        <source>新建图例文件</source>
        <translation>New Legend File</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>项目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>未打开图例板</source>
        <translation>No legend pad open</translation>
    </message>
    <message>
        <source>SetNewCLNFile 未完成: %1</source>
        <translation>SetNewCLNFile did not complete: %1</translation>
    </message>
    <message>
        <source>CreateCLNPadWindow 失败: %1</source>
        <translation>CreateCLNPadWindow failed: %1</translation>
    </message>
    <message>
        <source>未选择图例</source>
        <translation>No legend selected</translation>
    </message>
    <message>
        <source>未选择图例 (图例 %1 已取消选择)</source>
        <translation>No legend selected (legend %1 was deselected)</translation>
    </message>
    <message>
        <source>WM_LEGEND_RELOAD 已发送到图例板</source>
        <translation>WM_LEGEND_RELOAD sent to the legend pad</translation>
    </message>
    <message>
        <source>图例板已关闭</source>
        <translation>The legend pad is closed</translation>
    </message>
    <message>
        <source>图例 %1</source>
        <translation>Legend %1</translation>
    </message>
    <message>
        <source>头记录 (GetCLNHeadInfo)</source>
        <translation>Head record (GetCLNHeadInfo)</translation>
    </message>
    <message>
        <source>点参数 (GetCLNPntInfo)</source>
        <translation>Point parameters (GetCLNPntInfo)</translation>
    </message>
    <message>
        <source>线参数 (GetCLNLinInfo)</source>
        <translation>Line parameters (GetCLNLinInfo)</translation>
    </message>
    <message>
        <source>区参数 (GetCLNRegInfo)</source>
        <translation>Region parameters (GetCLNRegInfo)</translation>
    </message>
    <message>
        <source>属性 (GetCLNAttInfo, %1 字节)</source>
        <translation>Attributes (GetCLNAttInfo, %1 bytes)</translation>
    </message>
    <message>
        <source>属性 (GetCLNAttInfo)</source>
        <translation>Attributes (GetCLNAttInfo)</translation>
    </message>
    <message>
        <source>无属性</source>
        <translation>No attributes</translation>
    </message>
    <message>
        <source>图例板未打开</source>
        <translation>Legend pad not open</translation>
    </message>
    <message>
        <source>%1 — %2 个图例</source>
        <translation>%1 — %2 legends</translation>
    </message>
    <message>
        <source>图例宿主 — %1</source>
        <translation>Legend Host — %1</translation>
    </message>
    <message>
        <source>%1 (%2 像素)</source>
        <translation>%1 (%2 px)</translation>
    </message>
    <message>
        <source>调色板 %1</source>
        <translation>Palette %1</translation>
    </message>
    <message>
        <source>字符串</source>
        <translation>String</translation>
    </message>
    <message>
        <source>8位整数</source>
        <translation>8-bit integer</translation>
    </message>
    <message>
        <source>16位整数</source>
        <translation>16-bit integer</translation>
    </message>
    <message>
        <source>32位整数</source>
        <translation>32-bit integer</translation>
    </message>
    <message>
        <source>64位整数</source>
        <translation>64-bit integer</translation>
    </message>
    <message>
        <source>单精度浮点</source>
        <translation>Single-precision float</translation>
    </message>
    <message>
        <source>双精度浮点</source>
        <translation>Double-precision float</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>(无日期)</source>
        <translation>(no date)</translation>
    </message>
    <message>
        <source>线图例 (0)</source>
        <translation>Line legend (0)</translation>
    </message>
    <message>
        <source>点图例 (1)</source>
        <translation>Point legend (1)</translation>
    </message>
    <message>
        <source>区图例 (2)</source>
        <translation>Region legend (2)</translation>
    </message>
    <message>
        <source>未知类型 (%1)</source>
        <translation>Unknown type (%1)</translation>
    </message>
    <message>
        <source>描述</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>分类码</source>
        <translation>Class code</translation>
    </message>
    <message>
        <source>数据块偏移</source>
        <translation>Block offset</translation>
    </message>
    <message>
        <source>数据块大小</source>
        <translation>Block size</translation>
    </message>
    <message>
        <source>点</source>
        <translation>Point</translation>
    </message>
    <message>
        <source>圆</source>
        <translation>Circle</translation>
    </message>
    <message>
        <source>点类型</source>
        <translation>Point type</translation>
    </message>
    <message>
        <source>未知 (%1)</source>
        <translation>Unknown (%1)</translation>
    </message>
    <message>
        <source>字高</source>
        <translation>Text height</translation>
    </message>
    <message>
        <source>字宽</source>
        <translation>Text width</translation>
    </message>
    <message>
        <source>角度</source>
        <translation>Angle</translation>
    </message>
    <message>
        <source>字间距</source>
        <translation>Spacing</translation>
    </message>
    <message>
        <source>排列</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>符号号</source>
        <translation>Symbol number</translation>
    </message>
    <message>
        <source>高度</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>宽度</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>笔宽</source>
        <translation>Pen width</translation>
    </message>
    <message>
        <source>直径</source>
        <translation>Diameter</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>线宽</source>
        <translation>Line width</translation>
    </message>
    <message>
        <source>图案长度</source>
        <translation>Pattern length</translation>
    </message>
    <message>
        <source>图案宽度</source>
        <translation>Pattern width</translation>
    </message>
    <message>
        <source>辅助颜色</source>
        <translation>Second colour</translation>
    </message>
    <message>
        <source>填充颜色</source>
        <translation>Fill colour</translation>
    </message>
    <message>
        <source>图案宽</source>
        <translation>Pattern width</translation>
    </message>
    <message>
        <source>图案高</source>
        <translation>Pattern height</translation>
    </message>
    <message>
        <source>图案颜色</source>
        <translation>Pattern colour</translation>
    </message>
    <message>
        <source>(记录过短)</source>
        <translation>(record too short)</translation>
    </message>
    <message>
        <source>文件: </source>
        <translation>file: </translation>
    </message>
    <message>
        <source>图例 </source>
        <translation>legend </translation>
    </message>
    <message>
        <source>已添加</source>
        <translation>added</translation>
    </message>
    <message>
        <source>已删除</source>
        <translation>removed</translation>
    </message>
    <message>
        <source>已修改</source>
        <translation>changed</translation>
    </message>
    <message>
        <source>文件无法打开</source>
        <translation>the file cannot be opened</translation>
    </message>
    <message>
        <source>不是图例文件(文件头不对)</source>
        <translation>not a legend file (bad header)</translation>
    </message>
    <message>
        <source>文件在%1字节后结束,没有图例个数</source>
        <translation>the file ends after %1 bytes, before the legend count</translation>
    </message>
    <message>
        <source>图例个数%1为负数</source>
        <translation>legend count %1 is negative</translation>
    </message>
    <message>
        <source>图例个数%1超过32767</source>
        <translation>legend count %1 is above 32767</translation>
    </message>
    <message>
        <source>头记录超出文件末尾(到偏移%1)</source>
        <translation>head records reach past the end of the file (to offset %1)</translation>
    </message>
    <message>
        <source>数据块大小%1为负数</source>
        <translation>block size %1 is negative</translation>
    </message>
    <message>
        <source>%1字节的数据块超出文件末尾</source>
        <translation>block of %1 bytes reaches past the end of the file</translation>
    </message>
    <message>
        <source>%1字节的数据块没有属性部分的位置</source>
        <translation>block of %1 bytes has no room for an attribute part</translation>
    </message>
    <message>
        <source>数据块在属性结构大小之内结束</source>
        <translation>block ends inside the attribute structure size</translation>
    </message>
    <message>
        <source>属性结构大小%1为负数</source>
        <translation>attribute structure size %1 is negative</translation>
    </message>
    <message>
        <source>属性结构大小%1超出数据块末尾</source>
        <translation>attribute structure size %1 reaches past the end of the block</translation>
    </message>
    <message>
        <source>数据块在属性记录大小之内结束</source>
        <translation>block ends inside the attribute record size</translation>
    </message>
    <message>
        <source>属性记录大小%1为负数</source>
        <translation>attribute record size %1 is negative</translation>
    </message>
    <message>
        <source>属性记录大小%1超出数据块末尾</source>
        <translation>attribute record size %1 reaches past the end of the block</translation>
    </message>
    <message>
        <source>%1字节的属性结构无法读入</source>
        <translation>attribute structure of %1 bytes does not load</translation>
    </message>
    <message>
        <source>属性结构用了%1字节,与存储的大小不符</source>
        <translation>attribute structure uses %1 bytes, not its stored size</translation>
    </message>
    <message>
        <source>属性记录大小与属性结构的记录长度%1不同</source>
        <translation>attribute record size differs from the structure&apos;s record length %1</translation>
    </message>
    <message>
        <source>图例%1: %2</source>
        <translation>legend %1: %2</translation>
    </message>
    <message>
        <source>%1 字节</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>文件:</source>
        <translation>file:</translation>
    </message>
    <message>
        <source>文件大小:</source>
        <translation>file size:</translation>
    </message>
    <message>
        <source>图例:</source>
        <translation>legends:</translation>
    </message>
    <message>
        <source>  点:</source>
        <translation>  point:</translation>
    </message>
    <message>
        <source>  线:</source>
        <translation>  line:</translation>
    </message>
    <message>
        <source>  区:</source>
        <translation>  region:</translation>
    </message>
    <message>
        <source>  未知:</source>
        <translation>  unknown:</translation>
    </message>
    <message>
        <source>数据区偏移:</source>
        <translation>data area offset:</translation>
    </message>
    <message>
        <source>数据区大小:</source>
        <translation>data area size:</translation>
    </message>
    <message>
        <source>数据块共%1字节,最远的数据块结束于%2</source>
        <translation>%1 bytes in blocks, furthest block end %2</translation>
    </message>
    <message>
        <source>问题:</source>
        <translation>problems:</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>完好: %1 个图例</source>
        <translation>ok: %1 legends</translation>
    </message>
    <message>
        <source>按名称、分类码或描述筛选</source>
        <translation>Filter by name, class code or description</translation>
    </message>
    <message>
        <source>查找图例...</source>
        <translation>Find Legend...</translation>
    </message>
    <message>
        <source>名称、分类码或序号</source>
        <translation>Name, class code or number</translation>
    </message>
    <message>
        <source>图例 %1: 未知类型 %2,其他 GIS 无法绘制,未导出</source>
        <translation>legend %1: unknown type %2, which no other GIS can draw, not exported</translation>
    </message>
    <message>
        <source>图例 %1 &quot;%3&quot;: 未知类型 %2,其他 GIS 无法绘制,未导出</source>
        <translation>legend %1 &quot;%3&quot;: unknown type %2, which no other GIS can draw, not exported</translation>
    </message>
    <message>
        <source>图例 %1: %2 字节的数据块容不下图形参数,未导出</source>
        <translation>legend %1: block of %2 bytes cannot hold its graphic parameters, not exported</translation>
    </message>
    <message>
        <source>图例 %1 &quot;%3&quot;: %2 字节的数据块容不下图形参数,未导出</source>
        <translation>legend %1 &quot;%3&quot;: block of %2 bytes cannot hold its graphic parameters, not exported</translation>
    </message>
    <message>
        <source>图例 %1: 偏移 %2 处的图形参数超出了文件末尾,未导出</source>
        <translation>legend %1: graphic parameters at offset %2 reach past the end of the file, not exported</translation>
    </message>
    <message>
        <source>图例 %1 &quot;%3&quot;: 偏移 %2 处的图形参数超出了文件末尾,未导出</source>
        <translation>legend %1 &quot;%3&quot;: graphic parameters at offset %2 reach past the end of the file, not exported</translation>
    </message>
    <message>
        <source>读取期间文件被改动了</source>
        <translation>the file changed while it was being read</translation>
    </message>
    <message>
        <source>无法写入: %1</source>
        <translation>cannot write: %1</translation>
    </message>
    <message>
        <source>无法创建文件夹: %1</source>
        <translation>cannot create the folder: %1</translation>
    </message>
    <message>
        <source>图例 %1 &quot;%2&quot;: 分类码 %3 已由图例 %4 &quot;%5&quot; 画出,不再单独生成规则</source>
        <translation>legend %1 &quot;%2&quot;: class code %3 is already drawn by legend %4 &quot;%5&quot;, no rule of its own</translation>
    </message>
    <message>
        <source>无法打开: %1</source>
        <translation>cannot open: %1</translation>
    </message>
    <message>
        <source>无法读取整个文件</source>
        <translation>cannot read the whole file</translation>
    </message>
    <message>
        <source>无法读取</source>
        <translation>cannot read</translation>
    </message>
    <message>
        <source>%1;未写入任何内容</source>
        <translation>%1; nothing written</translation>
    </message>
    <message>
        <source>render: 每行的单元格数(1-64,默认 6)。</source>
        <translation>render: cells across (1-64, default 6).</translation>
    </message>
    <message>
        <source>render: 标题用图例名称(name)或分类码(code)。</source>
        <translation>render: captions by legend name or by class code.</translation>
    </message>
    <message>
        <source>export: json(默认)、qgis-style、sld 或 svg。</source>
        <translation>export: json (default), qgis-style, sld or svg.</translation>
    </message>
    <message>
        <source>export --to sld: 存放分类码的属性(默认 class_code)。</source>
        <translation>export --to sld: the attribute holding class codes (default class_code).</translation>
    </message>
    <message>
        <source>render: 未指定输出文件(-o OUT)</source>
        <translation>render: no output given (-o OUT)</translation>
    </message>
    <message>
        <source>render: --columns 的取值为 1 到 %1</source>
        <translation>render: --columns takes 1 to %1</translation>
    </message>
    <message>
        <source>render: --cell-size 的取值为 WxH,宽、高各为 %1 到 %2</source>
        <translation>render: --cell-size takes WxH, each %1 to %2</translation>
    </message>
    <message>
        <source>render: --captions 的取值为 name 或 code</source>
        <translation>render: --captions takes name or code</translation>
    </message>
    <message>
        <source>export: --%1 不适用于 JSON</source>
        <translation>export: --%1 does not apply to JSON</translation>
    </message>
    <message>
        <source>export: --to 的取值为 json、qgis-style、sld 或 svg</source>
        <translation>export: --to takes json, qgis-style, sld or svg</translation>
    </message>
    <message>
        <source>export: --to svg 需要指定文件夹(-o DIR)</source>
        <translation>export: --to svg needs a folder (-o DIR)</translation>
    </message>
    <message>
        <source>export: --attribute 只用于 --to sld</source>
        <translation>export: --attribute belongs to --to sld</translation>
    </message>
    <message>
        <source>export: --attribute 需要一个非空的属性名</source>
        <translation>export: --attribute takes a non-empty name</translation>
    </message>
    <message>
        <source>export: --cell-size 的取值为 WxH,宽、高各为 %1 到 %2</source>
        <translation>export: --cell-size takes WxH, each %1 to %2</translation>
    </message>
    <message>
        <source>图例文件(.CLN)。</source>
        <translation>The legend file (.CLN).</translation>
    </message>
    <message>
        <source>文件大小、各类型的图例数、数据区、问题</source>
        <translation>file size, legend counts by type, data area, problems</translation>
    </message>
    <message>
        <source>显示文件大小、各类型的图例数、数据区的起始位置、数据块共占的字节数和
最远的数据块结束的位置,以及在文件中发现的每个问题。
退出状态: 0 可读(有问题时也是),1 无法打开或不是图例文件,2 命令行错误。</source>
        <translation>Prints the file size, the number of legends by type, where the data area starts,
how many bytes its blocks hold and where the furthest one ends, and every problem
found in the file.
Exit status: 0 readable (also with problems), 1 cannot be opened or not a legend
file, 2 wrong command line.</translation>
    </message>
    <message>
        <source>检查每个头记录和数据块;仅当文件完好时退出状态为 0</source>
        <translation>check every head and block; exit 0 only for a sound file</translation>
    </message>
    <message>
        <source>检查文件头、图例数、每个头记录和每个数据块,包括属性结构和属性记录。
文件完好时显示 &quot;完好: N 个图例&quot;(英文界面下为 &quot;ok: N legends&quot;);
否则在标准错误上每个问题一行。
退出状态: 0 完好,1 发现问题或无法读取,2 命令行错误。</source>
        <translation>Checks the header, the count, every head record and every data block, including
the attribute structures and records. Prints &quot;完好: N 个图例&quot; (&quot;ok: N legends&quot; under
an English locale) for a sound file; otherwise one line per problem on standard error.
Exit status: 0 sound, 1 problems found or not readable, 2 wrong command line.</translation>
    </message>
    <message>
        <source>以 JSON 输出每个图例</source>
        <translation>every legend as JSON</translation>
    </message>
    <message>
        <source>以 JSON 写出文件: count、display_order(图例板显示图例的顺序,以图例序号
列出)和 legends;每个图例含序号、头记录字段、图例板所持有的图形参数记录、
属性结构和属性记录的大小,以及属性字段和它们的值;名称和值的写法与 export
相同(docs/legend-json.md)。
退出状态: 0 已写出,1 无法打开或不是图例文件,2 命令行错误。</source>
        <translation>Writes the file as JSON: count, display_order (the legend indices in the order
the pad shows them) and legends, each with its index, its head fields, its graphic
parameter record as the pad holds it, the attribute structure and record sizes,
and the attribute fields with their values; names and values as export writes
them (docs/legend-json.md).
Exit status: 0 written, 1 cannot be opened or not a legend file, 2 wrong command line.</translation>
    </message>
    <message>
        <source>把每个图例画成可打印的图例表(PNG、SVG 或 PDF)</source>
        <translation>draw every legend as a printable sheet (PNG, SVG or PDF)</translation>
    </message>
    <message>
        <source>按图例板的显示顺序画出文件中的每个图例,排成由单元格组成的图例表,每个
单元格与图例板中的画法完全相同: 样例、标题和序号。格式由 -o 的扩展名决定:
PNG(每页最多 8192 像素;第二页起写在 OUT 旁边,名为 NAME-2.png、
NAME-3.png ...)、SVG(一页)或 PDF(A4 页面)。
退出状态: 0 已写出,1 无法读取或写入,2 命令行错误。</source>
        <translation>Draws every legend of the file, in the order the pad shows them, as a sheet of
cells drawn exactly like the pad&apos;s: sample, caption and number. The format follows
the extension of -o: PNG (pages of at most 8192 pixels; the second and later pages
are written next to OUT as NAME-2.png, NAME-3.png, ...), SVG (one page) or PDF
(A4 pages).
Exit status: 0 written, 1 cannot be read or written, 2 wrong command line.</translation>
    </message>
    <message>
        <source>--to json(默认): 把文件的每个字节写成带缩进的 JSON 文档(写到标准输出,
或用 -o 写到 OUT): 每个图例的名称和描述(UTF-8)、类型、分类码、按字段名
列出的图形参数、属性字段和值,以及文件中的其他一切(保留字节、空隙),
使 import 能还原出相同的字节(docs/legend-json.md)。
--to qgis-style: QGIS 样式库(XML),每个图例一个符号,以图例名称命名,
并标上分类码和类型。
--to sld: OGC 图层样式描述(SLD)1.1,每个分类码一条规则,按 --attribute
指定的属性过滤(默认 class_code)。
--to svg -o DIR: 每个图例一个 SVG,DIR/NNNNN-CODE.svg(显示位置和分类码)。
符号的样子与图例板在 --cell-size 大小的单元格中画的一样(默认 64x64)。
无法导出的图例(未知类型、损坏的数据块)列在标准错误上,其余的照常写出
(docs/legend-export.md)。
退出状态: 0 已写出,1 无法读取、不是图例文件或无法写入,2 命令行错误。</source>
        <translation>--to json (the default): writes every byte of the file as a pretty-printed JSON
document (to standard output, or to OUT with -o): per legend its name and
description (UTF-8), type, class code, graphic parameters by field name,
attribute fields and values, and whatever else the file holds (reserved bytes,
gaps) so that import gives back the same bytes (docs/legend-json.md).
--to qgis-style: a QGIS style library (XML) of one symbol per legend, named after
the legend and tagged with its class code and type.
--to sld: an OGC Styled Layer Descriptor 1.1 with one rule per class code,
filtered on the attribute --attribute names (default class_code).
--to svg -o DIR: one SVG per legend, DIR/NNNNN-CODE.svg (display position and
class code).
The symbols look as the pad draws the legends in a cell of --cell-size (default
64x64). Legends that cannot be exported (unknown types, damaged blocks) are listed
on standard error; the others are written (docs/legend-export.md).
Exit status: 0 written, 1 cannot be read, not a legend file, or cannot be written,
2 wrong command line.</translation>
    </message>
    <message>
        <source>根据 export 生成的 JSON 文档写出图例文件</source>
        <translation>write a legend file from a JSON document made by export</translation>
    </message>
    <message>
        <source>clntool import IN.json OUT.CLN: 写出文档所描述的图例文件,整个替换 OUT.CLN。
文档有问题时拒绝导入,给出第一个问题的 JSON 路径,不写入任何内容。
退出状态: 0 已写出,1 被拒绝或无法读取或写入,2 命令行错误。</source>
        <translation>clntool import IN.json OUT.CLN: writes the legend file the document describes,
replacing OUT.CLN whole. A document with a problem is refused with the JSON path
of the first problem, and nothing is written.
Exit status: 0 written, 1 refused or cannot be read or written, 2 wrong command line.</translation>
    </message>
    <message>
        <source>JSON 文档。</source>
        <translation>The JSON document.</translation>
    </message>
    <message>
        <source>两个图例文件之间增加、删除和修改的图例</source>
        <translation>legends added, removed and changed between two legend files</translation>
    </message>
    <message>
        <source>clntool diff A.CLN B.CLN: 列出从 A 到 B 增加、删除和修改的图例,按序号对应,
并显示图例名称;对每个修改了的图例列出每个不同的字段,旧值 -&gt; 新值(字段名
与 export 中的相同)。
退出状态: 0 相同,1 不同,2 命令行错误或有文件无法读取。</source>
        <translation>clntool diff A.CLN B.CLN: lists the legends added, removed and changed from A to
B, matched by index and shown with their names, and for each changed legend every
field that differs, old -&gt; new (fields as export names them).
Exit status: 0 equal, 1 different, 2 wrong command line or a file that cannot be read.</translation>
    </message>
    <message>
        <source>%1 和 %2</source>
        <translation>%1 and %2</translation>
    </message>
    <message>
        <source>查看和处理图例文件(.CLN)。</source>
        <translation>Inspects legend files (.CLN).</translation>
    </message>
    <message>
        <source>命令:</source>
        <translation>Commands:</translation>
    </message>
    <message>
        <source>运行 &apos;clntool COMMAND --help&apos; 查看命令的详细说明。</source>
        <translation>Run &apos;clntool COMMAND --help&apos; for the details of a command.</translation>
    </message>
    <message>
        <source>显示本帮助。</source>
        <translation>Displays this help.</translation>
    </message>
    <message>
        <source>图例文件(import: JSON 文档)。</source>
        <translation>The legend file (import: the JSON document).</translation>
    </message>
    <message>
        <source>未指定命令</source>
        <translation>no command given</translation>
    </message>
    <message>
        <source>无法写入标准输出</source>
        <translation>cannot write to standard output</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>未知命令 &apos;%1&apos;</source>
        <translation>unknown command &apos;%1&apos;</translation>
    </message>
    <message>
        <source>%1: 未指定文件</source>
        <translation>%1: no file given</translation>
    </message>
    <message>
        <source>%1: 需要两个文件</source>
        <translation>%1: expects two files</translation>
    </message>
    <message>
        <source>%1: 只接受一个文件</source>
        <translation>%1: expects one file</translation>
    </message>
    <message>
        <source>%1: --%2 只用于 %3</source>
        <translation>%1: --%2 belongs to %3</translation>
    </message>
    <message>
        <source>已完成 %1/%2 页</source>
        <translation>%1 of %2 pages</translation>
    </message>
    <message>
        <source>已完成 %1/%2 行</source>
        <translation>%1 of %2 rows</translation>
    </message>
    <message>
        <source>render: 输出文件必须以 .png、.svg 或 .pdf 结尾</source>
        <translation>render: the output must end in .png, .svg or .pdf</translation>
    </message>
    <message>
        <source>render: 已中断,未写入任何文件</source>
        <translation>render: interrupted; nothing was written</translation>
    </message>
    <message>
        <source>render: 无法写入 %1</source>
        <translation>render: cannot write %1</translation>
    </message>
    <message>
        <source>COMMAND</source>
        <comment>command line argument</comment>
        <translation>command</translation>
    </message>
    <message>
        <source>FILE</source>
        <comment>command line argument</comment>
        <translation>file</translation>
    </message>
    <message>
        <source>info、validate、dump、render、export、import 或 diff</source>
        <translation>info, validate, dump, render, export, import or diff</translation>
    </message>
    <message>
        <source>运行 &apos;clntool --help&apos; 查看用法。</source>
        <translation>Run &apos;clntool --help&apos; for usage.</translation>
    </message>
    <message>
        <source>render: 要写入的图例表(.png、.svg 或 .pdf);
export: 要写入的文件(--to svg 时为文件夹)。</source>
        <translation>render: the sheet to write (.png, .svg or .pdf); export: the file to write (--to svg: the folder).</translation>
    </message>
    <message>
        <source>render: 单元格的像素大小(宽、高各 16-1024,默认 100x100);
export: 按此单元格确定符号大小(默认 64x64)。</source>
        <translation>render: cell size in pixels (16-1024 each, default 100x100); export: the cell the symbols are sized for (default 64x64).</translation>
    </message>
    <message>
        <source>导出为 JSON,或为 QGIS、OGC 服务器导出图例,或导出 SVG</source>
        <translation>the file as JSON, or its legends for QGIS, OGC servers or as SVG</translation>
    </message>
    <message>
        <source>文件太短,不是图例文件(%1 字节)</source>
        <translation>too short for a legend file (%1 bytes)</translation>
    </message>
    <message>
        <source>不是图例文件(文件头检查未通过)</source>
        <translation>not a legend file (header check failed)</translation>
    </message>
</context>
</TS>
