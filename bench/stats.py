"""Small figures for scripts/bench.sh, so that the script holds no Python.

  stats.py median-time HYPERFINE_JSON     median wall time (s)
  stats.py median-mib KIB...              median of peak memory figures, in MiB
  stats.py micro MICRO_JSON               parse80 records/s and the flush cost per report line (us)
  stats.py page PAGE_JSON                 the shift page's megabytes, drawing and median frame times (ms)
  stats.py calc EXPRESSION                an arithmetic expression of the figures
  stats.py check EXPRESSION               exit status 0 when the expression holds
"""
import json
import statistics
import sys

command, args = sys.argv[1], sys.argv[2:]
if command == "median-time":
    print(json.load(open(args[0]))["results"][0]["median"])
elif command == "median-mib":
    print("%.1f" % (statistics.median(int(x) for x in args) / 1024))
elif command == "micro":
    results = {b["name"]: b for b in json.load(open(args[0]))["benchmarks"]}
    # 20,000 lines per iteration; real_time in milliseconds
    per_line = lambda name: results[name]["real_time"] * 1000 / 20000
    print(results["BM_parse80"]["items_per_second"], per_line("BM_writeReportLines/1") - per_line("BM_writeReportLines/0"))
elif command == "page":
    page = json.loads(args[0])
    print(page["megabytes"], page["drawMs"], page["frameMedianMs"])
elif command == "calc":
    print(eval(args[0], {"__builtins__": {"round": round}}))
elif command == "check":
    sys.exit(0 if eval(args[0], {"__builtins__": {}}) else 1)
else:
    sys.exit(__doc__)
