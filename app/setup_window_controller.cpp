#include "setup_window_controller.hpp"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>
#include <utility>

#include "companion_window.hpp"
#include "symbols.hpp"
#include "system_font.hpp"

namespace jolstrand {
namespace {

constexpr int contentWidth = 500;
constexpr int sideInset = 24;
constexpr int rowWidth = contentWidth - 2 * sideInset;
constexpr int iconSize = 64;
constexpr int symbolSize = 20;
constexpr int symbolColumn = 26;

QLabel* namedLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

// A row that holds a step's button, 12 after the step's text; hidden with the button.
QWidget* buttonRow(QWidget* parent, QPushButton* button) {
  auto* row = new QWidget(parent);
  button->setParent(row);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 6, 0, 0);
  layout->addWidget(button);
  layout->addStretch();
  return row;
}

// One step: its mark beside a column of title, text and, where it has one, its button.
QWidget* stepRow(QLabel* icon, QLabel* title, QLabel* body, QWidget* buttonRow) {
  auto* row = new QWidget;
  row->setFixedWidth(rowWidth);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(10);
  icon->setFixedWidth(symbolColumn);
  icon->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  layout->addWidget(icon, 0, Qt::AlignTop);
  auto* column = new QVBoxLayout;
  column->setSpacing(6);
  title->setFont(systemFont(13, true));
  column->addWidget(title);
  column->addWidget(body);
  if (buttonRow != nullptr) column->addWidget(buttonRow);
  layout->addLayout(column);
  layout->addStretch();
  return row;
}

}  // namespace

SetupWindowController::SetupWindowController(QIcon icon, SetupTexts texts)
    : icon_(std::move(icon)),
      texts_(std::move(texts)),
      window_(std::make_unique<QWidget>()),
      step1Icon_(namedLabel(window_.get(), "step1Icon")),
      step1Title_(namedLabel(window_.get(), "step1Title")),
      step1Body_(makeWrappingLabel(window_.get(), 410)),
      step1Button_(new QPushButton(texts_.settingsButton)),
      step1ButtonRow_(buttonRow(window_.get(), step1Button_)),
      step2Icon_(namedLabel(window_.get(), "step2Icon")),
      step2Title_(namedLabel(window_.get(), "step2Title")),
      step2Body_(makeWrappingLabel(window_.get(), 410)),
      step2Button_(new QPushButton),
      step2ButtonRow_(buttonRow(window_.get(), step2Button_)),
      doneButton_(new QPushButton(texts_.doneButton, window_.get())),
      returnKey_(new QShortcut(window_.get())) {
  returnKey_->setKeys({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  step1Body_->setObjectName(QStringLiteral("step1Body"));
  step2Body_->setObjectName(QStringLiteral("step2Body"));
  step1Button_->setObjectName(QStringLiteral("step1Button"));
  step2Button_->setObjectName(QStringLiteral("step2Button"));
  step2ButtonRow_->setVisible(false);
  doneButton_->setObjectName(QStringLiteral("doneButton"));
  makeCompanionWindow(*window_, texts_.windowTitle);
  window_->installEventFilter(this);
  connect(step1Button_, &QPushButton::clicked, this, [this] { onOpenSettings(); });
  connect(step2Button_, &QPushButton::clicked, this, [this] {
    onShortcutButton(shownButton_);
    update();
  });
  connect(doneButton_, &QPushButton::clicked, window_.get(), &QWidget::close);
  returnKey_->setEnabled(false);
  connect(returnKey_, &QShortcut::activated, window_.get(), &QWidget::close);
  timer_.setInterval(500);
  connect(&timer_, &QTimer::timeout, this, &SetupWindowController::update);
}

SetupWindowController::~SetupWindowController() {
  window_->removeEventFilter(this);  // the window goes after the timer the filter stops
}

QWidget* SetupWindowController::window() const {
  return built_ ? window_.get() : nullptr;
}

void SetupWindowController::build() {
  built_ = true;
  QWidget& window = *window_;

  auto* header = new QWidget;
  header->setFixedWidth(rowWidth);
  auto* headerLayout = new QHBoxLayout(header);
  headerLayout->setContentsMargins(0, 0, 0, 0);
  headerLayout->setSpacing(14);
  auto* icon = new QLabel;
  icon->setFixedSize(iconSize, iconSize);
  icon->setPixmap(icon_.pixmap(QSize(iconSize, iconSize), window.devicePixelRatioF()));
  headerLayout->addWidget(icon, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout;
  texts->setSpacing(4);
  auto* heading = new QLabel(texts_.heading);
  heading->setFont(systemFont(17, true));
  texts->addWidget(heading);
  QLabel* introduction = makeWrappingLabel(nullptr, rowWidth - iconSize - 14);
  introduction->setText(texts_.introduction);
  texts->addWidget(introduction);
  headerLayout->addLayout(texts);

  auto* footer = new QWidget;
  footer->setFixedWidth(rowWidth);
  auto* footerLayout = new QHBoxLayout(footer);
  footerLayout->setContentsMargins(0, 0, 0, 0);
  footerLayout->addStretch();
  footerLayout->addWidget(doneButton_);

  // The column sets the width; the window's height follows its content.
  auto* column = new QVBoxLayout(&window);
  column->setSizeConstraint(QLayout::SetFixedSize);
  column->setContentsMargins(sideInset, 20, sideInset, 20);
  column->setSpacing(20);
  column->addWidget(header);
  column->addWidget(stepRow(step1Icon_, step1Title_, step1Body_, step1ButtonRow_));
  column->addWidget(stepRow(step2Icon_, step2Title_, step2Body_, step2ButtonRow_));
  column->addWidget(footer);
  setTextRole(*introduction, ColorRole::secondaryLabel);
}

void SetupWindowController::show() {
  if (!built_) build();
  hotKeyWorked = false;
  update();
  bringForwardCentred(*window_);
  timer_.start();  // restarts a running refresh: there is only ever this one
}

void SetupWindowController::update() {
  // checkSpotlight first: it may register the hot key again and so change the status.
  const bool holds = checkSpotlight();
  const std::int32_t status = hotKeyStatus();
  render(setupView(holds, status, hotKeyWorked, texts_, shortcutDetails()));
}

void SetupWindowController::render(const SetupView& view) {
  const qreal ratio = window_->devicePixelRatioF();
  const QPalette& palette = window_->palette();
  const auto showStep = [&](const SetupStepView& step, QLabel& icon, QLabel& title, QLabel& body) {
    icon.setPixmap(symbolPixmap(step.symbol, symbolSize, colorFor(step.tint, palette), ratio));
    icon.setProperty("symbol", step.symbol);
    title.setText(step.title);
    body.setText(step.body);
    setTextRole(title, step.titleColor);
    setTextRole(body, step.bodyColor);
  };
  showStep(view.step1, *step1Icon_, *step1Title_, *step1Body_);
  showStep(view.step2, *step2Icon_, *step2Title_, *step2Body_);
  step1ButtonRow_->setVisible(view.settingsButtonVisible);
  shownButton_ = view.step2Button;
  step2Button_->setText(view.step2ButtonTitle);
  step2ButtonRow_->setVisible(view.step2Button != ShortcutButton::none);
  doneButton_->setDefault(view.returnPressesDone);
  returnKey_->setEnabled(view.returnPressesDone);
}

bool SetupWindowController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_.get() && event->type() == QEvent::Close) timer_.stop();
  return false;
}

}  // namespace jolstrand
