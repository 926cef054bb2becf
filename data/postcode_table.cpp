#include "data/postcode_table.h"

#include "store/database.h"

namespace 生成邮编 {

std::optional<PostcodeTable> ReadPostcodeTable() {
  if (!DataBase::TableExists(QStringLiteral("邮编"))) return std::nullopt;
  PostcodeTable table;
  DataBase::Connection connection;
  DataBase::Recordset recordset;
  if (!DataBase::OpenRecordset(connection, recordset,
                               QStringLiteral("SELECT * FROM 邮编 ORDER BY 省份,地区")))
    return table;
  table.reserve(recordset.RecordCount());
  for (; !recordset.AtEnd(); recordset.MoveNext())
    table.push_back({recordset.Value(QStringLiteral("省份")).toString(),
                     recordset.Value(QStringLiteral("地区")).toString(),
                     recordset.Value(QStringLiteral("邮编")).toString()});
  DataBase::CloseRecordset(connection, recordset);
  return table;
}

}  // namespace 生成邮编
