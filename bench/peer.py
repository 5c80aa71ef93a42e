#!/usr/bin/python3
"""The same CSV-to-XML mapping with Python's csv module and lxml, as a peer
to measure against. It follows the schema's rules (node kinds and attribute
names in any letter case, defaults, column numbers from 1) on the benchmark's
inputs; it does not copy the rarer corners of the program's own CSV dialect.

Usage: peer.py CSV DSD XML
"""

import csv
import io
import sys

from lxml import etree

KINDS = ("element", "attribute", "text", "cdatasection", "comment")


def attribute(node, key):
    for name, value in node.attrib.items():
        if name.lower() == key:
            return value
    return ""


def source_of(node):
    """Returns a function of the field list giving the node's value."""
    for name, value in node.attrib.items():
        if name.lower() != "datasource":
            continue
        try:
            column = round(float(value))  # halves to even
            if not -32768 <= column <= 32767:
                raise ValueError
        except (ValueError, OverflowError):
            text = "Error: (%s) is not a number." % value
            return lambda fields: text
        missing = "Error: No field (%s) ." % value
        index = column - 1
        return lambda fields: fields[index] if 0 <= index < len(fields) else missing
    return lambda fields: ""


def compile_children(schema_node):
    plan = []
    for child in schema_node:
        if not isinstance(child.tag, str) or child.tag.lower() not in KINDS:
            continue
        kind = child.tag.lower()
        name = attribute(child, "name") or ("Element" if kind == "element" else "Attribute")
        value = None if kind == "element" else source_of(child)
        plan.append((kind, name, value, compile_children(child)))
    return plan


def add_text(parent, text):
    if len(parent):
        last = parent[-1]
        last.tail = (last.tail or "") + text
    else:
        parent.text = (parent.text or "") + text


def build(parent, plan, fields):
    for kind, name, value, children in plan:
        created = parent
        if kind == "element":
            created = etree.SubElement(parent, name)
        elif kind == "attribute":
            parent.set(name, value(fields))
        elif kind == "text":
            add_text(parent, value(fields))
        elif kind == "cdatasection":
            if len(parent) or parent.text:
                raise SystemExit("peer: lxml holds CDATA only as the first content of an element")
            parent.text = etree.CDATA(value(fields))
        else:
            created = etree.Comment(value(fields))
            parent.append(created)
        if children:
            build(created, children, fields)


def read_text(path):
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
        return text[1:] if text.startswith("\ufeff") else text
    except UnicodeDecodeError:
        return data.decode("cp932")


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    csv_path, dsd_path, xml_path = sys.argv[1:]
    parser = etree.XMLParser(resolve_entities=False, no_network=True)
    top = etree.parse(dsd_path, parser).getroot()
    encoding = attribute(top, "encoding") or "UTF-8"
    root = etree.Element(attribute(top, "root") or "Root")
    record_name = attribute(top, "name") or "Element"
    plan = compile_children(top)
    for fields in csv.reader(io.StringIO(read_text(csv_path), newline="")):
        if fields:
            build(etree.SubElement(root, record_name), plan, fields)
    etree.ElementTree(root).write(xml_path, encoding=encoding, xml_declaration=True)


if __name__ == "__main__":
    main()
