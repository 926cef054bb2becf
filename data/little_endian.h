#pragma once
// Numbers stored little-endian in a file's bytes, as the workbook formats keep them. A read that
// would go past either end gives 0, so a damaged length can shorten what is read but never
// reach outside the bytes.

#include <QByteArrayView>

namespace data::detail {

inline quint32 U16At(QByteArrayView bytes, qsizetype at) {
  return at >= 0 && at <= bytes.size() - 2 ? quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8
                                           : 0;
}
inline quint32 U32At(QByteArrayView bytes, qsizetype at) {
  return at >= 0 && at <= bytes.size() - 4 ? U16At(bytes, at) | U16At(bytes, at + 2) << 16 : 0;
}
inline quint64 U64At(QByteArrayView bytes, qsizetype at) {
  return at >= 0 && at <= bytes.size() - 8 ? quint64(U32At(bytes, at)) | quint64(U32At(bytes, at + 4)) << 32
                                           : 0;
}

}  // namespace data::detail
