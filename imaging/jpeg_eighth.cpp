// Baseline JPEG at 1/8 scale from the DC coefficients: the markers are walked, the scan's data is
// freed of its stuffed bytes and cut at its restart markers, and each block's Huffman codes are read
// with one table look-up a code, the AC codes only to find where the next block begins.
#include "imaging/jpeg_eighth.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imaging/image_buffer.h"

namespace {

// Codes of up to this many bits are read with one look-up; longer ones (rare) bit by bit after it.
constexpr int kLookBits = 10;
// AC codes are stepped over several at a time by their next kStepBits bits (13 measured faster than
// 11 and 12 and as fast as 14 on a 24-megapixel photo, with half the table of 14).
constexpr int kStepBits = 13;

// The most blocks one MCU may hold, and the most bits one block may take (a 16-bit code and 15 value
// bits for each of 64 coefficients).
constexpr int kMaxBlocksInMcu = 10;
// libjpeg's largest width and height.
constexpr int kMaxDimension = 65500;
constexpr int kMaxBitsInBlock = 64 * 31;
// Zero bytes after the scan's data: reading runs on into them for at most one MCU before the
// position is checked, so they are never read past.
constexpr std::size_t kTailBytes = (kMaxBlocksInMcu * kMaxBitsInBlock) / 8 + 64;

// How an AC step is packed in 16 bits: the bits it takes (0-4), how far it moves in the block (5-11)
// and whether it ends the block (12). 0 for none.
constexpr std::uint16_t kEndOfBlock = 1 << 12;
int StepBits(std::uint16_t step) { return step & 31; }
int StepMove(std::uint16_t step) { return (step >> 5) & 127; }
std::uint16_t Step(int bits, int move, bool ends) {
  return static_cast<std::uint16_t>(bits | move << 5 | (ends ? kEndOfBlock : 0));
}

struct HuffmanTable {
  bool defined = false;
  // The largest code of each length (-1 when none; [17] ends the search), and the index of the first
  // symbol of each length minus that length's first code.
  std::array<std::int32_t, 18> max_code{};
  std::array<std::int32_t, 17> value_offset{};
  std::array<std::uint8_t, 256> symbols{};
  // By the next kLookBits bits, for codes that fit in them (0 for longer ones): length << 8 | symbol,
  std::array<std::uint16_t, 1 << kLookBits> by_prefix{};
  // and in AC tables the step over that one coefficient,
  std::array<std::uint16_t, 1 << kLookBits> ac_step{};
  // and by the next kStepBits bits the step over all the whole coefficients, codes and values, that
  // fit in them, up to an end of block (which is taken too) and a move of at most 63.
  std::array<std::uint16_t, 1 << kStepBits> ac_steps{};
};

struct Tables {
  std::array<HuffmanTable, 4> dc;
  std::array<HuffmanTable, 4> ac;
};

// The step over one AC coefficient of a code of length bits.
std::uint16_t AcStep(int length, int symbol) {
  const int run = symbol >> 4;
  const int size = symbol & 15;
  if (size != 0) return Step(length + size, run + 1, false);
  if (run == 15) return Step(length, 16, false);  // sixteen zeros
  return Step(length, 0, true);
}

// The steps over as many whole coefficients as fit in kStepBits bits, for every value of them.
void BuildSteps(HuffmanTable* table) {
  constexpr int kLookMask = (1 << kLookBits) - 1;
  for (int prefix = 0; prefix < (1 << kStepBits); ++prefix) {
    int used = 0;
    int moved = 0;
    bool ended = false;
    while (!ended && used < kStepBits) {
      const int rest = kStepBits - used;
      const int look = rest >= kLookBits ? (prefix >> (rest - kLookBits)) & kLookMask
                                         : (prefix << (kLookBits - rest)) & kLookMask;
      const std::uint16_t step = table->ac_step[look];
      // Past the last rest bits the look-up saw zeros: the code and its value must fit in rest.
      if (step == 0 || StepBits(step) > rest || moved + StepMove(step) > 63) break;
      used += StepBits(step);
      moved += StepMove(step);
      ended = (step & kEndOfBlock) != 0;
    }
    table->ac_steps[prefix] = used == 0 ? 0 : Step(used, moved, ended);
  }
}

// Canonical codes from the counts of each length; false for a table whose codes do not fit their
// lengths (the all-ones code of a length stays unused, as the standard has it).
bool BuildTable(const std::uint8_t* counts, const std::uint8_t* values, int total, bool ac,
                HuffmanTable* table) {
  *table = HuffmanTable();
  // A DC value has at most 15 bits.
  if (!ac && std::any_of(values, values + total, [](std::uint8_t size) { return size > 15; })) return false;
  std::copy(values, values + total, table->symbols.begin());
  std::int32_t code = 0;
  int index = 0;
  for (int length = 1; length <= 16; ++length) {
    const int count = counts[length - 1];
    table->value_offset[length] = index - code;
    for (int i = 0; i < count; ++i, ++index, ++code) {
      if (length <= kLookBits) {
        const int first = code << (kLookBits - length);
        const int span = 1 << (kLookBits - length);
        const int symbol = values[index];
        std::fill_n(table->by_prefix.begin() + first, span, static_cast<std::uint16_t>(length << 8 | symbol));
        if (ac) std::fill_n(table->ac_step.begin() + first, span, AcStep(length, symbol));
      }
    }
    table->max_code[length] = count > 0 ? code - 1 : -1;
    if (code >= (std::int32_t{1} << length)) return false;
    code <<= 1;
  }
  table->max_code[17] = INT32_MAX;
  if (ac) BuildSteps(table);
  table->defined = true;
  return true;
}

// The symbol of a code longer than kLookBits at the top of bits, and its length; -1 for bits that
// are no code of the table.
int LongSymbol(const HuffmanTable& table, std::uint64_t bits, int* length) {
  for (int l = kLookBits + 1; l <= 16; ++l) {
    const auto code = static_cast<std::int32_t>(bits >> (64 - l));
    if (code <= table.max_code[l]) {
      const std::int32_t index = table.value_offset[l] + code;
      if (index < 0 || index >= 256) return -1;
      *length = l;
      return table.symbols[index];
    }
  }
  return -1;
}

// A coefficient's value from its size category and the bits that follow the code.
int Extend(std::uint32_t bits, int size) {
  if (size == 0) return 0;
  const auto value = static_cast<int>(bits);
  return value < (1 << (size - 1)) ? value - (1 << size) + 1 : value;
}

struct Component {
  int id = 0;
  int h = 1;  // sampling factors
  int v = 1;
  int quant = 0;  // quantisation table
  int dc_table = 0;
  int ac_table = 0;
  int blocks_wide = 0;  // blocks decoded a row, padding included
  int blocks_high = 0;
  std::vector<std::int16_t> dc;  // the DC coefficient of every block, row by row
};

struct Frame {
  int width = 0;
  int height = 0;
  std::vector<Component> components;
  int h_max = 1;
  int v_max = 1;
};

// One stretch of scan data between restart markers, as offsets into the unstuffed bytes.
struct Segment {
  std::size_t begin = 0;
  std::size_t end = 0;
};

int ReadU16(const std::uint8_t* at) { return at[0] << 8 | at[1]; }

// The scan's data from start, with each stuffed 0xFF 0x00 turned back into 0xFF, cut into segments at
// its restart markers (which must count 0..7 in turn); kTailBytes zero bytes follow. False when the
// data ends without a marker or the scan ends on anything but EOI.
bool Unstuff(const std::uint8_t* data, std::size_t size, std::size_t start, std::vector<std::uint8_t>* out,
             std::vector<Segment>* segments) {
  out->resize(size - start + kTailBytes);
  std::uint8_t* to = out->data();
  std::size_t at = start;
  Segment segment;
  int next_restart = 0;
  for (;;) {
    const void* found = std::memchr(data + at, 0xFF, size - at);
    const std::size_t ff =
        found != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - data) : size;
    std::memcpy(to, data + at, ff - at);
    to += ff - at;
    at = ff;
    if (at + 1 >= size) return false;  // no end marker
    std::size_t marker_at = at + 1;
    while (marker_at < size && data[marker_at] == 0xFF) ++marker_at;  // fill bytes
    if (marker_at >= size) return false;
    const std::uint8_t marker = data[marker_at];
    at = marker_at + 1;
    if (marker == 0x00) {
      if (marker_at != ff + 1) return false;  // fill bytes inside the data
      *to++ = 0xFF;
      continue;
    }
    segment.end = static_cast<std::size_t>(to - out->data());
    segments->push_back(segment);
    segment.begin = segment.end;
    if (marker == 0xD9) break;
    if (marker != 0xD0 + next_restart) return false;
    next_restart = (next_restart + 1) & 7;
  }
  std::fill_n(to, kTailBytes, 0);
  out->resize(static_cast<std::size_t>(to - out->data()) + kTailBytes);
  return true;
}

// Reads the unstuffed data most significant bit first, 64 bits at a time.
class BitReader {
 public:
  explicit BitReader(const std::uint8_t* bytes) : bytes_(bytes) {}
  void Restart(std::size_t at) {
    at_ = at;
    bits_ = 0;
    count_ = 0;
    Refill();
  }
  // Leaves at least 56 bits to read.
  void Refill() {
    std::uint64_t word;
    std::memcpy(&word, bytes_ + at_, 8);
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    bits_ |= word >> count_;
    at_ += (63 - count_) >> 3;
    count_ |= 56;
  }
  std::uint64_t Peek() const { return bits_; }
  void Skip(int n) {
    bits_ <<= n;
    count_ -= n;
  }
  std::uint32_t Take(int n) {
    if (n == 0) return 0;
    const auto value = static_cast<std::uint32_t>(bits_ >> (64 - n));
    Skip(n);
    return value;
  }
  // Bits read so far from the start of the unstuffed data.
  std::size_t Position() const { return at_ * 8 - static_cast<std::size_t>(count_); }

 private:
  const std::uint8_t* bytes_;
  std::size_t at_ = 0;
  std::uint64_t bits_ = 0;
  int count_ = 0;
};

// Decodes one block's DC difference and steps over its AC codes; false for a code not in a table.
inline bool DecodeBlock(BitReader& reader, const HuffmanTable& dc, const HuffmanTable& ac, int* difference) {
  reader.Refill();
  int length = 0;
  int size = 0;
  const std::uint16_t entry = dc.by_prefix[reader.Peek() >> (64 - kLookBits)];
  if (entry != 0) {
    length = entry >> 8;
    size = entry & 0xFF;
  } else {
    size = LongSymbol(dc, reader.Peek(), &length);
    if (size < 0) return false;
  }
  reader.Skip(length);
  *difference = Extend(reader.Take(size), size);
  for (int k = 1; k < 64;) {
    reader.Refill();
    // Several coefficients at once, unless the block might end among them.
    const std::uint16_t steps = ac.ac_steps[reader.Peek() >> (64 - kStepBits)];
    if (steps != 0 && k + StepMove(steps) < 64) {
      reader.Skip(StepBits(steps));
      if (steps & kEndOfBlock) break;
      k += StepMove(steps);
      continue;
    }
    std::uint16_t step = ac.ac_step[reader.Peek() >> (64 - kLookBits)];
    if (step == 0) {
      const int symbol = LongSymbol(ac, reader.Peek(), &length);
      if (symbol < 0) return false;
      step = AcStep(length, symbol);
    }
    reader.Skip(StepBits(step));
    if (step & kEndOfBlock) break;
    k += StepMove(step);
  }
  return true;
}

// Decodes every MCU of the scan into the components' DC planes.
bool DecodeScan(Frame& frame, const Tables& tables, int restart_interval,
                const std::vector<std::uint8_t>& bytes, const std::vector<Segment>& segments) {
  const bool interleaved = frame.components.size() > 1;
  int mcus_wide = 0;
  int mcus_high = 0;
  if (interleaved) {
    mcus_wide = (frame.width + 8 * frame.h_max - 1) / (8 * frame.h_max);
    mcus_high = (frame.height + 8 * frame.v_max - 1) / (8 * frame.v_max);
  } else {
    // A lone component is coded block by block over its own size.
    Component& only = frame.components[0];
    mcus_wide = ((frame.width * only.h + frame.h_max - 1) / frame.h_max + 7) / 8;
    mcus_high = ((frame.height * only.v + frame.v_max - 1) / frame.v_max + 7) / 8;
  }
  std::size_t blocks = 0;
  for (Component& c : frame.components) {
    c.blocks_wide = interleaved ? mcus_wide * c.h : mcus_wide;
    c.blocks_high = interleaved ? mcus_high * c.v : mcus_high;
    blocks += static_cast<std::size_t>(c.blocks_wide) * static_cast<std::size_t>(c.blocks_high);
  }
  // Each block takes two bits at least (a DC code and an end of block): a frame its data cannot
  // hold is refused before its planes are allocated.
  if (!segments.empty() && segments.back().end * 8 < 2 * blocks) return false;
  for (Component& c : frame.components) {
    c.dc.resize(static_cast<std::size_t>(c.blocks_wide) * static_cast<std::size_t>(c.blocks_high));
  }
  const std::int64_t mcus = std::int64_t{mcus_wide} * mcus_high;
  const std::int64_t per_segment = restart_interval > 0 ? restart_interval : mcus;
  if (static_cast<std::int64_t>(segments.size()) != (mcus + per_segment - 1) / per_segment) return false;
  BitReader reader(bytes.data());
  std::array<int, 4> predictions{};
  std::size_t segment = 0;
  std::int64_t left_in_segment = 0;
  std::size_t segment_end_bits = 0;
  for (int my = 0; my < mcus_high; ++my) {
    for (int mx = 0; mx < mcus_wide; ++mx) {
      if (left_in_segment == 0) {
        if (segment > 0 && reader.Position() > segment_end_bits) return false;
        reader.Restart(segments[segment].begin);
        segment_end_bits = segments[segment].end * 8;
        ++segment;
        left_in_segment = per_segment;
        predictions.fill(0);
      }
      --left_in_segment;
      for (std::size_t ci = 0; ci < frame.components.size(); ++ci) {
        Component& c = frame.components[ci];
        const int h = interleaved ? c.h : 1;
        const int v = interleaved ? c.v : 1;
        for (int by = 0; by < v; ++by) {
          std::int16_t* row = c.dc.data() + static_cast<std::size_t>(my * v + by) * c.blocks_wide + mx * h;
          for (int bx = 0; bx < h; ++bx) {
            int difference = 0;
            if (!DecodeBlock(reader, tables.dc[c.dc_table], tables.ac[c.ac_table], &difference)) return false;
            const int value = predictions[ci] + difference;
            if (value < INT16_MIN || value > INT16_MAX) return false;
            predictions[ci] = value;
            row[bx] = static_cast<std::int16_t>(value);
          }
        }
      }
      if (reader.Position() > segment_end_bits) return false;
    }
  }
  return true;
}

std::uint8_t Clamp(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// The frame's pixels from the DC planes: each DC the mean of its block, YCbCr turned to RGB as JFIF has it.
QImage Pixels(const Frame& frame, const std::array<std::array<int, 64>, 4>& quant) {
  const int width = (frame.width + 7) / 8;
  const int height = (frame.height + 7) / 8;
  QImage image = NewImage(width, height, QImage::Format_RGB32);
  if (image.isNull()) return image;
  const auto sample = [&](const Component& c, int x, int y) {
    const int bx = x * c.h / frame.h_max;
    const int by = y * c.v / frame.v_max;
    const int dc = c.dc[static_cast<std::size_t>(by) * c.blocks_wide + bx];
    return Clamp(((dc * quant[c.quant][0] + 4) >> 3) + 128);
  };
  constexpr int kScale = 16;
  constexpr int kHalf = 1 << (kScale - 1);
  const auto fix = [](double value) { return static_cast<int>(value * (1 << kScale) + 0.5); };
  const int cr_r = fix(1.402);
  const int cb_b = fix(1.772);
  const int cr_g = fix(0.71414);
  const int cb_g = fix(0.34414);
  for (int y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    if (frame.components.size() == 1) {
      for (int x = 0; x < width; ++x) {
        const int grey = sample(frame.components[0], x, y);
        out[x] = qRgb(grey, grey, grey);
      }
      continue;
    }
    for (int x = 0; x < width; ++x) {
      const int luma = sample(frame.components[0], x, y);
      const int cb = sample(frame.components[1], x, y) - 128;
      const int cr = sample(frame.components[2], x, y) - 128;
      const int r = luma + ((cr_r * cr + kHalf) >> kScale);
      const int g = luma + ((-cb_g * cb - cr_g * cr + kHalf) >> kScale);
      const int b = luma + ((cb_b * cb + kHalf) >> kScale);
      out[x] = qRgb(Clamp(r), Clamp(g), Clamp(b));
    }
  }
  return image;
}

QImage Decode(const std::uint8_t* data, std::size_t size) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return QImage();
  Frame frame;
  bool have_frame = false;
  bool jfif = false;
  const auto tables = std::make_unique<Tables>();
  std::array<std::array<int, 64>, 4> quant{};
  std::array<bool, 4> quant_defined{};
  int restart_interval = 0;
  std::size_t at = 2;
  for (;;) {
    if (at + 4 > size || data[at] != 0xFF) return QImage();
    while (at + 4 <= size && data[at + 1] == 0xFF) ++at;  // fill bytes
    if (at + 4 > size) return QImage();
    const std::uint8_t marker = data[at + 1];
    const std::size_t length = static_cast<std::size_t>(ReadU16(data + at + 2));
    if (length < 2 || at + 2 + length > size) return QImage();
    const std::uint8_t* body = data + at + 4;
    const std::size_t body_size = length - 2;
    const std::size_t next = at + 2 + length;
    switch (marker) {
      case 0xC0:    // baseline
      case 0xC1: {  // extended sequential, Huffman
        if (have_frame || body_size < 6 || body[0] != 8) return QImage();
        frame.height = ReadU16(body + 1);
        frame.width = ReadU16(body + 3);
        const int count = body[5];
        if (frame.width == 0 || frame.height == 0 || frame.width > kMaxDimension ||
            frame.height > kMaxDimension || (count != 1 && count != 3))
          return QImage();
        if (body_size != 6 + 3 * static_cast<std::size_t>(count)) return QImage();
        for (int i = 0; i < count; ++i) {
          Component c;
          c.id = body[6 + 3 * i];
          c.h = body[7 + 3 * i] >> 4;
          c.v = body[7 + 3 * i] & 15;
          c.quant = body[8 + 3 * i];
          if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || c.quant > 3) return QImage();
          for (const Component& other : frame.components) {
            if (other.id == c.id) return QImage();
          }
          frame.components.push_back(c);
        }
        int blocks_in_mcu = 0;
        for (const Component& c : frame.components) {
          frame.h_max = std::max(frame.h_max, c.h);
          frame.v_max = std::max(frame.v_max, c.v);
          blocks_in_mcu += c.h * c.v;
        }
        if (count > 1 && blocks_in_mcu > kMaxBlocksInMcu) return QImage();
        for (const Component& c : frame.components) {
          if (frame.h_max % c.h != 0 || frame.v_max % c.v != 0) return QImage();
        }
        if (count == 3 && !jfif && frame.components[0].id == 'R' && frame.components[1].id == 'G' &&
            frame.components[2].id == 'B')
          return QImage();
        have_frame = true;
        break;
      }
      case 0xC4: {  // Huffman tables
        std::size_t p = 0;
        while (p < body_size) {
          if (body_size - p < 17) return QImage();
          const int table_class = body[p] >> 4;
          const int id = body[p] & 15;
          if (table_class > 1 || id > 3) return QImage();
          int total = 0;
          for (int i = 0; i < 16; ++i) total += body[p + 1 + i];
          if (total > 256 || body_size - p - 17 < static_cast<std::size_t>(total)) return QImage();
          HuffmanTable& table = table_class == 0 ? tables->dc[id] : tables->ac[id];
          if (!BuildTable(body + p + 1, body + p + 17, total, table_class == 1, &table)) return QImage();
          p += 17 + static_cast<std::size_t>(total);
        }
        break;
      }
      case 0xDB: {  // quantisation tables
        std::size_t p = 0;
        while (p < body_size) {
          const int precision = body[p] >> 4;
          const int id = body[p] & 15;
          const std::size_t bytes = precision == 0 ? 64 : 128;
          if (precision > 1 || id > 3 || body_size - p - 1 < bytes) return QImage();
          for (int i = 0; i < 64; ++i) {
            quant[id][i] = precision == 0 ? body[p + 1 + i] : ReadU16(body + p + 1 + 2 * i);
          }
          quant_defined[id] = true;
          p += 1 + bytes;
        }
        break;
      }
      case 0xDD:  // restart interval
        if (body_size != 2) return QImage();
        restart_interval = ReadU16(body);
        break;
      case 0xE0:
        if (body_size >= 5 && std::memcmp(body, "JFIF\0", 5) == 0) jfif = true;
        break;
      case 0xEE:  // Adobe's colour transform flag: left to the general decoder
        if (body_size >= 5 && std::memcmp(body, "Adobe", 5) == 0) return QImage();
        break;
      case 0xDA: {  // the scan
        if (!have_frame || body_size < 1) return QImage();
        const std::size_t count = body[0];
        if (count != frame.components.size() || body_size != 4 + 2 * count) return QImage();
        for (std::size_t i = 0; i < count; ++i) {
          Component& c = frame.components[i];
          if (body[1 + 2 * i] != c.id) return QImage();
          c.dc_table = body[2 + 2 * i] >> 4;
          c.ac_table = body[2 + 2 * i] & 15;
          if (c.dc_table > 3 || c.ac_table > 3 || !tables->dc[c.dc_table].defined ||
              !tables->ac[c.ac_table].defined || !quant_defined[c.quant])
            return QImage();
        }
        const std::uint8_t* tail = body + 1 + 2 * count;
        if (tail[0] != 0 || tail[1] != 63 || tail[2] != 0) return QImage();  // one full sequential scan
        std::vector<std::uint8_t> bytes;
        std::vector<Segment> segments;
        if (!Unstuff(data, size, next, &bytes, &segments)) return QImage();
        if (!DecodeScan(frame, *tables, restart_interval, bytes, segments)) return QImage();
        return Pixels(frame, quant);
      }
      default:
        // Application data and comments are skipped; any other marker (another coding, DNL, a
        // second SOI) goes to the general decoder.
        if (!((marker >= 0xE1 && marker <= 0xEF) || marker == 0xFE)) return QImage();
        break;
    }
    at = next;
  }
}

}  // namespace

QImage DecodeJpegEighth(QByteArrayView data) {
  try {
    return Decode(reinterpret_cast<const std::uint8_t*>(data.data()), static_cast<std::size_t>(data.size()));
  } catch (const std::bad_alloc&) {
    return QImage();
  }
}
