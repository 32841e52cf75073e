#!/usr/bin/env python3
"""Writes seed inputs for fuzz_link: valid answer frames (right CRCs) of every answer code,
alone, several in a row, split by noise, and relayed."""
import os
import struct
import sys
import zlib


def frame(port, payload):
    head = bytes([1]) + struct.pack(">H", len(payload)) + bytes([port]) + payload
    return head + struct.pack(">I", zlib.crc32(head) & 0xFFFFFFFF)


def answer(code, body):
    return frame(2, struct.pack(">H", code) + body)


ANSWERS = [
    answer(0x8000, b""),
    answer(0x8001, b"\x00\x00"),
    answer(0x8002, b"\x01\x04\x02\x0a\xf8" + b"VEXA7XX000012345" + bytes(range(8))),
    answer(0x8003, struct.pack(">IH", 1765000000, 500) + bytes(6) + b"\x01"),
    answer(0x8004, struct.pack(">IH", 1765000000, 500) + bytes(6) + b"\x01"),
    answer(0x8005, b"\x00"),
    answer(0x8008, b""),
    answer(0x8100, b"\x02\x00\x00"),
    answer(0x8101, b"\x02\x00"),
    answer(0x8102, b"\x02\x00\x01\x02\x01\x04\x0c\x02\xf8\x01\x04\x00\xab\xcd"),
    answer(0x8103, b"\x02\x00\x00\x01\x00" + struct.pack(">I", 4096)),
    answer(0x8300, b"\x00\x00"),
    answer(0x8301, b"\x00\x00"),
    answer(0x8302, b"\x00\x09"),
    answer(0x8304, b""),
    answer(0x8500, b"\x00\x01\x0a\x00\x04\x00\x00\x00\x3c"),
    answer(0x8501, b"\x01\x01\x05\x00"),
    answer(0x8502, b"\x01"),
    answer(0x8600, b"\x01\x00\x02" + bytes(range(36)) + b"\x02\x03\x01"),
    answer(0x8601, b"\x01\x00"),
    answer(0x8602, b"\x01\x00\xff\x9c\xf6\x0f\x03"),
    answer(0x8603, b"\x01\x00\x05\x02\x03" + struct.pack(">IIII", 370, 40960, 868100000, 7) + b"\x04\x02"),
    answer(0x8604, b"\x01\x00" + b"".join(struct.pack(">I", 1765000000 + i) for i in range(10))),
    answer(0x8605, b"\x01\x00"),
    answer(0x8606, b"\x01\x00\x03" + b"\x00" + struct.pack(">I", 868100000) + b"\x01"
           + struct.pack(">I", 868300000) + b"\x05" + struct.pack(">I", 868500000)
           + struct.pack(">I", 869525000) + b"\x03"),
    answer(0x8700, b"\x02\xbd\x00\x01\x0e\x10\x04\x02"),
    answer(0x8701, b"\x02\xee\x00\x0a\xbc\x0c\xe4" + bytes(12)),
    answer(0x8702, b"\x02\xf8\x00" + struct.pack(">IBBIBB", 1000, 1, 0, 5, 0, 2)),
    frame(1, b"\x21\x00\x00\x00\x02\x00"),
]


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    seeds = {}
    for i, a in enumerate(ANSWERS):
        seeds[f"answer_{i:02d}"] = b"\x07" + a
    seeds["all_in_a_row"] = b"\x3f" + b"".join(ANSWERS)
    seeds["noise_between"] = b"\x05" + b"SYSLOG x\r\n".join(ANSWERS[:8])
    seeds["false_start"] = b"\x01" + b"\x01\x00\x50" + ANSWERS[18]
    inner = struct.pack(">H", 0x8602) + b"\x01\x00\xff\x9c\xf6\x0f\x03"
    relayed = answer(0x8305, bytes(8) + b"\x02" + bytes([len(inner)]) + inner)
    seeds["relayed"] = b"\x02" + relayed
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
