#include "platform/linux/update/update_dialog.hpp"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <utility>

namespace jolstrand {
namespace {

constexpr int iconPoints = 64;

// A document that loads no resource (images, style sheets). Every load goes through here; a
// browser's own loadResource is not enough, as the document reads local files and data addresses
// itself when the browser declines.
class InertDocument : public QTextDocument {
 public:
  using QTextDocument::QTextDocument;

 protected:
  QVariant loadResource(int /*type*/, const QUrl& /*name*/) override { return {}; }
};

// A browser that neither loads nor follows anything.
class InertBrowser : public QTextBrowser {
 public:
  explicit InertBrowser(QWidget* parent) : QTextBrowser(parent) {
    setDocument(new InertDocument(this));
    setOpenLinks(false);
    setOpenExternalLinks(false);
  }
};

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// The two versions as the offer names them: with their builds when they would read the same.
std::pair<QString, QString> shownVersions(const UpdateTexts& texts, const UpdateOffer& offer) {
  if (offer.newVersion != offer.runningVersion) return {offer.newVersion, offer.runningVersion};
  return {texts.versionWithBuild.arg(offer.newVersion, offer.newBuild),
          texts.versionWithBuild.arg(offer.runningVersion, offer.runningBuild)};
}

}  // namespace

UpdateDialog::UpdateDialog(const UpdateTexts& texts, const UpdateOffer& offer, const QIcon& icon)
    : texts_(texts), newVersion_(shownVersions(texts, offer).first) {
  setWindowTitle(texts.windowTitle);
  setWindowIcon(icon);

  auto* iconLabel = new QLabel(this);
  iconLabel->setPixmap(icon.pixmap(iconPoints, iconPoints));
  iconLabel->setAlignment(Qt::AlignTop);

  auto* headline = wrappedLabel(texts.headline, this);
  QFont bold = headline->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  headline->setFont(bold);
  const auto [newVersion, runningVersion] = shownVersions(texts, offer);
  auto* offerText = wrappedLabel(texts.offer.arg(newVersion, runningVersion), this);

  auto* notesTitle = wrappedLabel(texts.releaseNotes, this);
  QFont notesTitleFont = notesTitle->font();
  notesTitleFont.setBold(true);
  notesTitle->setFont(notesTitleFont);
  notes_ = new InertBrowser(this);
  notes_->setHtml(offer.notesHTML);
  notes_->setMinimumSize(480, 180);
  connect(notes_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    if (url.scheme() == QLatin1String("https") && !url.host().isEmpty()) emit httpsLinkClicked(url);
  });
  const bool hasNotes = !offer.notesHTML.trimmed().isEmpty();
  notesTitle->setVisible(hasNotes);
  notes_->setVisible(hasNotes);

  status_ = wrappedLabel(QString(), this);
  status_->hide();
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 0);  // the download reports no progress, only that it goes on
  progress_->setTextVisible(false);
  progress_->hide();

  later_ = new QPushButton(texts.laterButton, this);
  install_ = new QPushButton(texts.installButton, this);
  install_->setDefault(true);
  install_->setFocus();
  connect(install_, &QPushButton::clicked, this, &UpdateDialog::installRequested);
  connect(later_, &QPushButton::clicked, this, &UpdateDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(later_);
  buttons->addWidget(install_);

  auto* column = new QVBoxLayout;
  column->addWidget(headline);
  column->addWidget(offerText);
  column->addSpacing(8);
  column->addWidget(notesTitle);
  column->addWidget(notes_, 1);
  column->addWidget(status_);
  column->addWidget(progress_);
  column->addLayout(buttons);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(iconLabel, 0, Qt::AlignTop);
  layout->addSpacing(12);
  layout->addLayout(column, 1);
}

void UpdateDialog::showDownloading() {
  status_->setText(texts_.downloading.arg(newVersion_));
  status_->show();
  progress_->show();
  install_->hide();
  later_->setText(texts_.cancelButton);
  later_->setDefault(true);
}

void UpdateDialog::reject() {
  hide();
  emit dismissed();
}

namespace {

class UpdateDialogs : public UpdatePresenter {
 public:
  explicit UpdateDialogs(std::function<void(const QUrl&)> openLink)
      : openLink_(std::move(openLink)) {}

  void offer(const UpdateOffer& offer, std::function<void(Answer)> answered) override {
    close();
    dialog_ = std::make_unique<UpdateDialog>(updateTexts(), offer, QApplication::windowIcon());
    answered_ = std::move(answered);
    QObject::connect(dialog_.get(), &UpdateDialog::installRequested, dialog_.get(),
                     [this] { answer(Answer::install); });
    QObject::connect(dialog_.get(), &UpdateDialog::dismissed, dialog_.get(), [this] {
      if (answered_) {
        answer(Answer::later);
      } else if (auto cancelled = std::exchange(cancelled_, nullptr)) {
        cancelled();
      }
    });
    QObject::connect(dialog_.get(), &UpdateDialog::httpsLinkClicked, dialog_.get(),
                     [this](const QUrl& url) {
                       if (openLink_) openLink_(url);
                     });
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
  }

  void showDownloading(std::function<void()> cancelled) override {
    if (!dialog_) return;
    cancelled_ = std::move(cancelled);
    dialog_->showDownloading();
  }

  void close() override {
    answered_ = nullptr;
    cancelled_ = nullptr;
    if (!dialog_) return;
    dialog_->hide();
    // The dialog may be in the middle of emitting the signal that led here.
    dialog_.release()->deleteLater();
  }

  void showUpToDate(const QString& runningVersion) override {
    const UpdateTexts& texts = updateTexts();
    showNote(QMessageBox::Information, texts.upToDate, texts.upToDateDetail.arg(runningVersion));
  }

  void showStopped(const QString& description) override {
    const UpdateTexts& texts = updateTexts();
    showNote(QMessageBox::Warning, texts.stopped, texts.stoppedDetail.arg(description));
  }

 private:
  void answer(Answer answer) {
    if (auto answered = std::exchange(answered_, nullptr)) answered(answer);
  }

  void showNote(QMessageBox::Icon icon, const QString& text, const QString& detail) {
    note_ = std::make_unique<QMessageBox>(icon, QStringLiteral("Jolstrand"), text, QMessageBox::Ok);
    note_->setTextFormat(Qt::PlainText);
    // The message box guesses the detail's format; escaped inside a paragraph it is always rich
    // text that shows the description's characters as they are.
    note_->setInformativeText(QStringLiteral("<p>%1</p>").arg(detail.toHtmlEscaped()));
    if (!QApplication::windowIcon().isNull())
      note_->setIconPixmap(QApplication::windowIcon().pixmap(iconPoints, iconPoints));
    note_->show();
    note_->raise();
    note_->activateWindow();
  }

  std::function<void(const QUrl&)> openLink_;
  std::unique_ptr<UpdateDialog> dialog_;
  std::function<void(Answer)> answered_;
  std::function<void()> cancelled_;
  std::unique_ptr<QMessageBox> note_;
};

}  // namespace

std::unique_ptr<UpdatePresenter> makeUpdateDialogs(std::function<void(const QUrl&)> openLink) {
  return std::make_unique<UpdateDialogs>(std::move(openLink));
}

}  // namespace jolstrand
