#pragma once
// Turns what the host gets from the pad's queries into labelled values for
// the details view: the head record, the graphic parameter record of the
// legend's type, and the attribute fields. The host knows these layouts from
// the published file and record descriptions (docs/graphic-records.md), not
// from the library's internals.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <QString>

#include "legend/legend.h"

class CATT_STRU;

struct ReportRow {
  QString label;
  QString value;
};

/// Legend texts are GBK; the host shows and prints them as Unicode.
QString gbkText(const char* bytes, std::size_t maxBytes);
std::string gbkToUtf8(const char* nulTerminated);
std::string hexBytes(const unsigned char* bytes, std::size_t count);

QString legendTypeName(int type);

/// The 333-byte head record as GetCLNHeadInfo copies it.
std::vector<ReportRow> headRows(const unsigned char* head);
std::vector<ReportRow> pointRows(const PNT_INFOstruct& record);
std::vector<ReportRow> lineRows(const LIN_INFOstruct& record);
std::vector<ReportRow> regionRows(const REG_INFOstruct& record);
/// One row per field: name, type and the value in @p record.
std::vector<ReportRow> attributeRows(const CATT_STRU& structure, const char* record, std::int32_t length);
