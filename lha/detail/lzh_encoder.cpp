#include "lha/detail/lzh_encoder.h"

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "lha/detail/bit_io.h"
#include "lha/detail/huffman.h"
#include "lha/detail/optimal_parser.h"

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

namespace {

constexpr int kCodeLengthSymbols = 19;
constexpr int kPositionCountBits = 4;
constexpr int kMaxCodeLength = 16;

}  // namespace

void LzhBlockWriter::write(const LzhItem* items, std::size_t count) {
  literal_freq_.fill(0);
  position_freq_.fill(0);
  // Symbols past the largest one used get no code; the per-symbol passes below stop there
  // (a block of literals alone never looks at the 254 match lengths).
  int literal_end = 0;
  for (const LzhItem* item = items; item != items + count; ++item) {
    ++literal_freq_[item->symbol];
    if (item->symbol >= literal_end) literal_end = item->symbol + 1;
    if (item->symbol >= 256) ++position_freq_[lh5_position_symbol(item->distance_code)];
  }
  literal_lengths_.fill(0);
  huffman_code_lengths(literal_freq_.data(), literal_end, kMaxCodeLength, literal_lengths_.data());
  huffman_code_lengths(position_freq_.data(), kLh5PositionSymbols, kMaxCodeLength, position_lengths_.data());
  int literal_single = single_symbol(literal_freq_.data(), literal_lengths_.data(), literal_end);
  int position_single = single_symbol(position_freq_.data(), position_lengths_.data(), kLh5PositionSymbols);

  out_.put(16, static_cast<std::uint32_t>(count));
  if (literal_single >= 0) {
    // Both tables in their one-symbol form: the code-length table is never used.
    out_.put(5, 0);
    out_.put(5, 0);
    out_.put(9, 0);
    out_.put(9, static_cast<std::uint32_t>(literal_single));
  } else {
    write_literal_table(literal_lengths_.data(), literal_end);
  }
  write_small_table(position_lengths_.data(), kLh5PositionSymbols, position_single, kPositionCountBits, -1);

  canonical_codes(literal_lengths_.data(), literal_end, literal_codes_.data());
  canonical_codes(position_lengths_.data(), kLh5PositionSymbols, position_codes_.data());
  for (const LzhItem* item = items; item != items + count; ++item) {
    out_.put(literal_lengths_[item->symbol], literal_codes_[item->symbol]);
    if (item->symbol < 256) continue;
    int p = lh5_position_symbol(item->distance_code);
    out_.put(position_lengths_[p], position_codes_[p]);
    if (p > 1) out_.put(p - 1, item->distance_code);  // the bits below the leading one
  }
}

// The symbol of a table with fewer than two used symbols (0 when none), else -1.
int LzhBlockWriter::single_symbol(const std::uint32_t* freq, const std::uint8_t* lengths, int symbol_count) {
  for (int s = 0; s < symbol_count; ++s) {
    if (lengths[s] != 0) return -1;
  }
  for (int s = 0; s < symbol_count; ++s) {
    if (freq[s] != 0) return s;
  }
  return 0;
}

// Lengths of the code-length or position table: count, then 3 bits per length, lengths of
// 7 and more as 7 followed by unary; the code-length table has a 2-bit zero run after entry 3.
void LzhBlockWriter::write_small_table(const std::uint8_t* lengths, int symbol_count, int single, int count_bits,
                                       int zero_run_after) {
  if (single >= 0) {
    out_.put(count_bits, 0);
    out_.put(count_bits, static_cast<std::uint32_t>(single));
    return;
  }
  int count = symbol_count;
  while (count > 0 && lengths[count - 1] == 0) --count;
  out_.put(count_bits, static_cast<std::uint32_t>(count));
  int i = 0;
  while (i < count) {
    int length = lengths[i++];
    if (length <= 6) out_.put(3, static_cast<std::uint32_t>(length));
    else out_.put(length - 3, (1u << (length - 3)) - 2);  // 111, then length-7 ones and a zero
    if (i == zero_run_after) {
      int zeros = 0;
      while (zeros < 3 && i + zeros < count && lengths[i + zeros] == 0) ++zeros;
      out_.put(2, static_cast<std::uint32_t>(zeros));
      i += zeros;
    }
  }
}

// Runs of zero lengths in the literal table are coded as: symbol 0 = one zero, symbol 1 +
// 4 bits = 3..18 zeros, symbol 2 + 9 bits = 20..531 zeros; other lengths as length + 2.
// Fills `tokens` (room for `count` tokens: a run never takes more tokens than zeros) and
// returns how many there are.
int LzhBlockWriter::tokenize(const std::uint8_t* lengths, int count, LengthToken* tokens) {
  int n = 0;
  int i = 0;
  while (i < count) {
    if (lengths[i] != 0) {
      tokens[n++] = {static_cast<std::uint8_t>(lengths[i] + 2), 0};
      ++i;
      continue;
    }
    int run = 0;
    while (i + run < count && lengths[i + run] == 0) ++run;
    i += run;
    if (run <= 2) {
      for (int k = 0; k < run; ++k) tokens[n++] = {0, 0};
    } else if (run <= 18) {
      tokens[n++] = {1, static_cast<std::uint16_t>(run - 3)};
    } else if (run == 19) {
      tokens[n++] = {0, 0};
      tokens[n++] = {1, 15};
    } else {
      tokens[n++] = {2, static_cast<std::uint16_t>(run - 20)};
    }
  }
  return n;
}

// `end` is past the last symbol that may have a length.
void LzhBlockWriter::write_literal_table(const std::uint8_t* lengths, int end) {
  int count = end;
  while (count > 0 && lengths[count - 1] == 0) --count;
  const int token_count = tokenize(lengths, count, tokens_.data());
  std::array<std::uint32_t, kCodeLengthSymbols> freq{};
  for (int t = 0; t < token_count; ++t) ++freq[tokens_[t].symbol];
  std::array<std::uint8_t, kCodeLengthSymbols> code_lengths;
  huffman_code_lengths(freq.data(), kCodeLengthSymbols, kMaxCodeLength, code_lengths.data());
  int single = single_symbol(freq.data(), code_lengths.data(), kCodeLengthSymbols);
  write_small_table(code_lengths.data(), kCodeLengthSymbols, single, 5, 3);
  std::array<std::uint16_t, kCodeLengthSymbols> codes;
  canonical_codes(code_lengths.data(), kCodeLengthSymbols, codes.data());
  out_.put(9, static_cast<std::uint32_t>(count));
  for (int k = 0; k < token_count; ++k) {
    const LengthToken& t = tokens_[k];
    out_.put(code_lengths[t.symbol], codes[t.symbol]);
    if (t.symbol == 1) out_.put(4, t.extra);
    else if (t.symbol == 2) out_.put(9, t.extra);
  }
}

}  // namespace tolvex::lha
