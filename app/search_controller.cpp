#include "search_controller.hpp"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "key_table.hpp"
#include "panel_layout.hpp"
#include "platform/activation_token.hpp"
#include "platform/panel_window.hpp"
#include "platform/workspace.hpp"
#include "qt_text.hpp"
#include "result_row.hpp"
#include "search_panel.hpp"
#include "symbols.hpp"
#include "trace.hpp"

namespace jolstrand {
namespace {

constexpr int iconPoints = 32;

// The visible area of the chosen screen, else of the primary screen, else of the first.
QRect visibleArea(const ScreenSnapshot& snapshot) {
  const QList<QScreen*> all = QGuiApplication::screens();
  if (const auto chosen = TargetScreen::find(snapshot);
      chosen && *chosen < std::size_t(all.size())) {
    return all[static_cast<qsizetype>(*chosen)]->availableGeometry();
  }
  if (QScreen* primary = QGuiApplication::primaryScreen()) return primary->availableGeometry();
  return all.isEmpty() ? QRect() : all.first()->availableGeometry();
}

// Whether the key may change the query's text: typed into the field, or an edit shortcut.
bool editsQuery(KeyAction action) {
  switch (action) {
    case KeyAction::none:
    case KeyAction::cut:
    case KeyAction::paste:
    case KeyAction::undo:
    case KeyAction::redo:
      return true;
    default:
      return false;
  }
}

// The application's id as the desktop knows it: a desktop entry's name without ".desktop".
std::string desktopAppId(const AppEntry& entry) {
  constexpr std::string_view suffix = ".desktop";
  const std::string& id = entry.id();
  return id.ends_with(suffix) ? id.substr(0, id.size() - suffix.size()) : id;
}

}  // namespace

SearchController::SearchController(Workspace& workspace, ScreenSnapshotSource screens,
                                   PanelPlacer place)
    : matcher([] { return Matcher(); }),
      workspace_(workspace),
      screens_(std::move(screens)),
      place_(std::move(place)),
      panel_(std::make_unique<SearchPanel>()),
      icons_(workspace, iconPoints) {
  build();
}

SearchController::~SearchController() = default;

void SearchController::build() {
  field_ = new QLineEdit(panel_.get());
  field_->setFrame(false);
  field_->setAttribute(Qt::WA_MacShowFocusRect, false);
  field_->setStyleSheet(QStringLiteral("background: transparent;"));
  QFont font = field_->font();
  font.setPointSizeF(24);
  font.setWeight(QFont::Light);
  field_->setFont(font);
  field_->setPlaceholderText(QStringLiteral("Open an app"));
  connect(field_, &QLineEdit::textEdited, this, [this] {
    update();
    Trace::end(Trace::Span::keyToRows);
  });

  glass_ = new QLabel(panel_.get());
  glass_->setAlignment(Qt::AlignCenter);
  glass_->setPixmap(symbolPixmap(QStringLiteral("magnifyingglass"), 20,
                                 panel_->palette().color(QPalette::PlaceholderText),
                                 panel_->devicePixelRatioF()));

  separator_ = new QFrame(panel_.get());
  separator_->setFrameShape(QFrame::HLine);
  separator_->setFrameShadow(QFrame::Plain);

  for (int i = 0; i < layout::maxRows; ++i) {
    auto* row = new ResultRow(i, panel_.get());
    connect(row, &ResultRow::hovered, this, &SearchController::select);
    connect(row, &ResultRow::clicked, this,
            [this](int index, Qt::KeyboardModifiers modifiers, quint64 timestamp) {
              select(index);
              activateSelection((modifiers & Qt::ControlModifier) != 0, timestamp);
            });
    row->hide();
    rows_[static_cast<std::size_t>(i)] = row;
  }
  connect(panel_.get(), &SearchPanel::keyPressed, this,
          [this](QKeyEvent* event) { event->setAccepted(handleKey(event)); });
  connect(panel_.get(), &SearchPanel::focusLost, this, &SearchController::hide);
}

void SearchController::show(const QString& activationToken) {
  usage_ =
      usageStore != nullptr ? usageStore->scores(std::chrono::system_clock::now()) : UsageScores{};
  field_->clear();
  Trace::cancel(Trace::Span::keyToRows);  // a key that changed nothing before the panel hid
  visible_ = visibleArea(screens_());
  update();
  presentPanel(*panel_, activationToken);
  if (place_) place_(*panel_, panel_->geometry());
  field_->setFocus();
  Trace::end(Trace::Span::hotKeyToPanel);
}

void SearchController::hide() {
  if (panel_->isVisible()) panel_->hide();
}

void SearchController::toggle(const QString& activationToken) {
  if (panel_->isVisible()) {
    hide();
  } else {
    show(activationToken);
  }
}

void SearchController::catalogueChanged() {
  icons_.clear();
  if (panel_->isVisible()) update();
}

void SearchController::update() {
  const QByteArray query = field_->text().toUtf8();
  results_ = matcher().search(std::string_view(query.constData(), std::size_t(query.size())),
                              usage_, layout::maxRows);
  selection_ = 0;
  layOut();
}

void SearchController::layOut() {
  const int count = static_cast<int>(results_.size());
  const QRect frame = layout::panelFrame(visible_, count);
  panel_->setGeometry(frame);
  if (place_ && panel_->isVisible()) place_(*panel_, frame);
  panel_->setFixedSize(layout::panelWidth, layout::panelHeight(count));
  field_->setGeometry(layout::fieldFrame());
  glass_->setGeometry(layout::glassFrame());
  separator_->setGeometry(layout::separatorFrame());
  separator_->setVisible(count > 0);
  for (int i = 0; i < layout::maxRows; ++i) {
    ResultRow& row = *rows_[static_cast<std::size_t>(i)];
    if (i >= count) {
      row.hide();
      continue;
    }
    const AppEntry& entry = results_[static_cast<std::size_t>(i)].entry;
    row.setGeometry(layout::rowFrame(i));
    row.setName(qtString(entry.displayName()));
    row.setSelected(i == selection_);
    row.show();
    icons_.setIcon(row, entry.path(), panel_->devicePixelRatioF());
  }
}

bool SearchController::handleKey(QKeyEvent* event) {
  const KeyAction action = keyAction({event->key(), event->modifiers(), panel_->isComposing()});
  // Measured up to the rows of the edited query; keys that cannot edit it lay out nothing.
  if (editsQuery(action)) {
    Trace::begin(Trace::Span::keyToRows);
  } else {
    Trace::cancel(Trace::Span::keyToRows);
  }
  switch (action) {
    case KeyAction::none:
      return false;
    case KeyAction::selectPrevious:
      select(selection_ - 1);
      return true;
    case KeyAction::selectNext:
      select(selection_ + 1);
      return true;
    case KeyAction::open:
      activateSelection(false, event->timestamp());
      return true;
    case KeyAction::reveal:
      activateSelection(true, event->timestamp());
      return true;
    case KeyAction::hide:
      hide();
      return true;
    case KeyAction::selectAll:
      field_->selectAll();
      return true;
    case KeyAction::copy:
      field_->copy();
      return true;
    case KeyAction::cut:
      field_->cut();
      return true;
    case KeyAction::paste:
      field_->paste();
      return true;
    case KeyAction::undo:
      field_->undo();
      return true;
    case KeyAction::redo:
      field_->redo();
      return true;
  }
  return false;
}

void SearchController::select(int index) {
  if (results_.empty()) return;
  selection_ = std::clamp(index, 0, static_cast<int>(results_.size()) - 1);
  for (ResultRow* row : rows_) row->setSelected(row->index() == selection_);
}

void SearchController::activateSelection(bool reveal, quint64 eventTime) {
  if (selection_ >= static_cast<int>(results_.size())) return;
  const AppEntry entry = results_[static_cast<std::size_t>(selection_)].entry;
  // Asked for while the panel still has the focus it hands on.
  const std::string token = activationTokenFor(*panel_, desktopAppId(entry), eventTime);
  hide();
  if (reveal) {
    workspace_.reveal(entry.path(), token);
    return;
  }
  // Recorded before, and whatever the outcome of, the open.
  if (usageStore != nullptr) usageStore->recordLaunch(entry.id(), std::chrono::system_clock::now());
  workspace_.openApplication(entry.path(), token);
}

}  // namespace jolstrand
