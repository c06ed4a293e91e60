#include "tools/report/batch.h"

#include <charconv>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/chart_run.h"
#include "app/chart_wheel.h"
#include "app/time_zones.h"
#include "app/user_text.h"
#include "tools/report/batch_json.h"
#include "tools/report/report_run.h"

namespace qv::report {

namespace {

// Rows per chunk handed between the reader, the workers and the writer.
constexpr std::size_t kChunkRows = 256;
// Output collected before it is written, on one job.
constexpr std::size_t kFlushBytes = 256 * 1024;
// Time between two progress lines.
constexpr auto kProgressEvery = std::chrono::milliseconds(250);

std::string_view TrimBlanksAndTabs(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// A whole number of one to nine digits, blanks around it allowed.
bool WholeNumber(std::string_view text, int& value) {
    const std::string_view t = TrimBlanksAndTabs(text);
    if (t.empty() || t.size() > 9) return false;
    for (char c : t)
        if (c < '0' || c > '9') return false;
    std::from_chars(t.data(), t.data() + t.size(), value);
    return true;
}

bool InRange(std::string_view text, int low, int high, int& value) {
    return WholeNumber(text, value) && value >= low && value <= high;
}

// A direction letter: 0 for `first`, 1 for `second` (either case), -1 for an
// empty field (the form then asks for it); false for anything else.
bool Direction(std::string_view text, char first, char second, int& option) {
    const std::string_view t = TrimBlanksAndTabs(text);
    if (t.empty()) {
        option = -1;
        return true;
    }
    if (t.size() != 1) return false;
    const char upper = (t[0] >= 'a' && t[0] <= 'z') ? static_cast<char>(t[0] - 'a' + 'A') : t[0];
    if (upper != first && upper != second) return false;
    option = upper == first ? 0 : 1;
    return true;
}

// The next record that is a row: blank lines are skipped and take no number.
bool NextRow(CsvReader& reader, CsvRecord& record) {
    while (reader.Next(record))
        if (!record.blank) return true;
    return false;
}

// The line for one record: a chart or a refusal. True for a chart.
class RowWorker {
public:
    RowWorker() {
        LoadFixedLists(state_);
        LoadTimeZones(state_);
    }

    bool Process(const CsvRecord& record, std::size_t row, std::string& out) {
        std::optional<std::string> refusal;
        if (!record.error.empty()) refusal = record.error;
        else if (record.count != kBatchFieldCount)
            refusal = "The row has " + std::to_string(record.count) + " fields; " + std::to_string(kBatchFieldCount) +
                      " are expected";
        else refusal = FormFromBatchRow(record, form_);
        if (refusal) {
            writer_.AppendError(out, row, *refusal);
            return false;
        }
        // A fresh chart starts without a Moon sign; nothing else of the
        // previous row survives a calculation.
        state_.MoonSignName.clear();
        RunChartCalculation(form_, state_, wheel_);
        writer_.AppendChart(out, row, state_, wheel_);
        return true;
    }

private:
    ChartState state_;
    ChartWheel wheel_;
    BirthFormData form_;
    ChartLineWriter writer_;
};

// Rows done, rewritten in place on a terminal.
class Progress {
public:
    Progress(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}

    void Update(std::size_t rows) {
        if (!enabled_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < kProgressEvery) return;
        last_ = now;
        err_ << "\r" << rows << " rows" << std::flush;
    }

    void Finish(std::size_t rows) {
        if (!enabled_) return;
        err_ << "\r" << rows << " rows\n" << std::flush;
    }

private:
    std::ostream& err_;
    bool enabled_;
    std::chrono::steady_clock::time_point last_{};
};

struct Outcome {
    std::size_t rows = 0;
    bool anyRefused = false;
    bool writeFailed = false;
};

Outcome RunOnOneThread(CsvReader& reader, std::ostream& out, Progress& progress) {
    Outcome outcome;
    RowWorker worker;
    CsvRecord record;
    std::string buffer;
    buffer.reserve(kFlushBytes + 64 * 1024);
    auto flush = [&]() {
        if (!outcome.writeFailed && !buffer.empty()) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            if (!out) outcome.writeFailed = true;
        }
        buffer.clear();
    };
    while (!outcome.writeFailed && NextRow(reader, record)) {
        ++outcome.rows;
        if (!worker.Process(record, outcome.rows, buffer)) outcome.anyRefused = true;
        if (buffer.size() >= kFlushBytes) {
            flush();
            progress.Update(outcome.rows);
        }
    }
    flush();
    return outcome;
}

// Rows travel in chunks: the reader fills free chunks, workers turn their
// records into lines, the writer puts the chunks out in reading order and
// returns them. A fixed number of chunks bounds the memory.
struct Chunk {
    std::vector<CsvRecord> records = std::vector<CsvRecord>(kChunkRows);
    std::size_t count = 0;
    std::size_t firstRow = 0;
    std::size_t seq = 0;
    std::string output;
    bool anyRefused = false;
};

class Pipeline {
public:
    Pipeline(CsvReader& reader, std::ostream& out, Progress& progress, int jobs)
        : reader_(reader), out_(out), progress_(progress), jobs_(jobs) {
        const std::size_t chunks = 2 * static_cast<std::size_t>(jobs) + 2;
        chunks_.resize(chunks);
        for (auto& c : chunks_) {
            c = std::make_unique<Chunk>();
            free_.push_back(c.get());
        }
        ready_.assign(chunks, nullptr);
    }

    Outcome Run() {
        std::vector<std::thread> workers;
        for (int j = 0; j < jobs_; ++j) workers.emplace_back([this] { Work(); });
        std::thread reader([this] { Read(); });
        Write();
        reader.join();
        for (auto& w : workers) w.join();
        return outcome_;
    }

private:
    void Read() {
        std::size_t row = 0;
        std::size_t seq = 0;
        for (;;) {
            Chunk* chunk = nullptr;
            {
                std::unique_lock lock(mutex_);
                freed_.wait(lock, [this] { return !free_.empty() || stop_; });
                if (stop_) break;
                chunk = free_.front();
                free_.pop_front();
            }
            chunk->count = 0;
            chunk->firstRow = row + 1;
            while (chunk->count < kChunkRows && NextRow(reader_, chunk->records[chunk->count])) ++chunk->count;
            row += chunk->count;
            const bool last = chunk->count < kChunkRows;
            std::lock_guard lock(mutex_);
            if (chunk->count == 0) {
                free_.push_back(chunk);
            } else {
                chunk->seq = seq++;
                work_.push_back(chunk);
                workAvailable_.notify_one();
            }
            if (last) break;
        }
        std::lock_guard lock(mutex_);
        chunkCount_ = seq;
        readerDone_ = true;
        workAvailable_.notify_all();
        chunkDone_.notify_all();
    }

    void Work() {
        RowWorker worker;
        for (;;) {
            Chunk* chunk = nullptr;
            {
                std::unique_lock lock(mutex_);
                workAvailable_.wait(lock, [this] { return !work_.empty() || readerDone_; });
                if (work_.empty()) return;
                chunk = work_.front();
                work_.pop_front();
            }
            chunk->output.clear();
            chunk->anyRefused = false;
            for (std::size_t k = 0; k < chunk->count; ++k)
                if (!worker.Process(chunk->records[k], chunk->firstRow + k, chunk->output)) chunk->anyRefused = true;
            std::lock_guard lock(mutex_);
            ready_[chunk->seq % ready_.size()] = chunk;
            chunkDone_.notify_all();
        }
    }

    void Write() {
        for (std::size_t next = 0;; ++next) {
            Chunk* chunk = nullptr;
            {
                std::unique_lock lock(mutex_);
                const std::size_t slot = next % ready_.size();
                chunkDone_.wait(lock, [&] {
                    return (ready_[slot] && ready_[slot]->seq == next) || (readerDone_ && next >= chunkCount_);
                });
                if (!(ready_[slot] && ready_[slot]->seq == next)) return;
                chunk = ready_[slot];
                ready_[slot] = nullptr;
            }
            if (!outcome_.writeFailed) {
                out_.write(chunk->output.data(), static_cast<std::streamsize>(chunk->output.size()));
                if (!out_) outcome_.writeFailed = true;
            }
            outcome_.rows += chunk->count;
            outcome_.anyRefused = outcome_.anyRefused || chunk->anyRefused;
            progress_.Update(outcome_.rows);
            std::lock_guard lock(mutex_);
            if (outcome_.writeFailed) stop_ = true;
            free_.push_back(chunk);
            freed_.notify_one();
        }
    }

    CsvReader& reader_;
    std::ostream& out_;
    Progress& progress_;
    int jobs_;
    std::vector<std::unique_ptr<Chunk>> chunks_;

    std::mutex mutex_;
    std::condition_variable freed_, workAvailable_, chunkDone_;
    std::deque<Chunk*> free_, work_;
    std::vector<Chunk*> ready_;  // finished chunks by seq modulo their number
    std::size_t chunkCount_ = 0;
    bool readerDone_ = false;
    bool stop_ = false;
    Outcome outcome_;  // written by the writer only
};

}  // namespace

std::optional<std::string> CheckBatchHeader(const CsvRecord& header, bool found) {
    const std::string expected = "The first line must be the header " + std::string(kBatchHeader);
    if (!found) return "The file is empty. " + expected;
    if (!header.error.empty() || header.count != kBatchFieldCount) return expected;
    std::string_view names = kBatchHeader;
    for (std::size_t k = 0; k < kBatchFieldCount; ++k) {
        const std::size_t comma = names.find(',');
        if (header.Field(k) != names.substr(0, comma)) return expected;
        names.remove_prefix(comma == std::string_view::npos ? names.size() : comma + 1);
    }
    return std::nullopt;
}

std::optional<std::string> FormFromBatchRow(const CsvRecord& record, BirthFormData& form) {
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, zone = 0;
    // The single-chart command's order and words: date, time, zone, directions.
    if (!InRange(record.Field(kColMonth), 1, 12, month)) return "The month must be from 1 to 12";
    if (!InRange(record.Field(kColDay), 1, 31, day)) return "The day must be from 1 to 31";
    if (!InRange(record.Field(kColYear), 1901, 2050, year)) return "The year must be from 1901 to 2050";
    if (!InRange(record.Field(kColHour), 0, 23, hour)) return "The hour must be from 0 to 23";
    if (!InRange(record.Field(kColMinute), 0, 59, minute)) return "The minute must be from 0 to 59";
    if (!InRange(record.Field(kColZone), 0, kTimeZoneCount - 1, zone))
        return "The time-zone slot must be a number from 0 to 70";
    if (!Direction(record.Field(kColLatDir), 'N', 'S', form.optLatSouth)) return "The latitude direction must be N or S";
    if (!Direction(record.Field(kColLonDir), 'E', 'W', form.optLongEast))
        return "The longitude direction must be E or W";
    const std::string_view dst = TrimBlanksAndTabs(record.Field(kColDst));
    if (dst != "0" && dst != "1") return "The dst field must be 0 or 1";

    form.cboMonth = month - 1;
    form.cboDate = day - 1;
    form.cboYear = year - 1901;
    form.cboHour = hour;
    form.cboMinute = minute;
    form.cboTimeZone = zone;
    form.chkDST = dst == "1";
    form.txtName.assign(record.Field(kColName));
    form.txtLatD.assign(TrimBlanksAndTabs(record.Field(kColLatDeg)));
    form.txtLatM.assign(TrimBlanksAndTabs(record.Field(kColLatMin)));
    form.txtLonD.assign(TrimBlanksAndTabs(record.Field(kColLonDeg)));
    form.txtLonM.assign(TrimBlanksAndTabs(record.Field(kColLonMin)));
    form.txtCity.assign(record.Field(kColCity));
    form.txtState.assign(record.Field(kColState));
    form.txtCountry.assign(record.Field(kColCountry));

    // Then the form's own checks, in the form's order and words.
    if (auto failure = ValidateInput(form)) return std::move(failure->message);
    return std::nullopt;
}

int RunBatch(std::istream& in, std::ostream& out, std::ostream& err, const BatchSettings& settings) {
    CsvReader reader(in);
    CsvRecord header;
    const bool found = reader.Next(header);
    if (reader.ReadFailed()) {
        err << "The batch file could not be read\n";
        return kExitRefused;
    }
    if (reader.Stopped()) {
        err << "The first line is longer than " << CsvReader::kDefaultMaxRecordBytes << " bytes. "
            << *CheckBatchHeader(header, found) << '\n';
        return kExitRefused;
    }
    if (auto refusal = CheckBatchHeader(header, found)) {
        err << *refusal << '\n';
        return kExitRefused;
    }

    Progress progress(err, settings.progress);
    Outcome outcome;
    if (settings.jobs <= 1) {
        outcome = RunOnOneThread(reader, out, progress);
    } else {
        Pipeline pipeline(reader, out, progress, settings.jobs);
        outcome = pipeline.Run();
    }
    if (!outcome.writeFailed) {
        out.flush();
        outcome.writeFailed = !out;
    }
    progress.Finish(outcome.rows);

    if (outcome.writeFailed) {
        err << "The charts could not be written to standard output\n";
        return kExitFailed;
    }
    if (reader.ReadFailed()) {
        err << "The batch file could not be read after row " << outcome.rows << '\n';
        return kExitFailed;
    }
    return outcome.anyRefused ? kExitSomeRowsRefused : kExitOk;
}

int RunBatchFile(const std::string& path, std::ostream& out, std::ostream& err, const BatchSettings& settings) {
    if (path == "-") return RunBatch(std::cin, out, err, settings);
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        err << "The batch file " << QuoteUserText(path) << " could not be opened\n";
        return kExitRefused;
    }
    return RunBatch(file, out, err, settings);
}

}  // namespace qv::report
