#!/usr/bin/python3
"""Writes a CSV address list of N made-up records (收件人, 邮编, 地址) for the print benchmarks.

usage: make_address_list.py N OUT.csv
"""
import random
import sys

SURNAMES = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘蒋蔡余杜叶程苏魏吕丁任沈"
GIVEN = "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰飞鹏辉建国红梅志文海燕晨"
PLACES = [("100080", "北京市海淀区"), ("200001", "上海市黄浦区"), ("310012", "浙江省杭州市西湖区"),
          ("510620", "广东省广州市天河区"), ("610041", "四川省成都市武侯区"), ("361001", "福建省厦门市思明区"),
          ("430071", "湖北省武汉市武昌区"), ("710061", "陕西省西安市雁塔区")]
ROADS = "人民 文三 解放 中山 建设 长江 和平 新华 东风 学院 科技 滨江".split()


def main():
    count, path = int(sys.argv[1]), sys.argv[2]
    rng = random.Random(1)
    with open(path, "w", encoding="utf-8", newline="") as out:
        out.write("收件人,邮编,地址\n")
        for _ in range(count):
            postcode, place = rng.choice(PLACES)
            name = rng.choice(SURNAMES) + "".join(rng.choice(GIVEN) for _ in range(rng.randint(1, 2)))
            road = rng.choice(ROADS) + rng.choice(["路", "街", "大道"])
            address = f"{place}{road}{rng.randint(1, 999)}号{rng.randint(1, 30)}幢{rng.randint(101, 2608)}室"
            out.write(f"{name},{postcode},{address}\n")


if __name__ == "__main__":
    main()
