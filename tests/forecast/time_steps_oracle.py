#!/usr/bin/python3
"""The moment after a step of days, hours, minutes and seconds, by Python's datetime and
timedelta: an oracle for the chart's time steps that shares no code with the program.

Usage: time_steps_oracle.py FILE
Each line of FILE: year month day hour minute second, then the step's days hours minutes
seconds (signed). Prints one line per case: year month day hour minute second.
"""
import datetime
import sys

with open(sys.argv[1]) as cases:
    for line in cases:
        f = [int(x) for x in line.split()]
        if len(f) != 10:
            continue
        start = datetime.datetime(*f[:6])
        moved = start + datetime.timedelta(days=f[6], hours=f[7], minutes=f[8], seconds=f[9])
        print(moved.year, moved.month, moved.day, moved.hour, moved.minute, moved.second)
