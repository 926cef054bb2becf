#!/usr/bin/env bash
# The print benchmarks of the batch tool, whole process, timed from outside by farm-bench:
#   1. 1,000 DL envelopes, side by side with glabels-3-batch printing the same list onto a DL
#      label of the same size with the three texts (A = kovapost-batch, B = glabels-3-batch);
#   2. 10,000 DL envelopes to one PDF;
#   3. 100,000 labels on the default 4 x 15 sheet;
#   4. the posting list of 100,000 records as a PDF.
# Given a second batch tool (an earlier build), runs 2 to 4 against it, pair by pair (A = this
# build, B = that one).
# usage: bench/print_speed.sh [BUILD_DIR [BASE_BATCH]]    (needs farm-bench and the glabels package)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for n in 1000 10000 100000; do /usr/bin/python3 "$here/make_address_list.py" $n "$work/list$n.csv"; done
tail -n +2 "$work/list1000.csv" >"$work/list1000-noheader.csv"
cp "$build/Par.mdb" "$work/par.mdb"  # the template itself, so no user's copy is touched

# The same DL envelope for glabels: the postcode, the address and the name where ours go.
text() {  # x y w h size field
  cat <<XML
    <Object-text x="$1mm" y="$2mm" w="$3mm" h="$4mm" justify="Left" valign="Top" auto_shrink="False" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0">
      <Span color="0x000000ff" font_family="Noto Serif CJK SC" font_size="$5" font_weight="normal" font_italic="False" line_spacing="1"><Field name="$6"/></Span>
    </Object-text>
XML
}
cat >"$work/dl.glabels" <<XML
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Kovapost" part="DL" size="Other" description="DL envelope" width="220mm" height="110mm">
    <Label-rectangle id="0" width="220mm" height="110mm" round="0mm" x_waste="0mm" y_waste="0mm">
      <Layout nx="1" ny="1" x0="0mm" y0="0mm" dx="220mm" dy="110mm"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
$(text 10 10 60 10 16 2)
$(text 30 40 170 12 14 3)
$(text 60 60 100 14 20 1)
  </Objects>
  <Merge type="Text/Comma" src="$work/list1000-noheader.csv"/>
</Glabels-document>
XML

batch="$build/kovapost-batch"
base=${2:-}
vs() {  # the same command with the earlier build, when one is given
  if [ -n "$base" ]; then printf '%s\n' --vs "$base $*"; fi
}
echo "== 1,000 DL envelopes: kovapost-batch (A) against glabels-3-batch (B)"
farm-bench -n 5 --timeout 900 \
  --vs "glabels-3-batch -i $work/list1000-noheader.csv -o $work/glabels.pdf $work/dl.glabels" \
  -- "$batch" envelopes "$work/list1000.csv" --size DL --database "$work/par.mdb" -o "$work/e1000.pdf"
echo "== 10,000 DL envelopes"
args=(envelopes "$work/list10000.csv" --size DL --database "$work/par.mdb" -o "$work/e10000.pdf")
mapfile -t b < <(vs "${args[@]/%e10000.pdf/e10000-b.pdf}")
farm-bench -n 5 --timeout 900 "${b[@]}" -- "$batch" "${args[@]}"
echo "== 100,000 labels, 4 x 15"
args=(labels "$work/list100000.csv" --database "$work/par.mdb" -o "$work/l100000.pdf")
mapfile -t b < <(vs "${args[@]/%l100000.pdf/l100000-b.pdf}")
farm-bench -n 3 --timeout 1800 "${b[@]}" -- "$batch" "${args[@]}"
echo "== posting list of 100,000 records, PDF"
args=(posting-list "$work/list100000.csv" --database "$work/par.mdb" -o "$work/p100000.pdf")
mapfile -t b < <(vs "${args[@]/%p100000.pdf/p100000-b.pdf}")
farm-bench -n 5 --timeout 900 "${b[@]}" -- "$batch" "${args[@]}"
