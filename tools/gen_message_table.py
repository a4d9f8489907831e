#!/usr/bin/env python3
"""Reads resources/messages.mc and writes the message ids as a C++ header and,
for the native build, the texts as a lookup table. Windows builds compile the
same file with windmc, so both builds see the same words."""
import re
import sys


def parse(path):
    severities = {"Success": 0, "Informational": 1, "Warning": 2, "Error": 3}
    entries = []
    current = {}
    text_lines = None
    with open(path, encoding="cp1252") as f:
        for raw in f:
            line = raw.rstrip("\r\n")
            if text_lines is not None:
                if line == ".":
                    current["text"] = "".join(l + "\r\n" for l in text_lines)
                    entries.append(current)
                    current, text_lines = {}, None
                else:
                    text_lines.append(line)
                continue
            if line.startswith(";") or not line.strip():
                continue
            m = re.match(r"\s*(\w+)\s*=\s*(.*)", line)
            if not m:
                continue
            key, value = m.group(1), m.group(2).strip()
            if key == "MessageId":
                current["id"] = int(value, 0)
            elif key == "Severity":
                current["severity"] = severities[value]
            elif key == "SymbolicName":
                current["name"] = value
            elif key == "Language":
                text_lines = []
    for e in entries:
        e["number"] = (e.get("severity", 0) << 30) | e["id"]
    return entries


def c_string(text):
    out = []
    for b in text.encode("cp1252"):
        c = chr(b)
        if c == "\\" or c == '"':
            out.append("\\" + c)
        elif 32 <= b < 127:
            out.append(c)
        else:
            out.append("\\%03o" % b)
    return '"' + "".join(out) + '"'


def main():
    mc, header, table = sys.argv[1], sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else None
    entries = parse(mc)
    with open(header, "w") as h:
        h.write("// Generated from resources/messages.mc; do not edit.\n#pragma once\n#include <cstdint>\n\n")
        h.write("namespace kivo {\n")
        for e in entries:
            h.write("inline constexpr std::uint32_t %s = 0x%08Xu;\n" % (e["name"], e["number"]))
        h.write("}  // namespace kivo\n")
    if table:
        with open(table, "w") as t:
            t.write("// Generated from resources/messages.mc; do not edit.\n")
            t.write('#include "platform/posix/message_table.h"\n\n')
            t.write("namespace kivo::platform {\n")
            t.write("const MessageTableEntry kMessageTable[] = {\n")
            for e in sorted(entries, key=lambda e: e["number"]):
                t.write("    {0x%08Xu, %s},\n" % (e["number"], c_string(e["text"])))
            t.write("};\n")
            t.write("const std::size_t kMessageTableSize = sizeof(kMessageTable) / sizeof(kMessageTable[0]);\n")
            t.write("}  // namespace kivo::platform\n")


if __name__ == "__main__":
    main()
