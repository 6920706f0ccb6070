#pragma once
// Where the launcher's catalogue comes from: one complete scan, and the folders whose changes
// call for another. The launcher scans through ScannerCatalogue; tests give their own.

#include <string>
#include <vector>

#include "jolstrand/app_entry.hpp"
#include "jolstrand/app_scanner.hpp"

namespace jolstrand {

class CatalogueSource {
 public:
  virtual ~CatalogueSource() = default;
  /// The catalogue as it is now. Runs on the main thread at start and on the scan queue after.
  [[nodiscard]] virtual std::vector<AppEntry> scan() const = 0;
  /// The folders to watch for changes.
  [[nodiscard]] virtual std::vector<std::string> watchPaths() const = 0;
};

/// The catalogue an AppScanner finds. The scanner is never changed after construction, so
/// scans on any thread read the same configuration.
class ScannerCatalogue final : public CatalogueSource {
 public:
  explicit ScannerCatalogue(AppScanner scanner) : scanner_(std::move(scanner)) {}
  [[nodiscard]] std::vector<AppEntry> scan() const override { return scanner_.scan(); }
  [[nodiscard]] std::vector<std::string> watchPaths() const override {
    return scanner_.watchPaths();
  }

 private:
  const AppScanner scanner_;
};

}  // namespace jolstrand
