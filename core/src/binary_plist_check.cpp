#include "binary_plist_check.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace jolstrand::detail {
namespace {

constexpr std::size_t maxDepth = 256;
constexpr std::uint64_t maxNodes = 100'000;
constexpr std::size_t trailerSize = 32;

// Reads big-endian unsigned integers of 1 to 8 bytes, refusing to read past the end.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  [[nodiscard]] std::optional<std::uint64_t> number(std::uint64_t at, std::uint64_t size) const {
    if (size == 0 || size > 8 || at > bytes_.size() || size > bytes_.size() - at) {
      return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::uint64_t i = 0; i < size; ++i) {
      value = (value << 8) | static_cast<unsigned char>(bytes_[at + i]);
    }
    return value;
  }

 private:
  std::string_view bytes_;
};

struct Layout {
  std::uint64_t offsetSize;
  std::uint64_t refSize;
  std::uint64_t objectCount;
  std::uint64_t top;
  std::uint64_t offsetTable;
};

// The references held by one object: none for scalars, the children of arrays, sets and
// dictionaries (keys and values).
struct Children {
  std::uint64_t first;  // where the references start
  std::uint64_t count;
};

std::optional<Children> childrenOf(const Reader& read, const Layout& layout, std::uint64_t object) {
  const auto offset =
      read.number(layout.offsetTable + object * layout.offsetSize, layout.offsetSize);
  if (!offset) return std::nullopt;
  const auto marker = read.number(*offset, 1);
  if (!marker) return std::nullopt;
  const std::uint64_t type = *marker >> 4;
  if (type != 0xA && type != 0xC && type != 0xD) return Children{0, 0};
  std::uint64_t count = *marker & 0xF;
  std::uint64_t first = *offset + 1;
  if (count == 0xF) {  // the count follows as an integer object
    const auto intMarker = read.number(first, 1);
    if (!intMarker || (*intMarker >> 4) != 0x1 || (*intMarker & 0xF) > 3) return std::nullopt;
    const std::uint64_t size = std::uint64_t{1} << (*intMarker & 0xF);
    const auto value = read.number(first + 1, size);
    if (!value) return std::nullopt;
    count = *value;
    first += 1 + size;
  }
  if (type == 0xD) {
    if (count > UINT64_MAX / 2) return std::nullopt;
    count *= 2;
  }
  if (count > UINT64_MAX / layout.refSize) return std::nullopt;
  return Children{first, count};
}

}  // namespace

bool isTameBinaryPlist(std::string_view bytes) {
  if (bytes.size() < 8 + trailerSize) return false;
  const Reader read(bytes);
  const std::uint64_t trailer = bytes.size() - trailerSize;
  const Layout layout{*read.number(trailer + 6, 1), *read.number(trailer + 7, 1),
                      *read.number(trailer + 8, 8), *read.number(trailer + 16, 8),
                      *read.number(trailer + 24, 8)};
  if (layout.offsetSize == 0 || layout.offsetSize > 8 || layout.refSize == 0 ||
      layout.refSize > 8 || layout.objectCount == 0 || layout.objectCount > bytes.size() ||
      layout.top >= layout.objectCount) {
    return false;
  }

  // Depth-first over the graph, each object walked once: nodes[o] is the size of o's expanded
  // tree once o is finished; an object met again while still open is a cycle.
  enum class State : std::uint8_t { unseen, open, finished };
  std::vector<State> state(layout.objectCount, State::unseen);
  std::vector<std::uint64_t> nodes(layout.objectCount, 0);
  struct Frame {
    std::uint64_t object;
    Children children;
    std::uint64_t next = 0;
    std::uint64_t size = 1;
  };
  std::vector<Frame> stack;
  const auto open = [&](std::uint64_t object) {
    const auto children = childrenOf(read, layout, object);
    if (!children || stack.size() >= maxDepth) return false;
    state[object] = State::open;
    stack.push_back({object, *children});
    return true;
  };
  if (!open(layout.top)) return false;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.children.count) {
      state[frame.object] = State::finished;
      nodes[frame.object] = frame.size;
      const std::uint64_t size = frame.size;
      stack.pop_back();
      if (!stack.empty()) {
        stack.back().size += size;
        if (stack.back().size > maxNodes) return false;
      }
      continue;
    }
    const auto child =
        read.number(frame.children.first + frame.next * layout.refSize, layout.refSize);
    ++frame.next;
    if (!child || *child >= layout.objectCount) return false;
    switch (state[*child]) {
      case State::open:
        return false;  // a cycle
      case State::finished:
        frame.size += nodes[*child];
        if (frame.size > maxNodes) return false;
        break;
      case State::unseen:
        if (!open(*child)) return false;
        break;
    }
  }
  return true;
}

}  // namespace jolstrand::detail
