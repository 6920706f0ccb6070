#include "about_window_controller.hpp"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <utility>

#include "companion_window.hpp"
#include "platform/workspace.hpp"
#include "support_page.hpp"
#include "system_font.hpp"

namespace jolstrand {
namespace {

// The paragraphs' width and the insets make the content 420 wide.
constexpr int sideInset = 30;
constexpr int paragraphWidth = 360;
constexpr int iconSize = 96;

QLabel* label(const QString& text, const QFont& font, const char* name) {
  auto* view = new QLabel(text);
  view->setFont(font);
  view->setTextFormat(Qt::PlainText);
  view->setObjectName(QLatin1String(name));
  return view;
}

QLabel* paragraph(const QString& text, const char* name) {
  QLabel* view = makeWrappingLabel(nullptr, paragraphWidth);
  view->setText(text);
  view->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  view->setObjectName(QLatin1String(name));
  return view;
}

}  // namespace

ProgramVersion versionOf(const ProgramInfo& info) {
  const auto text = [&info](std::string_view key) -> std::optional<QString> {
    const auto value = info.value(key);
    if (!value) return std::nullopt;
    return QString::fromStdString(*value);
  };
  return {text("CFBundleShortVersionString"), text("CFBundleVersion"),
          text("NSHumanReadableCopyright")};
}

AboutWindowController::AboutWindowController(QIcon icon, ProgramVersion version, AboutTexts texts,
                                             Workspace& workspace)
    : icon_(std::move(icon)),
      version_(std::move(version)),
      texts_(std::move(texts)),
      workspace_(workspace) {}

AboutWindowController::~AboutWindowController() = default;

void AboutWindowController::show() {
  if (!window_) build();
  bringForwardCentred(*window_);
}

void AboutWindowController::openDonate() {
  workspace_.openURL(supportPageURL());
}

void AboutWindowController::build() {
  window_ = std::make_unique<QWidget>();
  QWidget& window = *window_;
  makeCompanionWindow(window, texts_.windowTitle);

  auto* icon = new QLabel;
  icon->setFixedSize(iconSize, iconSize);
  icon->setPixmap(icon_.pixmap(QSize(iconSize, iconSize), window.devicePixelRatioF()));
  QLabel* name = label(texts_.name, systemFont(20, true), "name");
  const QString version = texts_.version.arg(version_.shortVersion.value_or(QStringLiteral("?")),
                                             version_.buildNumber.value_or(QStringLiteral("?")));
  QLabel* versionLine = label(version, systemFont(smallSystemFontSize), "version");
  QLabel* whatItIs = paragraph(texts_.whatItIs, "whatItIs");
  QLabel* howToUse = paragraph(texts_.howToUse, "howToUse");
  QLabel* shortcutNote = paragraph(texts_.shortcutNote, "shortcutNote");
  QLabel* freeNote = paragraph(texts_.freeNote, "freeNote");

  auto* link = new QPushButton(texts_.supportLink);
  link->setObjectName(QStringLiteral("supportLink"));
  link->setFlat(true);
  link->setCursor(Qt::PointingHandCursor);
  QFont linkFont = systemFont(regularSystemFontSize);
  linkFont.setUnderline(true);
  link->setFont(linkFont);
  link->setToolTip(supportPageURL().toString());
  connect(link, &QPushButton::clicked, this, &AboutWindowController::openDonate);

  // An empty copyright still takes the height of a line of text.
  QLabel* copyright = label(QStringLiteral("X"), systemFont(smallSystemFontSize), "copyright");
  copyright->setMinimumHeight(copyright->sizeHint().height());
  copyright->setText(version_.copyright.value_or(QString()));

  // Spacing after each view: the name and version form one block, the three paragraphs
  // another, the free note and its link a third, and the copyright stands apart.
  const std::pair<QWidget*, int> column[] = {{icon, 12},     {name, 4},      {versionLine, 18},
                                             {whatItIs, 12}, {howToUse, 12}, {shortcutNote, 18},
                                             {freeNote, 4},  {link, 18},     {copyright, 0}};
  auto* stack = new QVBoxLayout(&window);
  stack->setSizeConstraint(QLayout::SetFixedSize);
  stack->setContentsMargins(sideInset, 20, sideInset, 20);
  stack->setSpacing(0);
  for (const auto& [view, spacingAfter] : column) {
    stack->addWidget(view, 0, Qt::AlignHCenter);
    if (spacingAfter > 0) stack->addSpacing(spacingAfter);
  }

  setTextRole(*versionLine, ColorRole::secondaryLabel);
  for (QLabel* text : {whatItIs, howToUse, freeNote}) setTextRole(*text, ColorRole::label);
  setTextRole(*shortcutNote, ColorRole::secondaryLabel);
  setTextRole(*link, ColorRole::link);
  setTextRole(*copyright, ColorRole::tertiaryLabel);
}

}  // namespace jolstrand
