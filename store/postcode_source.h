#pragma once
// The source of the postcode table 邮编: a tab-separated text file kept in the repository, read
// by the build tool that makes Par.mdb. Lines starting with "#" are comments; an optional first
// row names the columns 省份, 地区, 邮编; every other non-blank line is one region.

#include <QString>
#include <QStringList>
#include <vector>

namespace DataBase {

struct PostcodeRow {
  QString province;  // 省份, in the short form that address matching needs: 浙江, 内蒙古
  QString region;    // 地区: 杭州, 延边
  QString postcode;  // 邮编: six digits
  int line = 0;      // in the source file, for messages
};

struct PostcodeSource {
  std::vector<PostcodeRow> rows;
  // One text per faulty line, with its line number; a source with errors must not be shipped.
  QStringList errors;
};

// Parses the text of a source file (UTF-8, with or without a byte-order mark, LF or CRLF).
// Rejected: a line without exactly three fields, an empty province or region, a postcode that
// is not six ASCII digits, and a (province, region) pair that occurs twice.
PostcodeSource ParsePostcodeSource(const QString& text);
// Reads and parses the file; an unreadable file gives one error.
PostcodeSource ReadPostcodeSource(const QString& path);

}  // namespace DataBase
