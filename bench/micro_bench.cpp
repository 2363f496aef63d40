// Micro-benchmarks of the hot paths of a run: parsing *80 records, the
// short-line inverse, loading a file from memory, matching two tables (the
// index, and the nested scan of every station against every station as the
// reference point), formatting report lines and writing them with and
// without a flush per line.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "compare/compare_tables.h"
#include "compare/report_line.h"
#include "geodesy/inver.h"
#include "records/parse80.h"
#include "records/station_table.h"

namespace {

using namespace tessovane2;

// Drops everything written to it, so that a benchmark measures the
// formatting and not a device.
class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// Reads a text held in memory without copying it.
class MemoryBuffer : public std::streambuf {
 public:
  explicit MemoryBuffer(const std::string& text) {
    char* begin = const_cast<char*>(text.data());
    setg(begin, begin, begin + text.size());
  }
};

NullBuffer nullBuffer;
std::ostream nullStream(&nullBuffer);

// xorshift64*: the same stations on every run.
struct Random {
  std::uint64_t state;
  std::uint64_t next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 2685821657736338717ULL;
  }
  long long below(long long n) { return static_cast<long long>(next() % static_cast<std::uint64_t>(n)); }
};

constexpr long long kE5PerDegree = 3600LL * 100000;  // units of 0.00001 arc-second

struct Station {
  int index;
  long long latitude;   // units of 0.00001 arc-second
  long long longitude;  // units of 0.00001 arc-second, west
  int elevationCm;      // -1: blank elevation columns
  int heightMm;         // -1: no *86 record
};

std::vector<Station> makeStations(int count, std::uint64_t seed) {
  Random random{seed};
  std::vector<Station> stations;
  stations.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    Station s{};
    s.index = i;
    s.latitude = 25 * kE5PerDegree + random.below(24 * kE5PerDegree);
    s.longitude = 67 * kE5PerDegree + random.below(57 * kE5PerDegree);
    s.elevationCm = random.below(50) == 0 ? -1 : static_cast<int>(random.below(350000));
    s.heightMm = random.below(2) == 0 ? static_cast<int>(random.below(3500000)) : -1;
    stations.push_back(s);
  }
  return stations;
}

// The same stations surveyed again: millimetres to centimetres, one in a
// hundred by metres.
std::vector<Station> moved(std::vector<Station> stations, std::uint64_t seed) {
  Random random{seed};
  for (Station& s : stations) {
    const long long range = random.below(100) == 0 ? 160000 : 100;
    s.latitude += random.below(2 * range + 1) - range;
    s.longitude += random.below(2 * range + 1) - range;
  }
  return stations;
}

void appendAngle(std::string& out, long long e5, int degreeDigits) {
  char text[32];
  const long long degrees = e5 / (3600LL * 100000);
  const long long minutes = e5 / (60LL * 100000) % 60;
  const long long seconds = e5 % (60LL * 100000);
  std::snprintf(text, sizeof text, "%0*lld%02lld%07lld", degreeDigits, degrees, minutes, seconds);
  out += text;
}

std::string record80(const Station& s) {
  static const char* const kNames[] = {"PINE", "OAK CEDAR",         "RIVER BRIDGE WEST",
                                       "TANK", "CHURCH SPIRE 1988", "BASE RM 2"};
  char head[64];
  std::snprintf(head, sizeof head, "%c%c%04d*80%05d%-30.30s", 'A' + s.index / 260000 % 26,
                'A' + s.index / 10000 % 26, s.index % 10000, (s.index + 1) % 100000, kNames[s.index % 6]);
  std::string line = head;
  appendAngle(line, s.latitude, 2);
  line += 'N';
  appendAngle(line, s.longitude, 3);
  line += 'W';
  char elevation[16];
  if (s.elevationCm < 0) {
    line += "      ";
  } else {
    std::snprintf(elevation, sizeof elevation, "%06d", s.elevationCm);
    line += elevation;
  }
  return line + "  1 2";
}

std::string surveyText(const std::vector<Station>& stations) {
  std::string text = "000001*10 PROJECT PINE GPS SURVEY\n000002*12 GRS80\n";
  for (const Station& s : stations) {
    const std::string line = record80(s);
    text += line;
    text += '\n';
    if (s.heightMm >= 0) {
      char height[16];
      std::snprintf(height, sizeof height, "  %07d", s.heightMm);
      text += line.substr(0, 6) + "*86" + line.substr(9, 5) + height + "  NAVD 88\n";
    }
  }
  return text;
}

StationTable load(const std::string& text) {
  MemoryBuffer buffer(text);
  std::istream input(&buffer);
  const LoadOutput output{nullStream, nullStream, nullStream};
  return loadStationTable(1, input, 5, output).table;
}

constexpr int kRecords = 4096;

void BM_parse80(benchmark::State& state) {
  std::vector<std::string> records;
  for (const Station& s : makeStations(kRecords, 1)) records.push_back(record80(s));
  for (auto _ : state) {
    for (const std::string& record : records) {
      POS_ELEV station;
      benchmark::DoNotOptimize(parse80(5, record, station, nullStream));
      benchmark::DoNotOptimize(station);
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_parse80);

void BM_shortLineInverse(benchmark::State& state) {
  const std::vector<Station> first = makeStations(kRecords, 2);
  const std::vector<Station> second = moved(first, 3);
  std::vector<double> coordinates;
  for (std::size_t i = 0; i < first.size(); ++i) {
    for (long long e5 : {second[i].latitude, second[i].longitude, first[i].latitude, first[i].longitude}) {
      coordinates.push_back(static_cast<double>(e5) / static_cast<double>(kE5PerDegree));
    }
  }
  for (auto _ : state) {
    for (std::size_t i = 0; i < coordinates.size(); i += 4) {
      benchmark::DoNotOptimize(
          shortLineInverse(coordinates[i], coordinates[i + 1], coordinates[i + 2], coordinates[i + 3]));
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_shortLineInverse);

// Loading one file of n stations (about half with an *86 height) from memory.
void BM_loadStationTable(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string text = surveyText(makeStations(n, 4));
  for (auto _ : state) {
    benchmark::DoNotOptimize(load(text));
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_loadStationTable)->Arg(20000)->Unit(benchmark::kMillisecond);

struct TablePair {
  StationTable first;
  StationTable second;
};

const TablePair& tables20k() {
  static const TablePair pair = [] {
    const std::vector<Station> stations = makeStations(20000, 5);
    return TablePair{load(surveyText(stations)), load(surveyText(moved(stations, 6)))};
  }();
  return pair;
}

// The index, with the report formatted and sent to a stream that drops it.
void BM_compareTables_indexed(benchmark::State& state) {
  const TablePair& tables = tables20k();
  std::int64_t pairs = 0;
  for (auto _ : state) {
    const ComparisonOutput output{nullStream, nullStream, nullStream, {1, 13}, 20};
    const ComparisonResult result = compareTables(tables.first, tables.second, MatchKey::Pid, 0.05, output);
    pairs += result.totals.matchedCount;
  }
  state.SetItemsProcessed(pairs);
}
BENCHMARK(BM_compareTables_indexed)->Unit(benchmark::kMillisecond);

// The reference: every 2nd-file station against every 1st-file station, the
// pairs formatted as above (the work per pair is the same; the scan is not).
void BM_compareTables_nestedScan(benchmark::State& state) {
  const TablePair& tables = tables20k();
  std::string line;
  std::int64_t pairs = 0;
  for (auto _ : state) {
    for (const POS_ELEV& second : tables.second) {
      for (const POS_ELEV& first : tables.first) {
        if (first.pid.view() != second.pid.view()) continue;
        line.clear();
        appendReportLine(line, first, stationShift(first, second));
        benchmark::DoNotOptimize(line.data());
        ++pairs;
      }
    }
  }
  state.SetItemsProcessed(pairs);
}
BENCHMARK(BM_compareTables_nestedScan)->Unit(benchmark::kMillisecond)->Iterations(2);

// One report line: the shifts and the fixed-column text.
void BM_reportLine(benchmark::State& state) {
  const TablePair& tables = tables20k();
  std::string line;
  for (auto _ : state) {
    for (std::size_t i = 0; i < tables.second.size(); ++i) {
      line.clear();
      appendReportLine(line, tables.first[i], stationShift(tables.first[i], tables.second[i]));
      benchmark::DoNotOptimize(line.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(tables.second.size()));
}
BENCHMARK(BM_reportLine);

// 20,000 report lines of 80 bytes written to a file, with (1) and without (0)
// a flush after every line: the price of handing each line to the system.
void BM_writeReportLines(benchmark::State& state) {
  const bool flushEachLine = state.range(0) != 0;
  const std::string path = (std::filesystem::temp_directory_path() / "tessovane2_micro_bench.out").string();
  const std::string line = std::string(79, 'x') + '\n';
  for (auto _ : state) {
    std::ofstream file(path, std::ios::out | std::ios::trunc | std::ios::binary);
    for (int i = 0; i < 20000; ++i) {
      file << line;
      if (flushEachLine) file << std::flush;
    }
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_writeReportLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
