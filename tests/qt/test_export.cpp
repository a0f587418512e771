// The exports for other GIS, checked without them: what QGIS and OGC readers
// rely on in the documents' structure, the legends that go in and the ones
// left out, and the pictures embedded where no layer matches. How faithfully
// QGIS draws the result is measured by scripts/check-qgis.sh.

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <memory>
#include <set>

#include <QDomDocument>

#include "export/export_catalogue.h"
#include "export/exported_legend.h"
#include "export/qgis_style.h"
#include "export/sld.h"
#include "legendfile/legend_set.h"
#include "support/cln_builder.h"
#include "support/run_program.h"

namespace {

using namespace Qt::StringLiterals;
using testcln::Bytes;
using legend::exporter::ExportedLegend;
using testqt::clntool;
using testqt::Outcome;
using testqt::q;

const std::filesystem::path kDemo = std::filesystem::path(LEGEND_SAMPLES_DIR) / "demo.CLN";
constexpr legend::exporter::CellSize kCell{64, 64};
constexpr int kDemoKnownLegends = 24;  // the demo's 25 legends less the one of type 7

struct Loaded {
  std::unique_ptr<legend::LegendSet> set = std::make_unique<legend::LegendSet>();
  legend::exporter::Catalogue catalogue;
  std::vector<ExportedLegend> legends;
};

Loaded load(const std::filesystem::path& path) {
  Loaded loaded;
  loaded.set->setPath(path.string());
  EXPECT_EQ(loaded.set->reload(), legend::LegendStatus::Ok) << path;
  loaded.catalogue = legend::exporter::catalogueOf(*loaded.set);
  loaded.legends = legend::exporter::collectLegends(*loaded.set, loaded.catalogue, kCell);
  return loaded;
}

QDomDocument parsed(const QByteArray& xml, bool namespaces = false) {
  QDomDocument document;
  QString error;
  int line = 0;
  EXPECT_TRUE(document.setContent(xml, namespaces, &error, &line)) << error.toStdString() << " at line " << line;
  EXPECT_TRUE(xml.startsWith(R"(<?xml version="1.0" encoding="UTF-8"?>)"));
  return document;
}

QDomDocument parsedFile(const std::filesystem::path& path) {
  const Bytes bytes = testcln::read(path);
  return parsed(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
}

std::vector<QDomElement> children(const QDomElement& parent, const QString& name = {}) {
  std::vector<QDomElement> found;
  for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
    if (name.isEmpty() || e.localName() == name || e.tagName() == name) found.push_back(e);
  return found;
}

/// The first child element named @p name, with or without a prefix.
QDomElement first(const QDomElement& parent, const QString& name) {
  const std::vector<QDomElement> found = children(parent, name);
  return found.empty() ? QDomElement() : found.front();
}

/// The Option map of a symbol layer.
std::map<QString, QString> options(const QDomElement& layer) {
  std::map<QString, QString> values;
  for (const QDomElement& option : children(layer.firstChildElement(u"Option"_s), u"Option"_s))
    values[option.attribute(u"name"_s)] = option.attribute(u"value"_s);
  return values;
}

/// Decodes a picture embedded as "base64:..." and checks it is an SVG document.
void expectSvgPicture(const QString& path) {
  ASSERT_TRUE(path.startsWith(u"base64:"_s)) << path.left(40).toStdString();
  const QDomDocument svg = parsed(QByteArray::fromBase64(path.mid(7).toLatin1()));
  EXPECT_EQ(svg.documentElement().tagName(), u"svg"_s);
}

/// A point legend drawing a dot of @p diameter in palette colour @p colour.
Bytes dotRecord(double diameter, std::uint32_t colour) {
  Bytes p{2, 0};
  testcln::putLe(p, std::bit_cast<std::uint64_t>(diameter), 8);
  p.resize(94);
  testcln::put32At(p, 44, colour);
  return p;
}

TEST(Export, styleLibraryAndSldHoldEveryKnownLegendOnceAsASymbolAndARuleOfItsKindWithItsCode) {
  const Loaded demo = load(kDemo);
  const QDomDocument style = parsed(legend::exporter::qgisStyleXml(demo.legends));
  const QDomElement root = style.documentElement();
  ASSERT_EQ(root.tagName(), u"qgis_style"_s);
  EXPECT_EQ(root.attribute(u"version"_s), u"2"_s);
  const std::vector<QDomElement> symbols = children(root.firstChildElement(u"symbols"_s), u"symbol"_s);
  ASSERT_EQ(symbols.size(), std::size_t{kDemoKnownLegends});
  const QDomDocument document = parsed(legend::exporter::sldXml(demo.legends, {u"demo"_s, u"CODE"_s}).xml, true);
  const QString se = u"http://www.opengis.net/se"_s;
  const QDomElement sld = document.documentElement();
  ASSERT_EQ(sld.localName(), u"StyledLayerDescriptor"_s);
  EXPECT_EQ(sld.namespaceURI(), u"http://www.opengis.net/sld"_s);
  EXPECT_EQ(sld.attribute(u"version"_s), u"1.1.0"_s);
  const QDomElement namedLayer = first(sld, u"NamedLayer"_s);
  EXPECT_EQ(first(namedLayer, u"Name"_s).text(), u"demo"_s);
  const QDomElement featureTypeStyle = first(first(namedLayer, u"UserStyle"_s), u"FeatureTypeStyle"_s);
  ASSERT_EQ(featureTypeStyle.namespaceURI(), se);
  const std::vector<QDomElement> rules = children(featureTypeStyle, u"Rule"_s);
  ASSERT_EQ(rules.size(), std::size_t{kDemoKnownLegends});
  const QString kinds[] = {u"line"_s, u"marker"_s, u"fill"_s}, typeTags[] = {u"线图例"_s, u"点图例"_s, u"区图例"_s};
  const QString symbolizers[] = {u"LineSymbolizer"_s, u"PointSymbolizer"_s, u"PolygonSymbolizer"_s};
  std::map<QString, QDomElement> byName;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    const ExportedLegend& legend = demo.legends[i];
    const legend::HeadView head = demo.set->head(legend.entry.legendIndex);
    const QString code = QString::number(head.classCode());
    const QDomElement& symbol = symbols[i];
    byName[symbol.attribute(u"name"_s)] = symbol;
    EXPECT_EQ(symbol.attribute(u"type"_s), kinds[head.type()]) << symbol.attribute(u"name"_s).toStdString();
    EXPECT_EQ(symbol.attribute(u"tags"_s).split(u','), QStringList({u"class_code "_s + code, typeTags[head.type()]}));
    EXPECT_FALSE(children(symbol, u"layer"_s).empty());
    // Symbology Encoding's order: name, description, filter, symbolizers.
    const std::vector<QDomElement> parts = children(rules[i]);
    ASSERT_GE(parts.size(), 4u);
    EXPECT_EQ(parts[0].localName() + parts[0].text(), u"Name"_s + code);
    EXPECT_EQ(first(parts[1], u"Title"_s).text(), legend.name);
    const QDomElement equal = first(parts[2], u"PropertyIsEqualTo"_s);
    EXPECT_EQ(first(equal, u"PropertyName"_s).text() + u" = "_s + first(equal, u"Literal"_s).text(),
              u"CODE = "_s + code);
    EXPECT_EQ(parts.back().namespaceURI() + parts.back().localName(), se + symbolizers[head.type()]);
  }
  // QGIS's own layers where they draw the sample as it is, the display's
  // drawing where QGIS has nothing like it.
  const auto classes = [&](const char* name) {
    QStringList found;
    for (const QDomElement& layer : children(byName.at(QString::fromUtf8(name)), u"layer"_s))
      found << layer.attribute(u"class"_s);
    return found;
  };
  EXPECT_EQ(classes("测量控制点"), QStringList{u"SimpleMarker"_s});  // a dot
  EXPECT_EQ(classes("城市"), QStringList{u"SvgMarker"_s});           // a library symbol
  expectSvgPicture(options(children(byName.at(u"城市"_s), u"layer"_s).front()).at(u"name"_s));
  EXPECT_EQ(classes("时令河"), QStringList{u"SimpleLine"_s});  // dashed
  EXPECT_EQ(options(children(byName.at(u"时令河"_s), u"layer"_s).front()).at(u"use_custom_dash"_s), u"1"_s);
  EXPECT_EQ(classes("盐田"), QStringList({u"SimpleFill"_s, u"LinePatternFill"_s, u"LinePatternFill"_s}));  // a grid
  EXPECT_EQ(classes("林地"), QStringList({u"SimpleFill"_s, u"SVGFill"_s}));                                // trees
  // In the SLD a picture comes twice, the same bytes both times: as the
  // base64 resource QGIS reads, then as Symbology Encoding's inline content.
  const QDomNodeList pictures = sld.elementsByTagNameNS(se, u"ExternalGraphic"_s);
  ASSERT_GT(pictures.count(), 1);
  const QString href =
      first(pictures.at(0).toElement(), u"OnlineResource"_s).attributeNS(u"http://www.w3.org/1999/xlink"_s, u"href"_s);
  EXPECT_EQ(href, u"base64:"_s + first(pictures.at(1).toElement(), u"InlineContent"_s).text());
  expectSvgPicture(href);
}

TEST(Export, namesAreTheLegendsOwnUnlessRepeatedThenWithTheirCodeThenNumbered) {
  const auto named = [](std::vector<std::pair<const char*, std::int32_t>> heads) {
    std::vector<ExportedLegend> legends;
    for (const auto& [name, code] : heads) {
      ExportedLegend legend;
      legend.name = QString::fromUtf8(name);
      legend.classCode = code;
      legends.push_back(legend);
    }
    return legend::exporter::uniqueNames(legends);
  };
  EXPECT_EQ(named({{"河流", 1}, {"湖泊", 2}}), (std::vector<QString>{u"河流"_s, u"湖泊"_s}));
  EXPECT_EQ(named({{"河流", 1}, {"河流", 2}}), (std::vector<QString>{u"河流 1"_s, u"河流 2"_s}));
  EXPECT_EQ(named({{"", -5}, {"x", 1}}), (std::vector<QString>{u"-5"_s, u"x"_s}));
  EXPECT_EQ(named({{"河流", 1}, {"河流", 1}, {"河流", 1}}),
            (std::vector<QString>{u"河流 1"_s, u"河流 1 (2)"_s, u"河流 1 (3)"_s}));
  // A legend's own name is never taken by another's name and code.
  EXPECT_EQ(named({{"河流", 1}, {"河流", 2}, {"河流 1", 9}}),
            (std::vector<QString>{u"河流 1 (2)"_s, u"河流 2"_s, u"河流 1"_s}));
}

TEST(Export, damagedLegendsAreLeftOutIconsNamedByPlaceSharedCodesMergedAndTextsEscaped) {
  testcln::TempDir dir;
  Bytes file = testcln::file({
      {.name = "a\x01<b>&\"c\"", .description = "d\x07'e'", .classCode = 1, .block = testcln::block(dotRecord(4, 2))},
      {.name = "seven", .type = 7, .classCode = 2, .block = testcln::block({})},
      {.name = "far", .type = 0, .classCode = 3, .block = testcln::block(testcln::params(0, 1))},
      {.name = "short", .type = 2, .classCode = 4, .block = testcln::params(2, 0), .blockSize = 10},
      {.name = "line", .type = 0, .classCode = 5, .block = testcln::block(testcln::params(0, 0))},
      {.name = "same", .classCode = 1, .block = testcln::block(dotRecord(6, 4))},
  });
  testcln::put32At(file, 16 + 333 * 2 + 257, 100000);  // "far"'s block lies past the end
  testcln::write(dir / "damaged.CLN", file);
  const Outcome style =
      clntool({u"export"_s, q(dir / "damaged.CLN"), u"--to"_s, u"qgis-style"_s, u"-o"_s, q(dir / "style.xml")});
  EXPECT_EQ(style.exitCode, 0);
  for (const char* line :
       {"图例 1 \"seven\": 未知类型 7", "图例 2 \"far\": 偏移", "图例 3 \"short\": 10 字节的数据块容不下"})
    EXPECT_TRUE(QString::fromStdString(style.err).contains(QString::fromUtf8(line))) << line << '\n' << style.err;
  const QDomElement symbols = parsedFile(dir / "style.xml").documentElement().firstChildElement(u"symbols"_s);
  EXPECT_EQ(symbols.childNodes().count(), 3);
  // Texts lose the characters XML cannot carry; markup is escaped.
  EXPECT_EQ(symbols.firstChildElement().attribute(u"name"_s), u"a<b>&\"c\""_s);
  // An SVG per legend at the cell size, named by its place on the pad (points
  // first; the line past the end has its place too) and its code.
  ASSERT_EQ(clntool({u"export"_s, q(dir / "damaged.CLN"), u"--to"_s, u"svg"_s, u"-o"_s, q(dir / "icons"),
                     u"--cell-size"_s, u"48x40"_s})
                .exitCode,
            0);
  EXPECT_EQ(dir.entries("icons"), (std::set<std::string>{"00000-1.svg", "00001-1.svg", "00003-5.svg"}));
  const QDomElement icon = parsedFile(dir / "icons" / "00000-1.svg").documentElement();
  EXPECT_EQ(icon.attribute(u"width"_s) + u"x"_s + icon.attribute(u"height"_s), u"48x40"_s);
  EXPECT_EQ(icon.firstChildElement(u"title"_s).text() + icon.firstChildElement(u"desc"_s).text(), u"a<b>&\"c\"d'e'"_s);
  const Loaded loaded = load(dir / "damaged.CLN");
  const legend::exporter::SldDocument sld = legend::exporter::sldXml(loaded.legends, {u"<same>"_s, u"class_code"_s});
  ASSERT_EQ(sld.repeated.size(), 1u);
  EXPECT_EQ(sld.repeated[0].legend, 1u);
  EXPECT_EQ(sld.repeated[0].keptLegend, 0u);
  const QDomDocument document = parsed(sld.xml);
  EXPECT_EQ(document.elementsByTagName(u"se:Rule"_s).count(), 2);
  EXPECT_EQ(document.elementsByTagName(u"se:Title"_s).at(0).toElement().text(), u"a<b>&\"c\""_s);
  EXPECT_EQ(document.elementsByTagName(u"se:Abstract"_s).at(0).toElement().text(), u"d'e'"_s);
  EXPECT_EQ(document.elementsByTagName(u"se:Name"_s).at(0).toElement().text(), u"<same>"_s);
}

}  // namespace
