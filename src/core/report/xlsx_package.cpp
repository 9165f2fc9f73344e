#include "core/report/xlsx_package.h"

#include <map>

#include "core/text/format_text.h"

namespace tarvex {

namespace {

constexpr const char* Declaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* RelationshipsNs =
    "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* DocumentRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
// The first number a workbook may give a format of its own.
constexpr int FirstCustomNumberFormat = 164;

std::string ContentTypes() {
  std::string t = Declaration;
  t += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">";
  t += "<Default Extension=\"rels\" "
       "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>";
  t += "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
  const std::pair<const char*, const char*> overrides[] = {
      {"/docProps/app.xml",
       "application/vnd.openxmlformats-officedocument.extended-properties+xml"},
      {"/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml"},
      {"/xl/styles.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"},
      {"/xl/workbook.xml",
       "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"},
      {"/xl/worksheets/sheet1.xml",
       "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"},
  };
  for (const auto& [part, type] : overrides)
    t += FormatText("<Override PartName=\"%s\" ContentType=\"%s\"/>", part, type);
  t += "</Types>";
  return t;
}

std::string Relationships(const std::vector<std::pair<const char*, const char*>>& targets) {
  std::string t = Declaration;
  t += FormatText("<Relationships xmlns=\"%s\">", RelationshipsNs);
  int id = 1;
  for (const auto& [type, target] : targets) {
    t += FormatText("<Relationship Id=\"rId%d\" Type=\"%s\" Target=\"%s\"/>", id++, type, target);
  }
  t += "</Relationships>";
  return t;
}

std::string Workbook() {
  std::string t = Declaration;
  t += FormatText("<workbook xmlns=\"%s\" xmlns:r=\"%s\">", MainNs, DocumentRelationships);
  t += "<bookViews><workbookView xWindow=\"240\" yWindow=\"15\" windowWidth=\"16095\" "
       "windowHeight=\"9660\"/></bookViews>";
  t += FormatText("<sheets><sheet name=\"%s\" sheetId=\"1\" r:id=\"rId1\"/></sheets>",
                  XlsxSheetName);
  t += "<calcPr calcId=\"124519\" fullCalcOnLoad=\"1\"/></workbook>";
  return t;
}

std::string Styles(const std::vector<XlsxCellFormat>& formats) {
  // Each number format once, numbered in the order of first use.
  std::map<std::string, int> numbers;
  std::vector<const std::string*> numberOrder;
  for (const XlsxCellFormat& format : formats) {
    if (format.NumberFormat.empty()) continue;
    const auto [at, added] = numbers.emplace(
        format.NumberFormat, FirstCustomNumberFormat + static_cast<int>(numbers.size()));
    if (added) numberOrder.push_back(&at->first);
  }
  std::string t = Declaration;
  t += FormatText("<styleSheet xmlns=\"%s\">", MainNs);
  if (!numberOrder.empty()) {
    t += FormatText("<numFmts count=\"%zu\">", numberOrder.size());
    for (const std::string* code : numberOrder) {
      t += FormatText("<numFmt numFmtId=\"%d\" formatCode=\"%s\"/>", numbers[*code],
                      XmlAttributeEscaped(*code).c_str());
    }
    t += "</numFmts>";
  }
  t += "<fonts count=\"1\"><font><sz val=\"11\"/><color rgb=\"FF000000\"/><name "
       "val=\"Calibri\"/><family val=\"2\"/></font></fonts>";
  t += "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
       "patternType=\"gray125\"/></fill></fills>";
  t += "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>";
  t += "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
       "borderId=\"0\"/></cellStyleXfs>";
  t += FormatText("<cellXfs count=\"%zu\">", formats.size() + 1);
  t += "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>";
  for (const XlsxCellFormat& format : formats) {
    const int number = format.NumberFormat.empty() ? 0 : numbers[format.NumberFormat];
    t += FormatText("<xf numFmtId=\"%d\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"",
                    number);
    if (number != 0) t += " applyNumberFormat=\"1\"";
    if (format.Alignment.empty()) {
      t += "/>";
    } else {
      t += FormatText(" applyAlignment=\"1\"><alignment horizontal=\"%s\"/></xf>",
                      format.Alignment.c_str());
    }
  }
  t += "</cellXfs>";
  t += "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
       "builtinId=\"0\"/></cellStyles>";
  t += "<dxfs count=\"0\"/><tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium9\" "
       "defaultPivotStyle=\"PivotStyleLight16\"/></styleSheet>";
  return t;
}

std::string CoreProperties(std::time_t created) {
  std::tm utc{};
  ::gmtime_r(&created, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
  std::string t = Declaration;
  t += "<cp:coreProperties "
       "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
       "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
       "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" "
       "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">";
  t += "<dc:creator></dc:creator><cp:lastModifiedBy></cp:lastModifiedBy>";
  t += FormatText("<dcterms:created xsi:type=\"dcterms:W3CDTF\">%s</dcterms:created>", stamp);
  t += FormatText("<dcterms:modified xsi:type=\"dcterms:W3CDTF\">%s</dcterms:modified>", stamp);
  t += "</cp:coreProperties>";
  return t;
}

std::string AppProperties() {
  std::string t = Declaration;
  t += "<Properties "
       "xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
       "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">";
  t += "<Application>Tarvex</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>";
  t += "<HeadingPairs><vt:vector size=\"2\" baseType=\"variant\"><vt:variant><vt:lpstr>Worksheets"
       "</vt:lpstr></vt:variant><vt:variant><vt:i4>1</vt:i4></vt:variant></vt:vector></"
       "HeadingPairs>";
  t += FormatText(
      "<TitlesOfParts><vt:vector size=\"1\" baseType=\"lpstr\"><vt:lpstr>%s</vt:lpstr></vt:vector>"
      "</TitlesOfParts>",
      XlsxSheetName);
  t += "<LinksUpToDate>false</LinksUpToDate><SharedDoc>false</SharedDoc>"
       "<HyperlinksChanged>false</HyperlinksChanged><AppVersion>12.0000</AppVersion></Properties>";
  return t;
}

}  // namespace

std::vector<XlsxPart> XlsxLeadingParts() {
  const std::string officeDocument = std::string(DocumentRelationships) + "/officeDocument";
  const std::string core = std::string(RelationshipsNs) + "/metadata/core-properties";
  const std::string extended = std::string(DocumentRelationships) + "/extended-properties";
  const std::string worksheet = std::string(DocumentRelationships) + "/worksheet";
  const std::string styles = std::string(DocumentRelationships) + "/styles";
  return {
      {"[Content_Types].xml", ContentTypes()},
      {"_rels/.rels", Relationships({{officeDocument.c_str(), "xl/workbook.xml"},
                                     {core.c_str(), "docProps/core.xml"},
                                     {extended.c_str(), "docProps/app.xml"}})},
      {"xl/_rels/workbook.xml.rels", Relationships({{worksheet.c_str(), "worksheets/sheet1.xml"},
                                                    {styles.c_str(), "styles.xml"}})},
  };
}

std::vector<XlsxPart> XlsxTrailingParts(const std::vector<XlsxCellFormat>& formats,
                                        std::time_t created) {
  return {
      {"xl/workbook.xml", Workbook()},
      {"xl/styles.xml", Styles(formats)},
      {"docProps/core.xml", CoreProperties(created)},
      {"docProps/app.xml", AppProperties()},
  };
}

std::string XmlAttributeEscaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace tarvex
