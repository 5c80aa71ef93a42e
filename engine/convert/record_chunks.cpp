#include "engine/convert/record_chunks.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/convert/convert_stream.h"
#include "engine/error.h"
#include "engine/side_thread.h"

namespace trelmo::convert {
namespace {

constexpr std::size_t kChunkRecords = 128;
constexpr std::size_t kAhead = 8;  // chunks made ahead of the one the file waits for
constexpr unsigned kMostThreads = 4;

struct Chunk {
    std::string bytes;
    std::size_t made = 0;  // records in bytes, from the chunk's first
    bool ready = false;
};

// One thread's tools for making chunks.
class Maker {
public:
    Maker(const xml::StreamedSave& out, const Plan& plan, std::span<const std::string_view> records,
          const Cp932Decoder* cp932)
        : out_(out), writer_(plan, cp932), fields_(cp932), records_(records), fragment_(out.newFragment()) {}

    // Makes records first..last-1 until one fails or needs the full check;
    // `spare` is a buffer for the chunk's bytes. Never throws: what it could
    // not make, the calling thread writes.
    void make(std::size_t first, std::size_t last, Chunk& chunk, std::string spare) noexcept {
        chunk.bytes = std::move(spare);
        chunk.made = 0;
        if (!fragment_) return;
        std::size_t kept = 0;
        std::size_t i = first;
        try {
            for (; i < last; ++i) {
                fields_.reset(records_[i]);
                if (!writer_.writeUnchecked(fragment_->writer(), fields_)) break;
                kept = fragment_->size();
            }
            fragment_->take(kept, chunk.bytes);
        } catch (...) {
            // The calling thread writes the record again and meets the error
            // itself; the fragment may hold part of it, so a new one goes on.
            try {
                fragment_->take(kept, chunk.bytes);
                fragment_ = out_.newFragment();
            } catch (...) {
                fragment_.reset();
                chunk.bytes.clear();
                i = first;
            }
        }
        chunk.made = i - first;
    }

private:
    const xml::StreamedSave& out_;
    RecordWriter writer_;
    RecordFields fields_;
    std::span<const std::string_view> records_;
    std::unique_ptr<xml::Fragment> fragment_;
};

class ChunkQueue {
public:
    ChunkQueue(std::size_t records, std::size_t perChunk)
        : records_(records), perChunk_(perChunk), chunks_((records + perChunk - 1) / perChunk) {}

    std::size_t count() const { return chunks_.size(); }
    std::size_t first(std::size_t c) const { return c * perChunk_; }
    std::size_t last(std::size_t c) const { return std::min(records_, first(c) + perChunk_); }
    Chunk& operator[](std::size_t c) { return chunks_[c]; }

    // A helper thread: makes chunks until there are none left or stop().
    void help(Maker& maker) {
        for (;;) {
            std::size_t c;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stopped_ || next_ >= count() || next_ < emitted_ + kAhead; });
                if (stopped_ || next_ >= count()) return;
                c = next_++;
            }
            makeAndTell(maker, c);
        }
    }

    // The calling thread: makes chunks itself while chunk e is not ready.
    void await(Maker& maker, std::size_t e) {
        std::unique_lock lock(mutex_);
        while (!chunks_[e].ready) {
            if (next_ < count() && next_ < e + kAhead) {
                const std::size_t c = next_++;
                lock.unlock();
                makeAndTell(maker, c);
                lock.lock();
            } else {
                changed_.wait(lock);
            }
        }
    }

    // Chunk e is in the file: its buffer goes back for reuse.
    void emitted(std::size_t e) {
        {
            const std::lock_guard lock(mutex_);
            emitted_ = e + 1;
            chunks_[e].bytes.clear();
            spares_.push_back(std::move(chunks_[e].bytes));
        }
        changed_.notify_all();
    }

    void stop() {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }

private:
    void makeAndTell(Maker& maker, std::size_t c) {
        std::string spare;
        {
            const std::lock_guard lock(mutex_);
            if (!spares_.empty()) {
                spare = std::move(spares_.back());
                spares_.pop_back();
            }
        }
        maker.make(first(c), last(c), chunks_[c], std::move(spare));
        {
            const std::lock_guard lock(mutex_);
            chunks_[c].ready = true;
        }
        changed_.notify_all();
    }

    const std::size_t records_;
    const std::size_t perChunk_;
    std::vector<Chunk> chunks_;  // each written by the thread that claimed it, read once ready
    std::vector<std::string> spares_;  // buffers of chunks already in the file
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;     // the next chunk to claim
    std::size_t emitted_ = 0;  // chunks in the file
    bool stopped_ = false;
};

// The helper threads, stopped and joined on every way out.
class Helpers {
public:
    Helpers(ChunkQueue& queue, unsigned count, const xml::StreamedSave& out, const Plan& plan,
            std::span<const std::string_view> records, const Cp932Decoder* cp932)
        : queue_(queue) {
        threads_.reserve(count);  // so that only starting a thread can fail below
        try {
            for (unsigned k = 0; k < count; ++k) {
                threads_.emplace_back([&queue, &out, &plan, records, cp932] {
                    try {
                        Maker maker(out, plan, records, cp932);
                        queue.help(maker);
                    } catch (...) {
                        // No tools for this thread: the others make its share.
                    }
                });
            }
        } catch (const std::system_error&) {
            // No more threads: the calling thread makes what they do not.
            countThreadNotStarted();
        }
    }
    ~Helpers() {
        queue_.stop();
        for (std::thread& thread : threads_) thread.join();
    }
    Helpers(const Helpers&) = delete;
    Helpers& operator=(const Helpers&) = delete;

private:
    ChunkQueue& queue_;
    std::vector<std::thread> threads_;
};

std::atomic<unsigned long> rewritten{0};

unsigned threadCount() { return std::clamp(std::thread::hardware_concurrency(), 1U, kMostThreads); }

}  // namespace

unsigned long chunksWrittenAgain() { return rewritten.load(); }

void writeRecords(xml::StreamedSave& out, const Plan& plan, std::span<const std::string_view> records,
                  std::size_t skipped, const Cp932Decoder* cp932, xml::ContentCheck& check,
                  const RecordSteps& steps) {
    RecordWriter serial(plan);
    RecordFields fields;
    LargeBuffer decoded;  // a code page 932 record's text
    const auto writeOne = [&](std::size_t i) {
        steps.before(i);
        std::string_view record = records[i];
        if (cp932) {
            std::size_t length = 0;
            if (cp932->decode(record, decoded, length) != std::string_view::npos) {
                throw RuntimeError(err::BadFileData, "CSV ファイルに Shift_JIS (CP932) として読めない文字があります。");
            }
            record = std::string_view(decoded.data(), length);
        }
        fields.reset(record);
        serial.write(out.contentWriter(), fields, check, skipped + i);
        steps.after(i);
    };
    const unsigned threads = threadCount();
    ChunkQueue queue(records.size(), kChunkRecords);
    if (threads < 2 || queue.count() < 2 || !out.takesFragments()) {
        for (std::size_t i = 0; i < records.size(); ++i) writeOne(i);
        return;
    }
    Maker maker(out, plan, records, cp932);
    Helpers helpers(queue, threads - 1, out, plan, records, cp932);
    for (std::size_t e = 0; e < queue.count(); ++e) {
        queue.await(maker, e);
        Chunk& chunk = queue[e];
        const std::size_t made = queue.first(e) + chunk.made;
        for (std::size_t i = queue.first(e); i < made; ++i) {
            steps.before(i);
            steps.after(i);
        }
        out.contentBytes(chunk.bytes);
        if (made < queue.last(e)) rewritten.fetch_add(1, std::memory_order_relaxed);
        for (std::size_t i = made; i < queue.last(e); ++i) writeOne(i);
        queue.emitted(e);
    }
}

}  // namespace trelmo::convert
