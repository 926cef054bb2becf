#!/usr/bin/env bash
# Fills a fuzz target's corpus folder with its seeds: fuzz/seed_corpus.sh TARGET FOLDER
# (used by ./test.sh and for long runs; see README.md).
set -euo pipefail
target=$1 corpus=$2
fixtures=$(dirname "$0")/../tests/fixtures/import
mkdir -p "$corpus"
case $target in
  csv_record) cp "$fixtures"/*.csv "$corpus"/ ;;
  mapping) printf 'A，" 收",B,"//",ZZ\n张三\t10001\t北京' >"$corpus"/seed ;;
  workbook) cp "$fixtures"/*.xls "$fixtures"/*.xlsx "$fixtures"/*.ods "$fixtures"/writers/*.xls \
    "$fixtures"/writers/*.xlsx "$fixtures"/writers/*.ods "$corpus"/ ;;
  package) cp "$fixtures"/*.xlsx "$fixtures"/*.ods "$fixtures"/writers/*.xlsx "$fixtures"/writers/*.ods "$corpus"/ ;;
  xls_merged) cp "$fixtures"/*.xls "$fixtures"/writers/*.xls "$corpus"/ ;;
  address)
    i=0
    while IFS= read -r line; do
      printf '%s' "$line" >"$corpus/seed$i"
      i=$((i + 1))
    done <<'LIST'
广东省广州市天河区天河路385号
中国 北京市／海淀区－中关村大街27号
湖北省襄樊市樊城区人民路1号 张三收
廣東省廣州市越秀區中山五路
云南省思茅市翠云区
江苏省昆山市前进西路
吉林省吉林市船营区
上海市普陀区、长寿路
LIST
    ;;
  *) echo "unknown target $target" >&2; exit 1 ;;
esac
# Inputs the long runs found, kept so that every run tries them again.
for finding in "$fixtures"/../fuzz/"$target"-*; do
  [ -e "$finding" ] && cp "$finding" "$corpus"/
done
exit 0
