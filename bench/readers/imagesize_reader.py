# Python's imagesize over a list of files, for the probe benchmark: reads
# the paths from standard input, sizes every file ROUNDS times, and prints
# the median time per file in microseconds and how many it sized.
#
#   python3 imagesize_reader.py [ROUNDS] < list
import sys
import time

import imagesize


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 7
    paths = [line.rstrip("\n") for line in sys.stdin if line.strip()]
    times = []
    sized = 0
    for _ in range(rounds):
        start = time.perf_counter()
        sized = 0
        for path in paths:
            width, height = imagesize.get(path)
            sized += width > 0
        times.append((time.perf_counter() - start) * 1e6 / len(paths))
    times.sort()
    print(f"{times[rounds // 2]:.3f} {sized}")


main()
