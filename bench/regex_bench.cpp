// Speed of the pattern engine on the patterns the program really uses, against
// PCRE2's interpreter (no JIT) and std::regex in the same run. Each Tarq
// benchmark reports its time as a ratio to the other two engines doing the
// same work ("x_pcre2" below 1 means faster than PCRE2). BM_Hostile times the
// searches that run away in a plain backtracking engine, next to PCRE2 with
// its match limit; BM_ProgramPatternSteps tells how much of the step budget
// the program's own patterns use on their real input.
#include <benchmark/benchmark.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "foundation/regex_match.h"
#include "regex/rpattern.h"
#include "tests/regex/hostile_patterns.h"
#include "tests/regex/program_patterns.h"

namespace {

struct Job {
    std::string pattern;
    int flags;  // 0 or regex::ignore_case
    std::vector<std::string> texts;
};

// The input validators: pattern, limit, typical input.
struct Validation {
    const char* pattern;
    uint32_t limit;
    const char* text;
};
const Validation kValidations[] = {
    {"^[\\w ]+$", 128, "London Heathrow Tower"},
    {"^[\\w\\.\\-]+$", 255, "voice2.peltan-net.example.org"},
    {"^1\\d\\d\\.\\d\\d\\d$", 7, "118.700"},
    {"^[\\w \\-]+$", 12, "EGLL-TWR"},
    {"^000\\.000$", 7, "121.500"},
    {"/\\d+", 3, "/12"},
};

const std::vector<std::string> kMetars = {
    "KJFK 121651Z 31015G25KT 10SM FEW050 SCT250 M02/M17 A3012 RMK AO2 SLP201",
    "EGLL 121650Z AUTO 24012KT 210V280 9999 -RA BKN012 OVC030 08/06 Q1004",
    "LFPG 121700Z 05008KT CAVOK 12/03 Q1021 NOSIG",
    "KSFO 121656Z 28018KT 10SM R28L/2600FT -SHRA BR FEW008 BKN020 13/11 A2998",
    "EDDF 121650Z VRB02KT 0300 R25R/0600N FG VV001 02/02 Q1030",
    "CYYZ 121700Z 36010KT 1 1/2SM -SN BLSN OVC015 M05/M08 A2990 RMK SN8",
};

// Sector file lines with the pattern of their section.
struct SectorLine {
    int pattern;
    const char* text;
};
const char* const kSectorPatterns[] = {
    "^#define\\s+(\\S+)\\s+(.+)",
    "^\\[(.+)\\]$",
    "^(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)",
    "^(\\S+)\\s+(\\S+)\\s+(\\S+)",
    "^(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)(?:\\s+([A-Z]))?",
    "^(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)",
    "^(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)",
    "^(.{26})\\s*(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)(?:\\s+(\\S+))?",
    "^\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)(?:\\s+(\\S+))?",
    "^(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)(?:\\s+(\\S+))?",
    "^(\\S+)\\s+(\\S+)\\s+(\\S+)",
    "^\\s+(\\S+)\\s+(\\S+)",
    "^\"(.+)\"\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)",
};
const SectorLine kSectorLines[] = {
    {0, "#define COLOR_Runway 16777215"},
    {1, "[VOR]"},
    {2, "LON  113.600 N051.29.12.000 W000.28.00.000 ; London"},
    {3, "ABBOT N052.00.55.000 E000.35.59.000"},
    {4, "EGLL 118.500 N051.28.39.000 W000.27.41.000 D"},
    {5, "09L 27R 090 270 N051.28.39.000 W000.29.06.000 N051.28.39.000 W000.25.58.000"},
    {6, "EGTT_N N053.00.00.000 W002.00.00.000 N054.00.00.000 W001.00.00.000"},
    {7, "BPK7F                     N051.44.59.000 W000.06.24.000 N051.40.00.000 W000.10.00.000 COLOR_Sid"},
    {8, "                          N051.40.00.000 W000.10.00.000 N051.35.00.000 W000.15.00.000"},
    {9, "N051.28.00.000 W000.27.00.000 N051.29.00.000 W000.26.00.000 COLOR_Taxi"},
    {10, "COLOR_Grass N051.28.00.000 W000.27.00.000"},
    {11, "  N051.29.00.000 W000.26.00.000"},
    {12, "\"Terminal 5\" N051.28.20.000 W000.29.20.000 COLOR_Label"},
};

// CPU time of this thread: the machine is shared, so wall time would mix in other load.
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Per-iteration time of `work`, run for about 20 ms.
double SecondsPerRun(const std::function<void()>& work) {
    int runs = 0;
    double start = ThreadSeconds();
    double elapsed = 0;
    do {
        for (int i = 0; i < 8; ++i) work();
        runs += 8;
        elapsed = ThreadSeconds() - start;
    } while (elapsed < 0.02);
    return elapsed / runs;
}

// The engines take turns and each keeps its best round, so that warm-up and
// frequency changes do not favour whichever runs last.
double BestOfRounds(const std::function<void()>& work, double* best) {
    double t = SecondsPerRun(work);
    if (*best == 0 || t < *best) *best = t;
    return *best;
}

// One engine's way of doing a workload: compile (once or per call) and search.
class Pcre2Pattern {
public:
    Pcre2Pattern(const std::string& pattern, int flags) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                               (flags & regex::ignore_case) ? PCRE2_CASELESS : 0, &error, &offset, nullptr);
        m_data = pcre2_match_data_create_from_pattern(m_code, nullptr);
    }
    ~Pcre2Pattern() {
        pcre2_match_data_free(m_data);
        pcre2_code_free(m_code);
    }
    bool Search(const std::string& text) const {
        return pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, m_data,
                           nullptr) >= 0;
    }
    // Every match, one after the other (none here is empty).
    size_t CountAll(const std::string& text) const {
        size_t count = 0;
        for (PCRE2_SIZE from = 0; pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(),
                                              from, 0, m_data, nullptr) >= 0;
             ++count)
            from = pcre2_get_ovector_pointer(m_data)[1];
        return count;
    }

private:
    pcre2_code* m_code;
    pcre2_match_data* m_data;
};

struct Engines {
    std::function<void()> tarq;
    std::function<void()> pcre2;
    std::function<void()> stdRegex;
};

// Compiled once, searched many times.
Engines CompiledSearch(const std::vector<Job>& jobs) {
    auto tarq = std::make_shared<std::vector<regex::rpattern>>();
    auto pcre = std::make_shared<std::vector<std::unique_ptr<Pcre2Pattern>>>();
    auto stdr = std::make_shared<std::vector<std::regex>>();
    for (const auto& j : jobs) {
        tarq->emplace_back(j.pattern, j.flags);
        pcre->push_back(std::make_unique<Pcre2Pattern>(j.pattern, j.flags));
        stdr->emplace_back(j.pattern, (j.flags & regex::ignore_case)
                                          ? std::regex::ECMAScript | std::regex::icase
                                          : std::regex::ECMAScript);
    }
    Engines e;
    e.tarq = [jobs, tarq] {
        regex::match_results r;
        for (size_t i = 0; i < jobs.size(); ++i)
            for (const auto& t : jobs[i].texts) benchmark::DoNotOptimize((*tarq)[i].match_text(t, r).matched);
    };
    e.pcre2 = [jobs, pcre] {
        for (size_t i = 0; i < jobs.size(); ++i)
            for (const auto& t : jobs[i].texts) benchmark::DoNotOptimize((*pcre)[i]->Search(t));
    };
    e.stdRegex = [jobs, stdr] {
        std::smatch m;
        for (size_t i = 0; i < jobs.size(); ++i)
            for (const auto& t : jobs[i].texts) benchmark::DoNotOptimize(std::regex_search(t, m, (*stdr)[i]));
    };
    return e;
}

// RegexMatch compiles at every call; the others do the same.
Engines Validators() {
    Engines e;
    e.tarq = [] {
        for (const auto& v : kValidations) benchmark::DoNotOptimize(RegexMatch(v.text, v.pattern, v.limit));
    };
    e.pcre2 = [] {
        for (const auto& v : kValidations) {
            Pcre2Pattern p(v.pattern, 0);
            std::string text = v.text;
            benchmark::DoNotOptimize(p.Search(text) && text.size() <= v.limit);
        }
    };
    e.stdRegex = [] {
        for (const auto& v : kValidations) {
            std::regex p(v.pattern);
            std::string text = v.text;
            benchmark::DoNotOptimize(std::regex_search(text, p) && text.size() <= v.limit);
        }
    };
    return e;
}

std::vector<Job> MetarJobs() { return {{program_patterns::kMetar, 0, kMetars}}; }

std::vector<Job> SectorJobs() {
    std::vector<Job> jobs;
    for (const auto& line : kSectorLines)
        jobs.push_back(
            {kSectorPatterns[line.pattern], line.pattern == 0 ? regex::ignore_case : 0, {line.text}});
    return jobs;
}

std::vector<Job> ChatJobs() {
    std::vector<std::string> texts = {
        "BAW123, request selcal check, SELCAL AB-CD please ",
        "hello tower, we are ready for departure runway 27 right with information bravo",
        "Position update LT=51.4775 LO=-0.4614 AL=1200 from the field",
    };
    return {{"\\WSEL(?:CAL)?[/ -]?(\\w\\w)-?(\\w\\w)\\W", regex::ignore_case, texts},
            {"LT=(\\S+)\\s+LO=(\\S+)\\s+AL", 0, texts}};
}

void RunTarq(benchmark::State& state, const Engines& e) {
    for (auto _ : state) e.tarq();
    double tarq = 0, pcre2 = 0, stdRegex = 0;
    for (int round = 0; round < 5; ++round) {
        BestOfRounds(e.tarq, &tarq);
        BestOfRounds(e.pcre2, &pcre2);
        BestOfRounds(e.stdRegex, &stdRegex);
    }
    state.counters["x_pcre2"] = tarq / pcre2;
    state.counters["x_std_regex"] = tarq / stdRegex;
}

void RunOther(benchmark::State& state, const std::function<void()>& work) {
    for (auto _ : state) work();
}

void BM_Validators_Tarq(benchmark::State& s) { RunTarq(s, Validators()); }
void BM_Validators_Pcre2(benchmark::State& s) { RunOther(s, Validators().pcre2); }
void BM_Validators_StdRegex(benchmark::State& s) { RunOther(s, Validators().stdRegex); }
void BM_SectorLines_Tarq(benchmark::State& s) { RunTarq(s, CompiledSearch(SectorJobs())); }
void BM_SectorLines_Pcre2(benchmark::State& s) { RunOther(s, CompiledSearch(SectorJobs()).pcre2); }
void BM_SectorLines_StdRegex(benchmark::State& s) { RunOther(s, CompiledSearch(SectorJobs()).stdRegex); }
void BM_Metar_Tarq(benchmark::State& s) { RunTarq(s, CompiledSearch(MetarJobs())); }
void BM_Metar_Pcre2(benchmark::State& s) { RunOther(s, CompiledSearch(MetarJobs()).pcre2); }
void BM_Metar_StdRegex(benchmark::State& s) { RunOther(s, CompiledSearch(MetarJobs()).stdRegex); }
void BM_ChatSearch_Tarq(benchmark::State& s) { RunTarq(s, CompiledSearch(ChatJobs())); }
void BM_ChatSearch_Pcre2(benchmark::State& s) { RunOther(s, CompiledSearch(ChatJobs()).pcre2); }
void BM_ChatSearch_StdRegex(benchmark::State& s) { RunOther(s, CompiledSearch(ChatJobs()).stdRegex); }

// One row of the hostile table: Tarq's recursive driver (the program's) and
// PCRE2's interpreter with its default match limit, each timed on its own.
void BM_Hostile(benchmark::State& state) {
    const auto rows = hostile_patterns::Rows();
    const auto& row = rows[static_cast<size_t>(state.range(0))];
    regex::rpattern tarq(row.pattern);
    Pcre2Pattern pcre(row.pattern, 0);
    std::string outcome;
    auto runTarq = [&] {
        regex::match_results r;
        try {
            outcome = tarq.match_text(row.text, r).matched ? "match" : "none";
        } catch (const regex::match_limit_exceeded&) {
            outcome = "gave up";
        }
    };
    for (auto _ : state) runTarq();
    double tarqSeconds = 0, pcreSeconds = 0;
    for (int round = 0; round < 3; ++round) {
        BestOfRounds(runTarq, &tarqSeconds);
        BestOfRounds([&] { benchmark::DoNotOptimize(pcre.Search(row.text)); }, &pcreSeconds);
    }
    state.counters["tarq_ms"] = tarqSeconds * 1e3;
    state.counters["pcre2_ms"] = pcreSeconds * 1e3;
    state.SetLabel(row.name + ": " + outcome);
}
BENCHMARK(BM_Hostile)
    ->DenseRange(0, static_cast<int64_t>(hostile_patterns::Rows().size()) - 1)
    ->Iterations(3);

double TimeSearch(const regex::rpattern& p, const std::string& text, std::string* outcome,
                  uint64_t* steps = nullptr) {
    const double start = ThreadSeconds();
    regex::match_results r;
    try {
        *outcome = p.match_text(text, r).matched ? "match" : "none";
        if (steps) *steps = r.steps();
    } catch (const regex::match_limit_exceeded& e) {
        *outcome = e.what();
    }
    return ThreadSeconds() - start;
}

// A classic search that nothing shortens, on short text: it runs until the
// default step budget ends it, on each driver.
void BM_HostileGivesUp(benchmark::State& state) {
    const std::string text = hostile_patterns::Repeat("a", 40) + "d";
    regex::rpattern recursive("^(?:(a)|a)+(?(1)b|c)", 0, regex::recursive_mode);
    regex::rpattern stack("^(?:(a)|a)+(?(1)b|c)", 0, regex::stack_mode);
    std::string outcome;
    double best = 1e30, bestStack = 1e30;
    for (auto _ : state) {
        best = std::min(best, TimeSearch(recursive, text, &outcome));
        bestStack = std::min(bestStack, TimeSearch(stack, text, &outcome));
    }
    state.counters["tarq_ms"] = best * 1e3;
    state.counters["stack_ms"] = bestStack * 1e3;
    state.SetLabel(outcome);
}
BENCHMARK(BM_HostileGivesUp)->Iterations(3);

// Searches over 1 MB, generated: ordinary ones on a service log, which must
// answer in about PCRE2's time, hostile ones, which must give up (or answer)
// within a second, and a repeated search that finds every match. Each driver
// of Tarq is timed on its own; PCRE2 where it finishes in reasonable time.
struct LargeRow {
    const char* name;
    std::string pattern;
    int flags;
    std::string text;
    bool timePcre2;
};

const std::vector<LargeRow>& LargeRows() {
    using hostile_patterns::Repeat;
    static const std::vector<LargeRow> rows = [] {
        const size_t n = 1'000'000;
        const std::string log = hostile_patterns::ServiceLog(n);
        std::string mixed;
        std::mt19937 rng(3);
        for (size_t i = 0; i < n; ++i) mixed += rng() % 40 == 0 ? 'c' : "ab "[rng() % 3];
        return std::vector<LargeRow>{
            {"log .*TIMEOUT", ".*TIMEOUT", 0, log, true},
            {"log .*?TIMEOUT", ".*?TIMEOUT", 0, log, true},
            {"log (?i).*timeout", "(?i).*timeout", 0, log, true},
            {"log (?:\\S+\\s+){3}TIMEOUT", "(?:\\S+\\s+){3}TIMEOUT", 0, log, true},
            {"log (?:[^\\n]*\\n)*?.*ERROR", "(?:[^\n]*\n)*?.*ERROR", 0, log, true},
            {"log quoted string", "\"(?:[^\"\\\\]|\\\\.)*\"", 0, log, true},
            {"repeated (?:a|b)+c", "(?:a|b)+c", regex::repeat_search | regex::collect_whole_matches, mixed,
             true},
            {"digits (\\d+)-(\\d+)", "(\\d+)-(\\d+)", 0, Repeat("7", n) + "-", false},
            {"digits (?>\\d+)[xy]", "(?>\\d+)[xy]", 0, Repeat("7", n), false},
            {"unclosed quote", "\"(?:[^\"\\\\]|\\\\.)*\"", 0, "\"" + Repeat("x", n), true},
            {"xy then digits", "(?:xy)*(\\d+)-(\\d+)", 0, Repeat("xy", n / 2) + Repeat("7", n / 2) + "-",
             false},
            {"nested plus", "(x+x+)+y", 0, Repeat("x", n), true},
            {"weather report", program_patterns::kMetar, 0, hostile_patterns::SlashedMetar(n / 3), true},
        };
    }();
    return rows;
}

void BM_LargeText(benchmark::State& state) {
    const LargeRow& row = LargeRows()[static_cast<size_t>(state.range(0))];
    regex::rpattern recursive(row.pattern, row.flags, regex::recursive_mode);
    regex::rpattern stack(row.pattern, row.flags, regex::stack_mode);
    std::string outcome, stackOutcome;
    double best = 1e30, bestStack = 1e30, bestPcre2 = 0;
    uint64_t steps = 0;
    for (auto _ : state) {
        best = std::min(best, TimeSearch(recursive, row.text, &outcome, &steps));
        bestStack = std::min(bestStack, TimeSearch(stack, row.text, &stackOutcome));
    }
    if (row.timePcre2) {
        Pcre2Pattern pcre(row.pattern, row.flags);
        const bool all = row.flags & regex::repeat_search;
        bestPcre2 = 1e30;
        for (int round = 0; round < 3; ++round) {
            const double start = ThreadSeconds();
            if (all)
                pcre.CountAll(row.text);
            else
                benchmark::DoNotOptimize(pcre.Search(row.text));
            bestPcre2 = std::min(bestPcre2, ThreadSeconds() - start);
        }
    }
    state.counters["tarq_ms"] = best * 1e3;
    state.counters["stack_ms"] = bestStack * 1e3;
    state.counters["pcre2_ms"] = bestPcre2 * 1e3;
    // The share of the step allowance an answered search took.
    state.counters["steps_per_char"] = static_cast<double>(steps) / static_cast<double>(row.text.size());
    state.SetLabel(std::string(row.name) + ": " + outcome + " / " + stackOutcome);
}
BENCHMARK(BM_LargeText)->DenseRange(0, static_cast<int64_t>(LargeRows().size()) - 1)->Iterations(2);

// The most steps any of the program's patterns takes on the bench's and the
// tests' texts (every prefix too), and the least margin the default budget
// leaves: what it allows over what the search took.
void BM_ProgramPatternSteps(benchmark::State& state) {
    uint64_t most = 0;
    double margin = 1e30;
    std::string worst;
    for (auto _ : state) {
        std::vector<Job> jobs = MetarJobs();
        for (auto& j : SectorJobs()) jobs.push_back(j);
        for (auto& j : ChatJobs()) jobs.push_back(j);
        for (const auto& c : program_patterns::Cases()) jobs.push_back({c.pattern, c.flags, c.texts});
        for (const auto& v : kValidations) jobs.push_back({v.pattern, 0, {v.text}});
        regex::match_results r;
        for (const auto& j : jobs) {
            regex::rpattern p(j.pattern, j.flags);
            for (const auto& text : j.texts)
                for (size_t length = 0; length <= text.size(); ++length) {
                    p.match_text(text.substr(0, length), r);
                    const uint64_t steps = std::max<uint64_t>(r.steps(), 1);
                    const uint64_t allowed = regex::default_step_budget + regex::steps_per_character * length;
                    margin = std::min(margin, static_cast<double>(allowed) / static_cast<double>(steps));
                    if (steps > most) {
                        most = steps;
                        worst = j.pattern.substr(0, 24) + " on '" + text.substr(0, length) + "'";
                    }
                }
        }
    }
    state.counters["most_steps"] = static_cast<double>(most);
    state.counters["least_margin"] = margin;
    state.SetLabel(worst);
}
BENCHMARK(BM_ProgramPatternSteps)->Iterations(1);

BENCHMARK(BM_Validators_Tarq);
BENCHMARK(BM_Validators_Pcre2);
BENCHMARK(BM_Validators_StdRegex);
BENCHMARK(BM_SectorLines_Tarq);
BENCHMARK(BM_SectorLines_Pcre2);
BENCHMARK(BM_SectorLines_StdRegex);
BENCHMARK(BM_Metar_Tarq);
BENCHMARK(BM_Metar_Pcre2);
BENCHMARK(BM_Metar_StdRegex);
BENCHMARK(BM_ChatSearch_Tarq);
BENCHMARK(BM_ChatSearch_Pcre2);
BENCHMARK(BM_ChatSearch_StdRegex);

}  // namespace
