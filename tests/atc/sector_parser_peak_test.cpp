// Peak memory of whole sector parses, each in a process of its own: a heavy
// user's file and wrong files of 20 MB stay within a small multiple of their
// size, and the wrong ones keep no error record per line.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "atc/sector_parser.h"
#include "foundation/random15.h"
#include "platform/atomic_file.h"
#include "tests/atc/sector_generator.h"
#include "tests/temp_dir.h"

namespace {

struct ChildRun {
    int exitCode = -1;
    long peakKiB = 0;
    size_t keptErrors = 0;
    size_t errors = 0;
    std::string report;
};

const std::string kInfo = "[INFO]\nHostile\nX\nY\nN040.30.00.000\nW073.30.00.000\n60\n45\n-13\n1\n";

class SectorParserPeak : public ::testing::Test {
protected:
    void SetUp() override {
        ChildRun tiny = ParseInChild("tiny.sct", kInfo);
        ASSERT_EQ(tiny.exitCode, 0);
        m_baselineKiB = tiny.peakKiB;
        ASSERT_GT(m_baselineKiB, 0);
    }

    // Writes the file, parses it with the tool in a fresh process and reads
    // back what the tool measured.
    ChildRun ParseInChild(const std::string& name, const std::string& contents) {
        ChildRun run;
        const std::string path = m_dir.File(name);
        const std::string report = path + ".report";
        const std::string figures = path + ".figures";
        EXPECT_TRUE(WriteFileAtomically(path, contents));
        pid_t pid = fork();
        if (pid < 0) return run;
        if (pid == 0) {
            execl(SECTOR_PARSE_PEAK_TOOL, SECTOR_PARSE_PEAK_TOOL, path.c_str(), report.c_str(),
                  figures.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        if (waitpid(pid, &status, 0) != pid) return run;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::string text;
        if (ReadWholeFile(figures, text))
            std::istringstream(text) >> run.peakKiB >> run.keptErrors >> run.errors;
        ReadWholeFile(report, run.report);
        return run;
    }

    void ExpectPeakWithin(const ChildRun& run, size_t fileSize, double multiple) {
        double grownKiB = static_cast<double>(run.peakKiB - m_baselineKiB);
        double sizeKiB = static_cast<double>(fileSize) / 1024;
        std::printf("peak grew by %.0f KiB for a file of %.0f KiB (%.2f times)\n", grownKiB, sizeKiB,
                    grownKiB / sizeKiB);
        EXPECT_LE(grownKiB, multiple * sizeKiB) << "peak " << run.peakKiB << " KiB, baseline "
                                                << m_baselineKiB << " KiB, file " << sizeKiB << " KiB";
    }

    TempDir m_dir;
    long m_baselineKiB = 0;
};

TEST_F(SectorParserPeak, GeneratedLargeFile) {
    const std::string contents = GenerateLargeSector(1);
    ChildRun run = ParseInChild("large.sct2", contents);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, 0u);
    EXPECT_NE(run.report.find("Geo Segments:       60000\n"), std::string::npos);
    ExpectPeakWithin(run, contents.size(), 8.0);
}

TEST_F(SectorParserPeak, TwentyMegabytesOfBrackets) {
    // Every line is an orphaned line, and the file has no centre.
    const size_t lines = 10'000'000;
    std::string contents(2 * lines, '\n');
    for (size_t i = 0; i < contents.size(); i += 2) contents[i] = '[';
    ChildRun run = ParseInChild("brackets.sct", contents);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.keptErrors, kSectorMaxKeptErrors + 1);  // and the fatal one
    EXPECT_EQ(run.errors, lines + 1);
    ExpectPeakWithin(run, contents.size(), 4.0);
}

TEST_F(SectorParserPeak, TwentyMegabytesOfRandomBytesAfterAValidInfo) {
    const size_t size = 20u << 20;
    std::string contents = kInfo + "[GEO]\n";
    size_t start = contents.size();
    contents.resize(size);
    Random15 random(14);
    for (size_t i = start; i < size; ++i) {
        char c = static_cast<char>(random.Next() & 0xFF);
        // No line may become a header: an unknown one would end the parse.
        contents[i] = c == ']' ? '}' : c;
    }
    ChildRun run = ParseInChild("random.sct", contents);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.keptErrors, kSectorMaxKeptErrors);
    EXPECT_GT(run.errors, kSectorMaxKeptErrors);
    EXPECT_NE(run.report.find("Erroneous lines:    " + std::to_string(run.errors) + "\n"), std::string::npos);
    EXPECT_NE(
        run.report.find(std::to_string(run.errors - kSectorMaxKeptErrors) + " more errors not listed\n"),
        std::string::npos);
    ExpectPeakWithin(run, contents.size(), 4.0);
}

}  // namespace
