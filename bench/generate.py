#!/usr/bin/python3
"""Writes the benchmark inputs into a folder.

  a: 32,767 records x 20 fields, mixed ASCII and Japanese, some quoted fields
     with commas inside; a schema with 20 leaves of every kind, some nested.
  b: 32,767 records x 200 fields; a schema with 200 leaves.
  c: the records of a, as a CP932 CSV; the output is written as Shift_JIS.

For each case, x.dsd is the same schema naming an XSD (a.xsd, b.xsd) that the
output meets, in a namespace: dates, decimals, integers, patterns, lengths and
enumerations on most leaves, for the check against an XSD.

The data is chosen so that any CSV reader and XML writer must agree on it:
quotes only around whole fields, no quotes or line breaks inside fields, no
"--" in comments and no "]]>" in CDATA, and only characters that CP932 and
plain Shift_JIS encode the same way.

Usage: generate.py FOLDER [RECORDS]
"""

import os
import random
import sys

RECORDS = 32767

HIRAGANA = "".join(chr(c) for c in range(0x3041, 0x3094))
KATAKANA = "".join(chr(c) for c in range(0x30A1, 0x30F7))
KANJI = ("東京大阪京都奈良神戸横浜名古屋札幌福岡仙台広島市区町村山田中川本木林森上下左右北南西"
         "高橋佐藤鈴伊渡辺小松井清水石原吉野口池内宮崎長谷部一二三四五六七八九十百千万円年月日"
         "会社員店番号住所氏名電話注文商品価格数量備考品質新旧春夏秋冬花鳥風雪青赤白黒金銀水火土天気")
SURNAMES = ["佐藤", "鈴木", "高橋", "田中", "渡辺", "伊藤", "山本", "中村", "小林", "吉田", "山田", "松本"]
GIVEN = ["花子", "太郎", "一郎", "美咲", "大翔", "結衣", "陽菜", "蓮", "葵", "健"]
PREFS = ["東京都", "大阪府", "京都府", "北海道", "福岡県", "愛知県", "奈良県", "兵庫県"]
CITIES = ["千代田区", "中央区", "北区", "西宮市", "札幌市", "名古屋市", "奈良市", "神戸市"]
WORDS = ["alpha", "beta", "gamma", "delta", "order", "item", "stock", "price", "Kobe", "Nara",
         "Osaka", "shop", "x-ray", "R&D", "a<b", "c>d", "p&q", "'single'", "50%"]


def kana(rnd, n):
    return "".join(rnd.choice(KATAKANA) for _ in range(n))


def mixed(rnd, n):
    pools = (HIRAGANA, KATAKANA, KANJI, "abcdefghijklmnopqrstuvwxyz0123456789 ")
    return "".join(rnd.choice(rnd.choice(pools)) for _ in range(n)).strip() or "x"


def record_a(rnd, i):
    """20 fields; fields 7 and 17 are quoted and hold a comma."""
    return [
        str(100000 + i),
        rnd.choice(["member", "guest", "staff", "vip"]),
        rnd.choice(SURNAMES) + "　" + rnd.choice(GIVEN),
        kana(rnd, rnd.randint(4, 9)),
        rnd.choice(PREFS),
        rnd.choice(CITIES),
        '"%d-%d-%d, %s"' % (rnd.randint(1, 9), rnd.randint(1, 30), rnd.randint(1, 40), mixed(rnd, 6)),
        "0%d-%04d-%04d" % (rnd.randint(3, 99), rnd.randint(0, 9999), rnd.randint(0, 9999)),
        "user%d@example.jp" % rnd.randint(1, 10 ** 6),
        "2024-%02d-%02d" % (rnd.randint(1, 12), rnd.randint(1, 28)),
        "%d.%02d" % (rnd.randint(0, 99999), rnd.randint(0, 99)),
        rnd.choice(WORDS) + " " + mixed(rnd, rnd.randint(3, 12)),
        mixed(rnd, rnd.randint(5, 20)),
        "<data>" + mixed(rnd, rnd.randint(5, 15)) + " & more</data>",
        rnd.choice(["新規", "更新", "削除", "保留"]),
        "C%05d" % rnd.randint(0, 99999),
        '"%s, %s"' % (rnd.choice(WORDS), rnd.choice(PREFS)),
        rnd.choice(["home", "work", "other"]),
        mixed(rnd, rnd.randint(10, 40)),
        rnd.choice(["0", "1"]),
    ]


def record_b(rnd, i):
    fields = [str(i + 1)]
    for k in range(1, 200):
        choice = k % 5
        if choice == 0:
            fields.append(str(rnd.randint(0, 999999)))
        elif choice == 1:
            fields.append(rnd.choice(WORDS))
        elif choice == 2:
            fields.append(mixed(rnd, rnd.randint(1, 4)))
        elif choice == 3:
            fields.append('"%d,%d"' % (rnd.randint(0, 99), rnd.randint(0, 99)))
        else:
            fields.append("%d.%d" % (rnd.randint(0, 999), rnd.randint(0, 9)))
    return fields


SCHEMA_A = """<?xml version="1.0" encoding="UTF-8"?>
<element name="record" root="records" encoding="{encoding}">
  <attribute name="id" DataSource="1"/>
  <attribute name="kind" DataSource="2"/>
  <cdatasection DataSource="14"/>
  <element name="氏名"><text DataSource="3"/></element>
  <element name="フリガナ"><text DataSource="4"/></element>
  <element name="address">
    <attribute name="pref" DataSource="5"/>
    <element name="city"><text DataSource="6"/></element>
    <element name="street"><text DataSource="7"/></element>
  </element>
  <element name="contact">
    <element name="phone"><text DataSource="8"/></element>
    <element name="mail"><attribute name="type" DataSource="18"/><text DataSource="9"/></element>
  </element>
  <element name="order">
    <attribute name="date" DataSource="10"/>
    <attribute name="amount" DataSource="11"/>
    <text DataSource="12"/>
    <comment DataSource="13"/>
    <text DataSource="15"/>
  </element>
  <comment DataSource="16"/>
  <element name="place"><text DataSource="17"/></element>
  <element name="desc"><cdatasection DataSource="19"/></element>
  <element name="flag"><attribute name="v" DataSource="20"/></element>
</element>
"""


def schema_b():
    """20 groups of 10 leaves: an attribute, a CDATA section, seven elements
    with text and a comment."""
    parts = ['<?xml version="1.0" encoding="UTF-8"?>\n',
             '<element name="row" root="table" encoding="UTF-8">']
    column = 1
    for g in range(20):
        parts.append('<element name="g%02d"><attribute name="a" DataSource="%d"/>' % (g, column))
        parts.append('<cdatasection DataSource="%d"/>' % (column + 1))
        for k in range(7):
            parts.append('<element name="f%d"><text DataSource="%d"/></element>' % (k, column + 2 + k))
        parts.append('<comment DataSource="%d"/></element>' % (column + 9))
        column += 10
    parts.append("</element>\n")
    return "".join(parts)


XSD_HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns="urn:bench"
           targetNamespace="urn:bench" elementFormDefault="qualified">
"""

XSD_A = XSD_HEAD + """  <xs:simpleType name="text"><xs:restriction base="xs:string"><xs:maxLength value="80"/></xs:restriction></xs:simpleType>
  <xs:element name="records"><xs:complexType><xs:sequence>
    <xs:element name="record" maxOccurs="unbounded"><xs:complexType mixed="true"><xs:sequence>
      <xs:element name="氏名" type="text"/>
      <xs:element name="フリガナ"><xs:simpleType><xs:restriction base="xs:string">
        <xs:pattern value="\\p{IsKatakana}{4,9}"/></xs:restriction></xs:simpleType></xs:element>
      <xs:element name="address"><xs:complexType><xs:sequence>
        <xs:element name="city" type="text"/><xs:element name="street" type="text"/></xs:sequence>
        <xs:attribute name="pref" use="required"><xs:simpleType><xs:restriction base="xs:string">
          %(prefs)s</xs:restriction></xs:simpleType></xs:attribute></xs:complexType></xs:element>
      <xs:element name="contact"><xs:complexType><xs:sequence>
        <xs:element name="phone"><xs:simpleType><xs:restriction base="xs:string">
          <xs:pattern value="0[0-9]{1,2}-[0-9]{4}-[0-9]{4}"/></xs:restriction></xs:simpleType></xs:element>
        <xs:element name="mail"><xs:complexType><xs:simpleContent><xs:extension base="text">
          <xs:attribute name="type"><xs:simpleType><xs:restriction base="xs:string">
            <xs:enumeration value="home"/><xs:enumeration value="work"/><xs:enumeration value="other"/>
          </xs:restriction></xs:simpleType></xs:attribute></xs:extension></xs:simpleContent></xs:complexType></xs:element>
      </xs:sequence></xs:complexType></xs:element>
      <xs:element name="order"><xs:complexType mixed="true">
        <xs:attribute name="date" type="xs:date" use="required"/>
        <xs:attribute name="amount" type="xs:decimal" use="required"/></xs:complexType></xs:element>
      <xs:element name="place" type="text"/>
      <xs:element name="desc" type="text"/>
      <xs:element name="flag"><xs:complexType><xs:attribute name="v" type="xs:boolean"/></xs:complexType></xs:element>
    </xs:sequence>
    <xs:attribute name="id" type="xs:positiveInteger" use="required"/>
    <xs:attribute name="kind"><xs:simpleType><xs:restriction base="xs:string">
      <xs:enumeration value="member"/><xs:enumeration value="guest"/><xs:enumeration value="staff"/>
      <xs:enumeration value="vip"/></xs:restriction></xs:simpleType></xs:attribute>
    </xs:complexType></xs:element>
  </xs:sequence></xs:complexType></xs:element>
</xs:schema>
"""


def xsd_b():
    """Each group: an integer attribute, and leaves of a string, a pair of
    numbers, a decimal, an integer, two short texts and a pair again."""
    types = ["xs:string", "pair", "xs:decimal", "xs:nonNegativeInteger", "short", "short", "pair"]
    group = ('<xs:complexType name="group" mixed="true"><xs:sequence>' +
             "".join('<xs:element name="f%d" type="%s"/>' % (k, t) for k, t in enumerate(types)) +
             '</xs:sequence><xs:attribute name="a" type="xs:integer" use="required"/></xs:complexType>')
    return (XSD_HEAD +
            '<xs:simpleType name="short"><xs:restriction base="xs:string"><xs:maxLength value="40"/>'
            '</xs:restriction></xs:simpleType>'
            '<xs:simpleType name="pair"><xs:restriction base="xs:string"><xs:pattern value="[0-9]+,[0-9]+"/>'
            '</xs:restriction></xs:simpleType>' + group +
            '<xs:element name="table"><xs:complexType><xs:sequence><xs:element name="row" maxOccurs="unbounded">'
            '<xs:complexType><xs:sequence>' +
            "".join('<xs:element name="g%02d" type="group"/>' % g for g in range(20)) +
            '</xs:sequence></xs:complexType></xs:element></xs:sequence></xs:complexType></xs:element>'
            '</xs:schema>\n')


def with_xsd(schema, xsd):
    """The schema naming an XSD and its namespace on the top element."""
    return schema.replace('root="', 'xsd="%s" namespace="urn:bench" root="' % xsd, 1)


def write_csv(path, rows, encoding):
    with open(path, "w", encoding=encoding, newline="") as out:
        for row in rows:
            out.write(",".join(row))
            out.write("\r\n")


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    records = int(sys.argv[2]) if len(sys.argv) > 2 else RECORDS
    os.makedirs(folder, exist_ok=True)

    rnd = random.Random(6)
    rows_a = [record_a(rnd, i) for i in range(records)]
    write_csv(os.path.join(folder, "a.csv"), rows_a, "utf-8")
    write_csv(os.path.join(folder, "c.csv"), rows_a, "cp932")
    with open(os.path.join(folder, "a.dsd"), "w", encoding="utf-8") as out:
        out.write(SCHEMA_A.format(encoding="UTF-8"))
    with open(os.path.join(folder, "c.dsd"), "w", encoding="utf-8") as out:
        out.write(SCHEMA_A.format(encoding="Shift_JIS"))

    prefs = "".join('<xs:enumeration value="%s"/>' % p for p in PREFS)
    for name, text in (("a.xsd", XSD_A % {"prefs": prefs}), ("b.xsd", xsd_b()),
                       ("ax.dsd", with_xsd(SCHEMA_A.format(encoding="UTF-8"), "a.xsd")),
                       ("cx.dsd", with_xsd(SCHEMA_A.format(encoding="Shift_JIS"), "a.xsd")),
                       ("bx.dsd", with_xsd(schema_b(), "b.xsd"))):
        with open(os.path.join(folder, name), "w", encoding="utf-8") as out:
            out.write(text)

    rnd = random.Random(66)
    write_csv(os.path.join(folder, "b.csv"), (record_b(rnd, i) for i in range(records)), "utf-8")
    with open(os.path.join(folder, "b.dsd"), "w", encoding="utf-8") as out:
        out.write(schema_b())


if __name__ == "__main__":
    main()
