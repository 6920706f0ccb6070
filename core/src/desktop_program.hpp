#pragma once
// The name of the program a desktop entry's command line runs, as the user knows it. Many lines
// run a program that only starts another one: env (with its settings), a shell with a script
// (sh -c), flatpak run and snap run, pkexec, nice and the like, or an opener of another entry or
// file (gtk-launch, xdg-open). Such a launcher is not a name of the application; where the line
// says what it starts (the program after env's settings, flatpak's --command), that is.

#include <span>
#include <string>

namespace jolstrand::detail {

/// The name (without folders) of the program the words of a command line start; empty when only
/// a launcher is named and what it starts cannot be told.
[[nodiscard]] std::string programName(std::span<const std::string> words);

}  // namespace jolstrand::detail
