#pragma once
// What the platform says about folders and items: the standard application and core-services
// locations, packages and display names. One implementation per platform.

#include <string>
#include <vector>

namespace jolstrand::detail {

enum class Domain { local, system, user };

/// The application folders of a domain, in the platform's order; the user's are under home.
[[nodiscard]] std::vector<std::string> applicationFolders(Domain domain, const std::string& home);

/// The system's core-services folders.
[[nodiscard]] std::vector<std::string> coreServicesFolders();

/// Whether the directory at path is a package (presented as a single file). Never on Linux.
[[nodiscard]] bool isPackage(const std::string& path);

/// The name the file browser shows for the item at path (valid UTF-8).
[[nodiscard]] std::string displayName(const std::string& path);

}  // namespace jolstrand::detail
