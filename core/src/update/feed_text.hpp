#pragma once
// The unsigned part of a feed and its items, without any signature check; the public readers
// verify first. Separate so that the parser can be fuzzed on its own.

#include <string_view>
#include <vector>

#include "jolstrand/update/checked.hpp"
#include "jolstrand/update/update_feed.hpp"

namespace jolstrand::detail {

/// The bytes before the feed's last signature block (all of them when it has none).
[[nodiscard]] std::string_view signedText(std::string_view feed);

/// The items of signed feed text in exactly the writer's form.
[[nodiscard]] Checked<std::vector<UpdateItem>> parseFeedText(std::string_view text);

}  // namespace jolstrand::detail
