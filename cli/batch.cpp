#include "cli/batch.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "chart/chart_wheel.h"
#include "chart/time_window.h"
#include "cli/report_run.h"
#include "formats/chart_json.h"
#include "state/text.h"

namespace qv::report {

namespace {

// Rows per chunk handed between the reader, the workers and the writer.
constexpr std::size_t kChunkRows = 256;
// Output collected before it is written, on one job.
constexpr std::size_t kFlushBytes = 256 * 1024;
// Time between two progress lines.
constexpr auto kProgressEvery = std::chrono::milliseconds(250);

// The next record that is a row: blank lines are skipped and take no number.
bool NextRow(CsvReader& reader, CsvRecord& record) {
    while (reader.Next(record))
        if (!record.blank) return true;
    return false;
}

// The line for one record: a chart or a refusal. True for a chart.
class RowWorker {
public:
    RowWorker(const BatchColumns& columns, const PreciseEngine& precise, bool timeWindow, bool aspects,
              const BatchSettings* pictures = nullptr)
        : columns_(columns), precise_(precise), timeWindow_(timeWindow), aspects_(aspects), pictures_(pictures) {
        LoadFixedLists(state_);
    }

    bool Process(const CsvRecord& record, std::size_t row, std::string& out) {
        std::optional<std::string> refusal;
        atlas_ = {};
        if (!record.error.empty())
            refusal = record.error;
        else if (record.count != columns_.count)
            refusal = "The row has " + std::to_string(record.count) + " fields; " + std::to_string(columns_.count) +
                      " are expected";
        else
            refusal = BirthFromBatchRow(record, columns_, form_, birth_, atlas_);
        if (refusal) {
            writer_.AppendError(out, row, *refusal);
            return false;
        }
        // A fresh chart starts without a Moon sign; nothing else of the
        // previous row survives a calculation.
        state_.MoonSignName = {};
        if (const auto failed = RunChartCalculation(birth_, state_, wheel_, precise_, aspects_)) {
            writer_.AppendError(out, row, *failed);
            return false;
        }
        if (const auto failed = DrawPicture(record)) {
            writer_.AppendError(out, row, *failed);
            return false;
        }
        if (!timeWindow_) {
            writer_.AppendChart(out, row, state_, wheel_, atlas_);
            return true;
        }
        auto window = FindTimeWindow(state_.ChartMoment, precise_);
        if (const auto* refused = std::get_if<std::string>(&window)) {
            writer_.AppendError(out, row, *refused);
            return false;
        }
        writer_.AppendChart(out, row, state_, wheel_, atlas_, &std::get<TimeWindow>(window));
        return true;
    }

private:
    // The row's picture, when its picture column names a file.
    std::optional<std::string> DrawPicture(const CsvRecord& record) {
        if (!columns_.Has(kColPicture)) return std::nullopt;
        const std::string file(TrimBlanks(record.Field(columns_.at[kColPicture]), " \t"));
        if (file.empty()) return std::nullopt;
        if (!PictureFormatOfName(file))
            return "A picture's file name must end in .png, .svg or .jpg: " + QuoteUserText(file);
        if (!pictures_ || !pictures_->picture) return std::string("This build of the command draws no pictures");
        return pictures_->picture(state_, wheel_, file, pictures_->pictureWidth);
    }

    const BatchColumns& columns_;
    const PreciseEngine& precise_;
    bool timeWindow_;
    bool aspects_;
    const BatchSettings* pictures_;
    AtlasUse atlas_;
    ChartState state_;
    ChartWheel wheel_;
    BirthFormData form_;
    BirthData birth_;
    ChartJsonLineWriter writer_;
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

Outcome RunOnOneThread(CsvReader& reader, const BatchColumns& columns, const BatchSettings& settings, std::ostream& out,
                       Progress& progress) {
    Outcome outcome;
    RowWorker worker(columns, settings.precise, settings.timeWindow, settings.aspects, &settings);
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

// Rows travel in chunks. Each worker takes a free chunk, fills it from the
// file (one worker reads at a time, so chunks are numbered in reading order),
// turns its records into lines, and hands it back finished; whoever finishes
// the chunk that is due next puts it and any finished ones after it out in
// order and frees them. No thread only reads or only writes, so N workers
// keep N cores busy, and a chunk's records and lines stay with the core that
// made them. A fixed number of chunks bounds the memory.
struct Chunk {
    std::vector<CsvRecord> records = std::vector<CsvRecord>(kChunkRows);
    std::size_t count = 0;
    std::size_t firstRow = 0;
    std::size_t seq = 0;
    std::string output;
    bool anyRefused = false;
};

// Chunks waiting their turn, first in first out, in a ring that grows only
// when more chunks wait than ever before: no allocation per chunk.
class ChunkQueue {
public:
    bool empty() const { return size_ == 0; }
    Chunk* front() const { return ring_[head_]; }
    void pop_front() {
        head_ = (head_ + 1) % ring_.size();
        --size_;
    }
    void push_back(Chunk* chunk) {
        if (size_ == ring_.size()) {
            std::vector<Chunk*> larger(std::max<std::size_t>(8, 2 * ring_.size()));
            for (std::size_t k = 0; k < size_; ++k) larger[k] = ring_[(head_ + k) % ring_.size()];
            ring_.swap(larger);
            head_ = 0;
        }
        ring_[(head_ + size_) % ring_.size()] = chunk;
        ++size_;
    }

private:
    std::vector<Chunk*> ring_;
    std::size_t head_ = 0;
    std::size_t size_ = 0;
};

class Pipeline {
public:
    Pipeline(CsvReader& reader, const BatchColumns& columns, const PreciseEngine& precise, bool timeWindow,
             bool aspects, std::ostream& out, Progress& progress, int jobs)
        : reader_(reader),
          columns_(columns),
          precise_(precise),
          timeWindow_(timeWindow),
          aspects_(aspects),
          out_(out),
          progress_(progress),
          jobs_(jobs) {
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
        for (int j = 1; j < jobs_; ++j) workers.emplace_back([this] { Work(); });
        Work();
        for (auto& w : workers) w.join();
        return outcome_;
    }

private:
    void Work() {
        RowWorker worker(columns_, precise_, timeWindow_, aspects_);
        for (;;) {
            Chunk* chunk = TakeFreeChunk();
            if (!chunk) return;
            if (!Fill(*chunk)) {
                Release(chunk);
                return;
            }
            chunk->output.clear();
            chunk->anyRefused = false;
            for (std::size_t k = 0; k < chunk->count; ++k)
                if (!worker.Process(chunk->records[k], chunk->firstRow + k, chunk->output)) chunk->anyRefused = true;
            Finish(chunk);
        }
    }

    // A free chunk, or none when the file is read or writing failed.
    Chunk* TakeFreeChunk() {
        std::unique_lock lock(mutex_);
        freed_.wait(lock, [this] { return !free_.empty() || readerDone_ || stop_; });
        if (readerDone_ || stop_) return nullptr;
        Chunk* chunk = free_.front();
        free_.pop_front();
        return chunk;
    }

    void Release(Chunk* chunk) {
        std::lock_guard lock(mutex_);
        free_.push_back(chunk);
        freed_.notify_all();
    }

    // The next rows of the file into `chunk`, numbered in reading order.
    // False when no row is left.
    bool Fill(Chunk& chunk) {
        std::lock_guard reading(readMutex_);
        if (fileEnded_) return false;
        chunk.count = 0;
        chunk.firstRow = rowsRead_ + 1;
        while (chunk.count < kChunkRows && NextRow(reader_, chunk.records[chunk.count])) ++chunk.count;
        rowsRead_ += chunk.count;
        if (chunk.count < kChunkRows) {
            fileEnded_ = true;
            std::lock_guard lock(mutex_);
            readerDone_ = true;
            freed_.notify_all();
        }
        if (chunk.count == 0) return false;
        chunk.seq = chunksRead_++;
        return true;
    }

    // Hands in a finished chunk; the thread that finds the chunk due next
    // puts out every finished chunk in order from there.
    void Finish(Chunk* chunk) {
        std::unique_lock lock(mutex_);
        ready_[chunk->seq % ready_.size()] = chunk;
        if (writing_) return;
        writing_ = true;
        for (;;) {
            Chunk*& due = ready_[nextToWrite_ % ready_.size()];
            if (!due || due->seq != nextToWrite_) break;
            Chunk* const next = due;
            due = nullptr;
            lock.unlock();
            Put(*next);
            lock.lock();
            ++nextToWrite_;
            if (outcome_.writeFailed) stop_ = true;
            free_.push_back(next);
            freed_.notify_all();
        }
        writing_ = false;
    }

    // Called by one thread at a time (the one that set writing_).
    void Put(const Chunk& chunk) {
        if (!outcome_.writeFailed) {
            out_.write(chunk.output.data(), static_cast<std::streamsize>(chunk.output.size()));
            if (!out_) outcome_.writeFailed = true;
        }
        outcome_.rows += chunk.count;
        outcome_.anyRefused = outcome_.anyRefused || chunk.anyRefused;
        progress_.Update(outcome_.rows);
    }

    CsvReader& reader_;
    const BatchColumns& columns_;
    const PreciseEngine& precise_;
    bool timeWindow_;
    bool aspects_;
    std::ostream& out_;
    Progress& progress_;
    int jobs_;
    std::vector<std::unique_ptr<Chunk>> chunks_;

    std::mutex readMutex_;  // the file and the counts below it
    std::size_t rowsRead_ = 0;
    std::size_t chunksRead_ = 0;
    bool fileEnded_ = false;

    std::mutex mutex_;  // everything below
    std::condition_variable freed_;
    ChunkQueue free_;
    std::vector<Chunk*> ready_;  // finished chunks by seq modulo their number
    std::size_t nextToWrite_ = 0;
    bool writing_ = false;
    bool readerDone_ = false;
    bool stop_ = false;
    Outcome outcome_;  // written by the thread that writes, under writing_
};

}  // namespace

int RunBatch(std::istream& in, std::ostream& out, std::ostream& err, const BatchSettings& settings) {
    CsvReader reader(in);
    CsvRecord header;
    const bool found = reader.Next(header);
    if (reader.ReadFailed()) {
        err << "The batch file could not be read\n";
        return kExitRefused;
    }
    if (reader.Stopped()) {
        err << "The first line is longer than " << CsvReader::kDefaultMaxRecordBytes
            << " bytes. The first line must be the header " << kBatchHeader << '\n';
        return kExitRefused;
    }
    const auto read = ReadBatchHeader(header, found);
    if (const auto* refusal = std::get_if<std::string>(&read)) {
        err << *refusal << '\n';
        return kExitRefused;
    }
    const BatchColumns& columns = std::get<BatchColumns>(read);

    Progress progress(err, settings.progress);
    Outcome outcome;
    // Pictures are drawn on the calling thread, the one their library runs on.
    if (settings.jobs <= 1 || columns.Has(kColPicture)) {
        outcome = RunOnOneThread(reader, columns, settings, out, progress);
    } else {
        Pipeline pipeline(reader, columns, settings.precise, settings.timeWindow, settings.aspects, out, progress,
                          settings.jobs);
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
