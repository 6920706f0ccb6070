#include "app_delegate.hpp"

#include <QApplication>
#include <QPointer>
#include <algorithm>

#include "companion_texts.hpp"
#include "jolstrand/log.hpp"
#include "jolstrand/main_queue.hpp"
#include "platform/accessory_app.hpp"
#include "platform/workspace.hpp"
#include "quit_application.hpp"
#include "search_panel.hpp"
#include "support_page.hpp"
#include "thread_hand_off.hpp"
#include "trace.hpp"
#include "window_arguments.hpp"

namespace jolstrand {
namespace {

QIcon programIcon() {
  return QIcon(QStringLiteral(":/jolstrand/jolstrand.svg"));
}

}  // namespace

AppDelegate::AppDelegate(Services services)
    : mainQueue_(services.mainQueue),
      workspace_(services.workspace),
      arguments_(std::move(services.arguments)),
      texts_(platformCompanionTexts(services.route).menu),
      catalogue_(std::move(services.catalogue)),
      usage_(std::move(services.usageFile)),
      search_(services.workspace, std::move(services.screens), std::move(services.placePanel)),
      setup_(programIcon(), platformCompanionTexts(services.route).setup),
      aboutWindow_(programIcon(), versionOf(services.program), platformCompanionTexts().about,
                   services.workspace),
      support_(services.settings, services.workspace, platformCompanionTexts().reminder),
      updater_(services.program, services.updateEngine, &activateApplication),
      hotKey_(std::move(services.hotKey)),
      spotlight_(std::move(services.spotlight)),
      loginItem_(std::move(services.loginItem)),
      openKeyboardSettings_(std::move(services.openKeyboardSettings)),
      shortcutCommand_(std::move(services.shortcutCommand)),
      alert_(std::move(services.alert)) {
  // Dialogs without an icon of their own (the update dialog, alerts) show the program's.
  QApplication::setWindowIcon(programIcon());
  connect(hotKey_.get(), &HotKeyBackend::pressed, this, &AppDelegate::hotKeyPressed);
  connect(hotKey_.get(), &HotKeyBackend::statusChanged, this,
          [this](std::int32_t status) { hotKeyStatus_ = status; });
}

// Quitting waits for a scan that is running, but not for one that has yet to start.
AppDelegate::~AppDelegate() {
  scanQueue_.dropPending();
}

// The order matters: the first scan comes before the hot key, so that no press meets an empty
// catalogue; the windows come after the status item and the state they show.
void AppDelegate::applicationDidFinishLaunching() {
  search_.matcher = [this] { return matcher_; };
  search_.usageStore = &usage_;
  matcher_ = Matcher(catalogue_->scan());
  hotKeyStatus_ = hotKey_->registerKey();
  spotlightHolds_ = spotlight_->holdsCommandSpace();
  watcher_ = std::make_unique<FolderWatcher>(mainQueue_, catalogue_->watchPaths(), 1.0,
                                             [self = QPointer(this)] {
                                               if (self) self->rescan();
                                             });
  setUpStatusItem();
  setup_.checkSpotlight = [this] { return recheckSpotlight(); };
  setup_.hotKeyStatus = [this] { return hotKeyStatus_; };
  setup_.onOpenSettings = openKeyboardSettings_;
  setup_.shortcutDetails = [this] { return shortcutDetails(); };
  setup_.onShortcutButton = [this](ShortcutButton button) { changeDesktopShortcut(button); };
  if (spotlightHolds_ || hasArgument(setupArgument)) later([this] { setup_.show(); });
  if (hasArgument(aboutArgument)) later([this] { aboutWindow_.show(); });
  support_.busy = [this] {
    return search_.panel().isVisible() || setupVisible() || spotlightHolds_;
  };
  support_.start(hasArgument(supportReminderArgument));
  updater_.start();
}

void AppDelegate::setUpStatusItem() {
  statusItem_ = std::make_unique<StatusItem>([this] { return menuRows(); });
  connect(statusItem_.get(), &StatusItem::chosen, this, &AppDelegate::perform);
}

bool AppDelegate::hasArgument(std::string_view argument) const {
  return std::find(arguments_.begin(), arguments_.end(), argument) != arguments_.end();
}

bool AppDelegate::setupVisible() const {
  return setup_.window() != nullptr && setup_.window()->isVisible();
}

void AppDelegate::later(std::function<void()> work) {
  QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void AppDelegate::reopen(const QString& activationToken) {
  search_.show(activationToken);
}

// Where the desktop's shortcut runs the program, a later start is the hot key's press.
void AppDelegate::startedAgain(const QString& activationToken) {
  reopen(activationToken);
  confirmHotKey();
}

// A press while the setup window is open also confirms that the key reaches the launcher.
void AppDelegate::hotKeyPressed(const QString& activationToken) {
  search_.toggle(activationToken);
  confirmHotKey();
}

void AppDelegate::confirmHotKey() {
  if (!setupVisible()) return;
  setup_.hotKeyWorked = true;
  setup_.update();
}

ShortcutDetails AppDelegate::shortcutDetails() const {
  return {.holder = spotlight_->holder(),
          .trigger = hotKey_->trigger(),
          .command = shortcutCommand_,
          .userAddsShortcut = hotKey_->userAddsShortcut()};
}

void AppDelegate::changeDesktopShortcut(ShortcutButton button) {
  if (button == ShortcutButton::none) return;
  const bool changed =
      button == ShortcutButton::add ? hotKey_->addShortcut() : hotKey_->removeShortcut();
  if (!changed) logLine("the desktop's shortcut could not be changed");
  hotKeyStatus_ = hotKey_->registerKey();
}

void AppDelegate::rescan() {
  if (scanning_) {
    scanAgain_ = true;
    return;
  }
  scanning_ = true;
  // The catalogue and its matcher are built on the scan queue; only the swap is main-thread work.
  // The queue is drained before the controller's other members go, so the scan may use them.
  scanQueue_.async([this] {
    Matcher matcher(catalogue_->scan());
    QMetaObject::invokeMethod(this, handedOver([this, matcher = std::move(matcher)]() mutable {
                                install(std::move(matcher));
                              }),
                              Qt::QueuedConnection);
  });
}

void AppDelegate::install(Matcher matcher) {
  Trace::begin(Trace::Span::rescanInstall);
  matcher_ = std::move(matcher);
  logLine("rescan found " + std::to_string(matcher_.entries().size()) + " apps");
  scanning_ = false;
  search_.catalogueChanged();
  Trace::end(Trace::Span::rescanInstall);
  if (std::exchange(scanAgain_, false)) rescan();
}

bool AppDelegate::recheckSpotlight() {
  const bool holds = spotlight_->holdsCommandSpace();
  if (spotlightHolds_ && !holds) hotKeyStatus_ = hotKey_->registerKey();
  spotlightHolds_ = holds;
  return holds;
}

std::vector<MenuRow> AppDelegate::menuRows() {
  recheckSpotlight();
  MenuState state;
  state.catalogueSize = matcher_.entries().size();
  state.shortcutHeld = spotlightHolds_;
  state.hotKeyStatus = hotKeyStatus_;
  state.holder = spotlight_->holder();
  state.trigger = hotKey_->trigger();
  state.loginItem = loginItem_->status();
  state.updaterOn = updater_.isOn();
  if (state.updaterOn) {
    if (updater_.waiting()) state.waitingVersion = QString::fromStdString(*updater_.waiting());
    state.automaticDownloads = updater_.controller().automaticallyDownloadsUpdates();
  }
  return statusMenuRows(state, texts_);
}

void AppDelegate::perform(MenuAction action) {
  switch (action) {
    case MenuAction::None:
      return;
    case MenuAction::ShowPanel:
      return showPanel();
    case MenuAction::ShowSetup:
      return showSetup();
    case MenuAction::Rescan:
      return rescanFromMenu();
    case MenuAction::ToggleLoginItem:
      return toggleLoginItem();
    case MenuAction::CheckForUpdates:
      return checkForUpdates();
    case MenuAction::ToggleAutoUpdate:
      return toggleAutoUpdate();
    case MenuAction::About:
      return about();
    case MenuAction::OpenSupport:
      return openSupport();
    case MenuAction::Quit:
      return quit();
  }
}

void AppDelegate::showPanel() {
  later([this] { search_.show(); });
}

// A desktop that has not granted the shortcut (its dialog dismissed) is asked again.
void AppDelegate::showSetup() {
  if (hotKeyStatus_ == HotKeyBackend::awaitingDesktop) hotKeyStatus_ = hotKey_->registerKey();
  setup_.show();
}

void AppDelegate::rescanFromMenu() {
  rescan();
}

// An item awaiting approval counts as on: choosing it withdraws it.
void AppDelegate::toggleLoginItem() {
  const LoginItemStatus before = loginItem_->status();
  const bool on = before == LoginItemStatus::Enabled || before == LoginItemStatus::RequiresApproval;
  const std::optional<QString> refusal = on ? loginItem_->disable() : loginItem_->enable();
  if (refusal) {
    activateApplication();
    alert_(texts_.loginRefusedMessage, loginRefusalText(*refusal, loginItem_->place(), texts_));
    return;
  }
  if (loginItem_->status() == LoginItemStatus::RequiresApproval) loginItem_->openApprovalSettings();
}

void AppDelegate::checkForUpdates() {
  updater_.checkForUpdates();
}

// The entry exists only while the updater is on.
void AppDelegate::toggleAutoUpdate() {
  UpdateEngine& engine = updater_.controller();
  engine.setAutomaticallyDownloadsUpdates(!engine.automaticallyDownloadsUpdates());
}

void AppDelegate::about() {
  aboutWindow_.show();
}

void AppDelegate::openSupport() {
  workspace_.openURL(supportPageURL());
}

void AppDelegate::quit() {
  quitApplication();
}

}  // namespace jolstrand
