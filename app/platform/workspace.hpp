#pragma once
// What the launcher asks of the desktop: open an application, reveal a file, open a web
// address, and an application's icon. One implementation per platform; tests use a fake.

#include <QImage>
#include <QUrl>
#include <memory>
#include <string>

#include "jolstrand/icon_theme.hpp"

namespace jolstrand {

class Workspace {
 public:
  virtual ~Workspace() = default;

  /// Opens the application at path, bringing it to the front; activationToken (may be empty,
  /// see activation_token.hpp) lets it take the focus. Returns at once; a failure is logged as
  /// "Jolstrand: couldn't open PATH: ERROR". Main thread.
  virtual void openApplication(const std::string& path, const std::string& activationToken) = 0;

  /// Shows the file in the desktop's file manager, selected, with the same kind of token.
  /// Main thread.
  virtual void reveal(const std::string& path, const std::string& activationToken) = 0;

  /// Opens a web address in the default browser. Main thread.
  virtual void openURL(const QUrl& url) = 0;

  /// The application's icon, `points` square at the given device pixel ratio: its own, else a
  /// generic application icon. Any thread.
  [[nodiscard]] virtual QImage icon(const std::string& path, int points, qreal pixelRatio) = 0;
};

/// What the workspace takes from the environment to start programs and find their icons (Linux
/// desktop entries).
struct ProgramLookup {
  std::string searchPath;  ///< PATH: folders separated by ':'; empty for the usual folders
  std::string terminal;    ///< TERMINAL: the user's terminal program; empty for the usual ones
  /// The desktop's icon theme, for named icons; none: only icons given as absolute paths.
  std::shared_ptr<const IconTheme> icons;
};

/// The platform's workspace. Made on the main thread.
[[nodiscard]] std::unique_ptr<Workspace> makeWorkspace(const ProgramLookup& programs = {});

}  // namespace jolstrand
