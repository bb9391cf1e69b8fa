#!/usr/bin/env python3
"""Costs of the corvane package's columns against the plain ways, on 10^5 and 10^6 events.

    PYTHONPATH=build/python python3 bench/python_columns_bench.py

Prints CPU seconds (process time, so that a busy machine skews less) and the memory the result
holds: to_dataframe against pandas.DataFrame(to_records()), era_dates(events) against era_date of
each event, years_of over the whole 32-bit range.
"""
import gc
import os
import pathlib
import resource
import sys
import tempfile
import time

import pandas

import corvane

HEADER = "[出来事], 5\r\nt\r\ne\r\n0\r\n".encode("cp932")


def table(folder, count):
    lines = [HEADER]
    for i in range(count):
        text = f'出来事{i}<a href="https://example.org/{i}">詳細</a>' if i % 10 == 0 else f"出来事{i}の本文です"
        lines.append(f'{1873 + i * 125 // count}, {1 + i % 12}, {1 + i % 28}, "{text}", '
                     f'"{"注記" if i % 3 == 0 else ""}", {i % 3}, 0\r\n'.encode("cp932"))
    path = pathlib.Path(folder) / f"{count}.lev"
    path.write_bytes(b"".join(lines))
    return path


def resident():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * resource.getpagesize()


def measure(name, count, call):
    gc.collect()
    before, start = resident(), time.process_time()
    result = call()
    seconds = time.process_time() - start
    print(f"{name:<48} {count:>9,} {seconds:8.3f} s {(resident() - before) / 2**20:7.0f} MiB")
    return result


def main():
    eras = corvane.Eras.shipped()
    print(f"{'operation':<48} {'events':>9} {'CPU':>10} {'held':>11}")
    with tempfile.TemporaryDirectory() as folder:
        for count in (10**5, 10**6):
            path = table(folder, count)
            events = measure("Events.load", count, lambda: corvane.Events.load(path))
            frame = measure("to_dataframe()", count, events.to_dataframe)
            del frame
            frame = measure("plain: pandas.DataFrame(to_records())", count, lambda: pandas.DataFrame(events.to_records()))
            del frame
            measure("era_dates(events)", count, lambda: eras.era_dates(events))
            measure("plain: [era_date(e.date) for e in events]", count, lambda: [eras.era_date(e.date) for e in events])
            del events
    measure("years_of('子', whole 32-bit range), len()", 0, lambda: len(corvane.years_of("子", -2**31, 2**31 - 1)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
