#include "lha/lzh_encoder.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "lha/bit_writer.h"
#include "lha/lzh_block_writer.h"
#include "lha/section_coder.h"

namespace tolvex::lha {
namespace {

// Sections are coded on their own: long enough that starting from fresh prices costs little,
// short enough that a member of a few MiB still gives every thread work.
constexpr std::size_t kSectionBytes = std::size_t{1} << 20;
constexpr unsigned kMostThreads = 8;
constexpr std::uint64_t kMostBytes = 0xFFFFFFFFu;

// Writes a stretch as one block, or as equal parts when it has more items than a block takes.
void write_stretch(LzhBlockWriter& blocks, const LzhItem* items, std::size_t count, std::size_t block_limit) {
  const std::size_t parts = (count + block_limit - 1) / block_limit;
  for (std::size_t k = 0; k < parts; ++k) {
    const std::size_t first = count * k / parts, last = count * (k + 1) / parts;
    blocks.write(items + first, last - first);
  }
}

void write_section(LzhBlockWriter& blocks, const SectionItems& section, std::size_t block_limit) {
  std::size_t from = 0;
  for (std::size_t to : section.stretch_ends) {
    write_stretch(blocks, section.items.data() + from, to - from, block_limit);
    from = to;
  }
}

// Codes and writes every section in turn on the calling thread.
void write_sections_here(const std::uint8_t* data, std::size_t size, int max_depth, LzhBlockWriter& blocks,
                         std::size_t block_limit) {
  SectionCoder coder(data, size, max_depth);
  SectionItems section;
  for (std::size_t start = 0; start < size; start += kSectionBytes) {
    coder.code(start, std::min(size, start + kSectionBytes), section);
    write_section(blocks, section, block_limit);
  }
}

// Sections handed to worker threads and written in order by the thread that calls write_all.
// Each worker takes the next section not yet taken; at most `slots` sections are coded ahead of
// the one being written, so the items held stay bounded however long the input.
class SectionPipeline {
 public:
  SectionPipeline(const std::uint8_t* data, std::size_t size, int max_depth, std::size_t workers)
      : data_(data),
        size_(size),
        max_depth_(max_depth),
        sections_((size + kSectionBytes - 1) / kSectionBytes),
        slots_(workers + 1) {
    workers_.reserve(workers);  // so that only a thread's own start can fail below
    for (std::size_t k = 0; k < workers; ++k) {
      try {
        workers_.emplace_back([this] { work(); });
      } catch (const std::system_error&) {
        break;  // fewer threads than asked for still do the work
      }
    }
  }
  SectionPipeline(const SectionPipeline&) = delete;
  SectionPipeline& operator=(const SectionPipeline&) = delete;
  ~SectionPipeline() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }

  // Writes every section in order; rethrows what a worker's coding threw.
  void write_all(LzhBlockWriter& blocks, std::size_t block_limit) {
    if (workers_.empty()) {
      // No thread could be started: code here.
      write_sections_here(data_, size_, max_depth_, blocks, block_limit);
      return;
    }
    for (std::size_t k = 0; k < sections_; ++k) {
      Slot& slot = slots_[k % slots_.size()];
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return slot.done; });
      }
      if (slot.failure) std::rethrow_exception(slot.failure);
      write_section(blocks, slot.items, block_limit);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slot.done = false;
        written_ = k + 1;
      }
      changed_.notify_all();
    }
  }

 private:
  struct Slot {
    SectionItems items;
    bool done = false;
    std::exception_ptr failure;
  };

  void code_section(SectionCoder& coder, std::size_t k, SectionItems& out) {
    const std::size_t start = k * kSectionBytes;
    coder.code(start, std::min(size_, start + kSectionBytes), out);
  }

  void work() {
    std::unique_ptr<SectionCoder> coder;
    for (;;) {
      std::size_t k;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || next_ == sections_ || next_ < written_ + slots_.size(); });
        if (stopping_ || next_ == sections_) return;
        k = next_++;
      }
      Slot& slot = slots_[k % slots_.size()];
      try {
        if (!coder) coder = std::make_unique<SectionCoder>(data_, size_, max_depth_);
        code_section(*coder, k, slot.items);
      } catch (...) {
        slot.failure = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slot.done = true;
      }
      changed_.notify_all();
    }
  }

  const std::uint8_t* data_;
  std::size_t size_;
  int max_depth_;
  std::size_t sections_;
  std::vector<Slot> slots_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t next_ = 0;     // the next section to take
  std::size_t written_ = 0;  // sections written so far
  bool stopping_ = false;
  std::vector<std::thread> workers_;  // last: started once everything they use exists
};

}  // namespace

std::vector<std::uint8_t> encode_lh5(const std::uint8_t* data, std::size_t size, const Lh5Options& options) {
  std::vector<std::uint8_t> out;
  append_lh5(data, size, out, options);
  return out;
}

void append_lh5(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out, const Lh5Options& options) {
  if (size == 0) return;
  if (size > kMostBytes) throw std::length_error("-lh5- input of 4 GiB or more");
  // Room for an input that does not compress (literals of about eight bits, and the tables),
  // so the output is never moved as it grows.
  out.reserve(out.size() + size + size / 16 + 64);
  BitWriter bits(out);
  LzhBlockWriter blocks(bits);
  const std::size_t block_limit = std::clamp<std::size_t>(options.block_symbols, 1, kLh5MaxBlockItems);
  const std::size_t sections = (size + kSectionBytes - 1) / kSectionBytes;
  // Each thread holds a section's tables and items (a few MiB), so even a large machine gets
  // no more than kMostThreads unless asked.
  const std::size_t threads = std::min<std::size_t>(
      sections, options.threads ? options.threads : std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads));
  if (threads <= 1) {
    // One thread: no pipeline, and no thread started for the small inputs that are most.
    write_sections_here(data, size, options.max_depth, blocks, block_limit);
  } else {
    SectionPipeline pipeline(data, size, options.max_depth, threads);
    pipeline.write_all(blocks, block_limit);
  }
  bits.flush();
}

}  // namespace tolvex::lha
