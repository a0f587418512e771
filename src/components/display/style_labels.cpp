#include "components/display/style_labels.h"

#include <string_view>

#include <QCoreApplication>

#include "components/codec/ui_language.h"
#include "components/display/styles.h"

namespace legend::display {

namespace {

struct Label {
  std::string_view name;  ///< the drawing code's key
  const char* label;      ///< the Chinese source text
};

constexpr Label kPointSymbols[] = {
    {"settlement", QT_TRANSLATE_NOOP("legend", "居民地")},
    {"circle", QT_TRANSLATE_NOOP("legend", "圆圈")},
    {"filled circle", QT_TRANSLATE_NOOP("legend", "实心圆")},
    {"square", QT_TRANSLATE_NOOP("legend", "方框")},
    {"filled square", QT_TRANSLATE_NOOP("legend", "实心方块")},
    {"triangle", QT_TRANSLATE_NOOP("legend", "三角形")},
    {"filled triangle", QT_TRANSLATE_NOOP("legend", "实心三角形")},
    {"diamond", QT_TRANSLATE_NOOP("legend", "菱形")},
    {"filled diamond", QT_TRANSLATE_NOOP("legend", "实心菱形")},
    {"star", QT_TRANSLATE_NOOP("legend", "五角星")},
    {"cross", QT_TRANSLATE_NOOP("legend", "十字")},
    {"x mark", QT_TRANSLATE_NOOP("legend", "叉号")},
    {"crossed circle", QT_TRANSLATE_NOOP("legend", "带十字的圆")},
    {"triangulation point", QT_TRANSLATE_NOOP("legend", "三角点")},
    {"benchmark", QT_TRANSLATE_NOOP("legend", "水准点")},
    {"church", QT_TRANSLATE_NOOP("legend", "教堂")},
    {"hospital", QT_TRANSLATE_NOOP("legend", "医院")},
    {"airport", QT_TRANSLATE_NOOP("legend", "机场")},
    {"harbour", QT_TRANSLATE_NOOP("legend", "港口")},
    {"mine", QT_TRANSLATE_NOOP("legend", "矿井")},
    {"lighthouse", QT_TRANSLATE_NOOP("legend", "灯塔")},
    {"deciduous tree", QT_TRANSLATE_NOOP("legend", "阔叶树")},
    {"conifer", QT_TRANSLATE_NOOP("legend", "针叶树")},
    {"well", QT_TRANSLATE_NOOP("legend", "水井")},
    {"spring", QT_TRANSLATE_NOOP("legend", "泉")},
    {"windmill", QT_TRANSLATE_NOOP("legend", "风车")},
    {"tower", QT_TRANSLATE_NOOP("legend", "塔")},
    {"antenna", QT_TRANSLATE_NOOP("legend", "天线")},
    {"bridge", QT_TRANSLATE_NOOP("legend", "桥")},
    {"pass", QT_TRANSLATE_NOOP("legend", "山隘")},
    {"mountain", QT_TRANSLATE_NOOP("legend", "山峰")},
    {"cave", QT_TRANSLATE_NOOP("legend", "山洞")},
    {"camp", QT_TRANSLATE_NOOP("legend", "营地")},
    {"parking", QT_TRANSLATE_NOOP("legend", "停车场")},
    {"fuel", QT_TRANSLATE_NOOP("legend", "加油站")},
    {"flag", QT_TRANSLATE_NOOP("legend", "旗帜")},
    {"post office", QT_TRANSLATE_NOOP("legend", "邮局")},
    {"school", QT_TRANSLATE_NOOP("legend", "学校")},
    {"monument", QT_TRANSLATE_NOOP("legend", "纪念碑")},
    {"ruin", QT_TRANSLATE_NOOP("legend", "遗址")},
    {"cemetery", QT_TRANSLATE_NOOP("legend", "墓地")},
    {"dam", QT_TRANSLATE_NOOP("legend", "水坝")},
    {"waterfall", QT_TRANSLATE_NOOP("legend", "瀑布")},
    {"ferry", QT_TRANSLATE_NOOP("legend", "渡口")},
    {"railway station", QT_TRANSLATE_NOOP("legend", "火车站")},
    {"bus stop", QT_TRANSLATE_NOOP("legend", "公交车站")},
    {"information", QT_TRANSLATE_NOOP("legend", "问询处")},
    {"castle", QT_TRANSLATE_NOOP("legend", "城堡")},
    {"factory", QT_TRANSLATE_NOOP("legend", "工厂")},
    {"hut", QT_TRANSLATE_NOOP("legend", "小屋")},
    {"arrow", QT_TRANSLATE_NOOP("legend", "箭头")},
    {"capital", QT_TRANSLATE_NOOP("legend", "首都")},
};

constexpr Label kLineStyles[] = {
    {"solid", QT_TRANSLATE_NOOP("legend", "实线")},
    {"dashed", QT_TRANSLATE_NOOP("legend", "虚线")},
    {"dotted", QT_TRANSLATE_NOOP("legend", "点线")},
    {"dash-dot", QT_TRANSLATE_NOOP("legend", "点划线")},
    {"dash-dot-dot", QT_TRANSLATE_NOOP("legend", "双点划线")},
    {"long dash", QT_TRANSLATE_NOOP("legend", "长虚线")},
    {"double line", QT_TRANSLATE_NOOP("legend", "双线")},
    {"cased road", QT_TRANSLATE_NOOP("legend", "双边道路")},
    {"boundary", QT_TRANSLATE_NOOP("legend", "界线")},
    {"state boundary", QT_TRANSLATE_NOOP("legend", "国界")},
    {"embankment", QT_TRANSLATE_NOOP("legend", "路堤")},
    {"fault", QT_TRANSLATE_NOOP("legend", "断层")},
    {"contour", QT_TRANSLATE_NOOP("legend", "等高线")},
    {"index contour", QT_TRANSLATE_NOOP("legend", "计曲线")},
    {"railway", QT_TRANSLATE_NOOP("legend", "铁路")},
    {"tracks", QT_TRANSLATE_NOOP("legend", "轨道")},
    {"flow arrows", QT_TRANSLATE_NOOP("legend", "流向箭头")},
    {"wave", QT_TRANSLATE_NOOP("legend", "波浪线")},
    {"zigzag", QT_TRANSLATE_NOOP("legend", "锯齿线")},
    {"crosses", QT_TRANSLATE_NOOP("legend", "十字线")},
    {"circles", QT_TRANSLATE_NOOP("legend", "圆圈线")},
    {"pipeline", QT_TRANSLATE_NOOP("legend", "管线")},
    {"fence", QT_TRANSLATE_NOOP("legend", "栅栏")},
    {"slope", QT_TRANSLATE_NOOP("legend", "斜坡")},
    {"double dashed", QT_TRANSLATE_NOOP("legend", "双虚线")},
    {"road with centre line", QT_TRANSLATE_NOOP("legend", "带中线的道路")},
    {"levee", QT_TRANSLATE_NOOP("legend", "堤坝")},
};

constexpr Label kFillPatterns[] = {
    {"plain", QT_TRANSLATE_NOOP("legend", "纯色")},
    {"horizontal hatch", QT_TRANSLATE_NOOP("legend", "横线")},
    {"vertical hatch", QT_TRANSLATE_NOOP("legend", "竖线")},
    {"hatch 45", QT_TRANSLATE_NOOP("legend", "45度斜线")},
    {"hatch 135", QT_TRANSLATE_NOOP("legend", "135度斜线")},
    {"rice paddy", QT_TRANSLATE_NOOP("legend", "水稻田")},
    {"grid", QT_TRANSLATE_NOOP("legend", "方格")},
    {"diagonal grid", QT_TRANSLATE_NOOP("legend", "斜方格")},
    {"fine horizontal", QT_TRANSLATE_NOOP("legend", "细横线")},
    {"fine vertical", QT_TRANSLATE_NOOP("legend", "细竖线")},
    {"fine 45", QT_TRANSLATE_NOOP("legend", "45度细斜线")},
    {"fine 135", QT_TRANSLATE_NOOP("legend", "135度细斜线")},
    {"coarse 45", QT_TRANSLATE_NOOP("legend", "45度粗斜线")},
    {"dots", QT_TRANSLATE_NOOP("legend", "圆点")},
    {"staggered dots", QT_TRANSLATE_NOOP("legend", "错位圆点")},
    {"circles", QT_TRANSLATE_NOOP("legend", "圆圈")},
    {"bricks", QT_TRANSLATE_NOOP("legend", "砖墙")},
    {"chequerboard", QT_TRANSLATE_NOOP("legend", "棋盘格")},
    {"grass", QT_TRANSLATE_NOOP("legend", "草地")},
    {"marsh", QT_TRANSLATE_NOOP("legend", "沼泽地")},
    {"orchard", QT_TRANSLATE_NOOP("legend", "果园")},
    {"forest", QT_TRANSLATE_NOOP("legend", "森林")},
    {"vineyard", QT_TRANSLATE_NOOP("legend", "葡萄园")},
    {"sand", QT_TRANSLATE_NOOP("legend", "沙地")},
    {"rock", QT_TRANSLATE_NOOP("legend", "岩石")},
    {"swamp", QT_TRANSLATE_NOOP("legend", "湿地")},
    {"triangles", QT_TRANSLATE_NOOP("legend", "三角形")},
    {"zigzag", QT_TRANSLATE_NOOP("legend", "锯齿")},
    {"waves", QT_TRANSLATE_NOOP("legend", "波浪")},
    {"plus signs", QT_TRANSLATE_NOOP("legend", "加号")},
    {"crosses", QT_TRANSLATE_NOOP("legend", "叉号")},
    {"hexagons", QT_TRANSLATE_NOOP("legend", "六边形")},
    {"dashes", QT_TRANSLATE_NOOP("legend", "短线")},
    {"diamonds", QT_TRANSLATE_NOOP("legend", "菱形")},
    {"stripes", QT_TRANSLATE_NOOP("legend", "条纹")},
    {"tiles", QT_TRANSLATE_NOOP("legend", "瓦片")},
};

template <std::size_t N>
QString labelOf(const Label (&labels)[N], const QString& name) {
  const QByteArray key = name.toLatin1();
  for (const Label& entry : labels) {
    if (entry.name == std::string_view(key.constData(), static_cast<std::size_t>(key.size())))
      return legend::tr(entry.label);
  }
  // An entry without a label yet keeps its key rather than showing nothing.
  return name;
}

}  // namespace

QString pointSymbolLabel(int number) { return labelOf(kPointSymbols, pointSymbolName(number)); }
QString lineStyleLabel(int style) { return labelOf(kLineStyles, lineStyleName(style)); }
QString fillPatternLabel(int pattern) { return labelOf(kFillPatterns, fillPatternName(pattern)); }

}  // namespace legend::display
