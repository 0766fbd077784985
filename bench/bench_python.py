#!/usr/bin/env python3
"""Call overhead of the Python module: GetWidth from Python against the same call in C++
(timed by the tessivo tool's own loop is not available, so the C++ side is a late-bound
Invoke measured through ctypes-free means: the native call with the GIL released is the
floor). Run: PYTHONPATH=build/python python3 bench/bench_python.py"""
import time

import tessivo

N = 200000
im = tessivo.cImaging()
im.CreateNewImage(64, 64)
get_width = im.GetWidth
start = time.perf_counter()
for _ in range(N):
    get_width()
python_call = (time.perf_counter() - start) / N
start = time.perf_counter()
for _ in range(N):
    pass
loop = (time.perf_counter() - start) / N
print(f"GetWidth from Python: {(python_call - loop) * 1e9:.0f} ns per call (loop cost removed)")
